#!/bin/bash
# The quick-start demo: installs what is missing, builds both trees, starts the network lab with a
# dozen simulated devices (tests/e2e/scenarios/demo.scn) and runs Netsonde.exe on it under Wine.
#
#   tools/demo.sh [--change] [--screenshot FILE.png] [--screenshots DIR]
#
# With DISPLAY set, the program opens on that display and the lab stays up until it exits.
# Without DISPLAY, it runs on a private virtual display: the demo prints the rows the window
# shows, saves a screenshot of the window (default build/demo/netsonde.png), closes the program
# and cleans up. --change also does what an operator does to move a device: it gives the static
# core switch a new IP address through the Change dialog (screenshot beside the first, named
# change-dialog.png) and prints the device's row before and after; then it gives every device a
# new address from 198.18.0.100 through Change Several Devices (screenshot change-several.png).
# --screenshots DIR does all of that and writes the README's pictures, DIR/scan-list.png,
# DIR/change-dialog.png and DIR/change-several.png
# (`tools/demo.sh --screenshots docs`). Needs root (network namespaces).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
e2e="$root/tests/e2e"
# shellcheck source=../tests/e2e/display_session.sh
. "$e2e/display_session.sh"
windows_build="$root/build/windows"
scenario="$e2e/scenarios/demo.scn"
change=0
screenshot="$root/build/demo/netsonde.png"

# ---- inside the lab's workstation namespace, on the virtual display ---------------------------
if [ "${DEMO_INNER:-}" = 1 ]; then
    nsdriver() { wine "$windows_build/tests/e2e/nsdriver.exe" "$@"; }
    main="Scan List"
    list=1019
    wine "$windows_build/Netsonde.exe" &
    app=$!
    # The lab's workstation has its interface and the loopback interface, so the adapter
    # chooser comes first; its first item is the lab address. The main window shows once the
    # first scan is over (about three seconds).
    chooser="Netsonde Network Adapter Selection"
    nsdriver -t 30000 wait "$chooser"
    # Through a file: Wine's output read inside a command substitution comes back empty.
    items=$(mktemp)
    nsdriver combo "$chooser" 1041 >"$items"
    echo "The adapter chooser offers: $(tr -d '\r' <"$items" | paste -sd,)"
    rm -f "$items"
    nsdriver click "$chooser" 1
    nsdriver -t 30000 wait "$main"
    # The list's rows under their headings; with a MAC address, only that device's row.
    print_rows() {
        echo
        printf '%-17s  %-16s  %-14s  %-20s  %s\n' "MAC Address" "System Name" "IP Address" \
            "Uptime" "System Description"
        nsdriver rows "$main" $list | tr -d '\r' |
            while IFS=$'\t' read -r mac name ip uptime description; do
                [ -z "${1:-}" ] || [ "$mac" = "$1" ] || continue
                printf '%-17s  %-16s  %-14s  %-20s  %s\n' "$mac" "$name" "$ip" "$uptime" \
                    "$description"
            done
        echo
    }
    # A window's picture, cut from the virtual screen.
    shoot() {
        local x y w h
        read -r x y w h < <(nsdriver rect "$1" | tr -d '\r')
        mkdir -p "$(dirname "$2")"
        import -window root -crop "${w}x${h}+${x}+${y}" +repage "$2"
    }
    echo "Netsonde.exe shows these devices:"
    print_rows
    # Larger than the template size, so the list shows every row (the window re-lays itself out).
    nsdriver move "$main" 0 0 1040 440
    sleep 1
    shoot "$main" "$DEMO_SCREENSHOT"
    echo "Screenshot of the window: $DEMO_SCREENSHOT"
    if [ "$DEMO_CHANGE" = 1 ]; then
        # Only what an operator can change: the Change dialog's name and MAC edits are
        # read-only; the address type, a static device's addresses and the password are not.
        # The core switch has a static address; it moves to a free one.
        mac=02-1f-00-0a-b3-7c
        new_ip=198.18.0.20
        echo "Giving the core switch ($mac) the IP address $new_ip. Before:"
        print_rows "$mac"
        row=$(nsdriver rows "$main" $list | tr -d '\r' |
            awk -F'\t' -v mac="$mac" '$1 == mac {print NR - 1}')
        nsdriver click-row "$main" $list "${row:-0}"
        nsdriver click "$main" 1020
        nsdriver wait Change
        echo "  the Change dialog shows IP address $(nsdriver text Change 1025 | tr -d '\r');" \
            "the operator types $new_ip and presses OK"
        nsdriver type Change 1025 "$new_ip"
        sleep 0.5
        shoot Change "$DEMO_CHANGE_SCREENSHOT"
        echo "  screenshot of the Change dialog: $DEMO_CHANGE_SCREENSHOT"
        nsdriver click Change 1
        answer=$(nsdriver -t 15000 msgbox Netsonde OK | tr -d '\r' | tr '\n' ' ')
        echo "  the program says: $answer"
        nsdriver wait-gone Change
        echo "After:"
        print_rows "$mac"

        # Change Several Devices: every listed device numbered from one first address, applied
        # and verified in one go; the picture shows the Result column at the end.
        several="Change Several Devices"
        echo "Change Several Devices: every device from 198.18.0.100"
        nsdriver click-row "$main" $list 0
        nsdriver keys "$main" ctrl shift enter
        nsdriver wait "$several"
        nsdriver click "$several" 1103          # Check All
        nsdriver click "$several" 1109          # First IP Address
        nsdriver type "$several" 1110 198.18.0.100
        nsdriver click "$several" 1124          # Apply
        echo "  the program asks: $(nsdriver -t 10000 msgbox Netsonde '&Yes' | tr -d '\r')"
        for _ in $(seq 120); do
            case $(nsdriver text "$several" 1105 | tr -d '\r') in Done.*|Stopped.*) break ;; esac
            sleep 1
        done
        echo "  $(nsdriver text "$several" 1105 | tr -d '\r')"
        nsdriver rows "$several" 1102 | tr -d '\r' | sed 's/^/  /'
        shoot "$several" "$DEMO_SEVERAL_SCREENSHOT"
        echo "  screenshot of Change Several Devices: $DEMO_SEVERAL_SCREENSHOT"
        nsdriver click "$several" 2
        nsdriver wait-gone "$several"
    fi
    nsdriver close "$main"
    wait "$app" || true
    exit 0
fi

while [ $# -gt 0 ]; do
    case $1 in
        --change) change=1; shift ;;
        --screenshot) screenshot=$2; shift 2 ;;
        --screenshots) change=1; screenshot=$2/scan-list.png; change_screenshot=$2/change-dialog.png
            shift 2 ;;
        *) echo "usage: tools/demo.sh [--change] [--screenshot FILE.png] [--screenshots DIR]" >&2
            exit 2 ;;
    esac
done
if [ "$(id -u)" -ne 0 ]; then
    echo "demo: run as root: it installs packages and builds a network lab" >&2
    exit 2
fi
case $screenshot in /*) ;; *) screenshot="$PWD/$screenshot" ;; esac
change_screenshot=${change_screenshot:-$(dirname "$screenshot")/change-dialog.png}
case $change_screenshot in /*) ;; *) change_screenshot="$PWD/$change_screenshot" ;; esac
several_screenshot=$(dirname "$change_screenshot")/change-several.png

"$root/tools/setup.sh"
echo "demo: building (this takes a few minutes the first time)"
NETSONDE_JOBS=${NETSONDE_JOBS:-2} "$root/tools/build.sh" >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-demo.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
xvfb_pid=""
child=""
cleanup() {
    local status=$?
    trap - EXIT INT TERM
    stop_session_processes
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ -n "${DISPLAY:-}" ]; then
    # On the user's display, with its window manager: a plain prefix, the program in front.
    echo "demo: preparing a Wine prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    echo "demo: Netsonde.exe is starting on $DISPLAY; the lab stays up until you close it"
    # In the background and waited for, so a signal reaches cleanup at once.
    "$root/tests/lab/netlab.sh" --scenario "$scenario" --sim-log "$work/wire.log" \
        --wine-prefix "$WINEPREFIX" -- wine "$windows_build/Netsonde.exe" &
    child=$!
    wait "$child"
    exit $?
fi

start_virtual_display demo
echo "demo: preparing a Wine prefix"
"$e2e/prepare_prefix.sh" "$WINEPREFIX" "$windows_build/tests/e2e/browser_recorder.exe" \
    "$windows_build/tests/e2e/wine-prefix-template"

echo "demo: starting the lab with $(grep -c '^device' "$scenario") simulated devices"
DEMO_INNER=1 DEMO_CHANGE=$change DEMO_SCREENSHOT=$screenshot \
    DEMO_CHANGE_SCREENSHOT=$change_screenshot DEMO_SEVERAL_SCREENSHOT=$several_screenshot \
    "$root/tests/lab/netlab.sh" --scenario "$scenario" --sim-log "$work/wire.log" \
    --wine-prefix "$WINEPREFIX" -- "$root/tools/demo.sh" &
child=$!
wait "$child"
