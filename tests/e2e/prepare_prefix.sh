#!/bin/bash
# Prepares a Wine prefix for driving Netsonde.exe on a virtual display without a window manager:
#   prepare_prefix.sh PREFIX BROWSER_RECORDER_EXE [TEMPLATE_DIR]
# - creates the prefix (wineboot) with DISPLAY as given by the caller;
# - lets Wine draw its own frames (X11 Driver\Managed = N), so hiding a window does not wait for
#   a window manager and frames can be sized;
# - puts the browser recorder where ShellExecute finds "iexplore" first (system32\iexplore.exe,
#   loaded as a native program instead of Wine's built-in browser);
# - installs Wine's bitmap "MS Sans Serif" in the prefix's Fonts folder: the dialogs ask for
#   that face, and Wine here does not find its own fonts, so it would draw them with a wider
#   substitute (Liberation Sans) and cut labels sized for Windows' metrics;
# - with NETSONDE_E2E_DPI set, makes that the screen's DPI (LogPixels, read by the wineserver
#   when it starts).
# With TEMPLATE_DIR, the prepared prefix is made there once (wineboot takes tens of seconds on a
# busy machine) and PREFIX is a fresh copy of it.
# Leaves no wineserver running, so the prefix can then be used from another network namespace.
set -euo pipefail
prefix=$1
recorder=$2
template=${3:-}
export WINEDEBUG=-all

make_prefix() {
    export WINEPREFIX=$1
    mkdir -p "$1"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\DllOverrides' /v iexplore.exe /t REG_SZ /d native /f \
        >/dev/null 2>&1
    # The 96-DPI and 120-DPI sets; Wine picks the one for the prefix's DPI.
    cp /usr/share/wine/fonts/sserife.fon /usr/share/wine/fonts/sseriff.fon \
        "$1/drive_c/windows/Fonts/"
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

if [ -z "$template" ]; then
    make_prefix "$prefix"
else
    exec 8>"$template.lock"
    flock 8
    # A template made by another version of this script is made again.
    stamp=$(sha1sum <"$0")
    if [ "$(cat "$template/.prepared" 2>/dev/null)" != "$stamp" ]; then
        rm -rf "$template"
        make_prefix "$template"
        echo "$stamp" >"$template/.prepared"
    fi
    flock -u 8
    cp -a "$template" "$prefix"
fi
cp "$recorder" "$prefix/drive_c/windows/system32/iexplore.exe"
if [ -n "${NETSONDE_E2E_DPI:-}" ]; then
    WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$NETSONDE_E2E_DPI" /f >/dev/null 2>&1
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
fi
