# Makes a Wine prefix for a lab run (sourced): new_lab_prefix DIR creates it outside the lab and
# waits until its wineserver is gone, so that netlab.sh --wine-prefix can start one inside the
# workstation namespace, where the program's sockets must be made.
new_lab_prefix() {
    mkdir -p "$1"
    WINEPREFIX=$1 WINEDEBUG=-all wineboot -i >/dev/null 2>&1
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1
    WINEPREFIX=$1 wineserver -w
}
