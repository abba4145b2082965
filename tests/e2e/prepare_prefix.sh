#!/bin/bash
# Prepares a Wine prefix for driving Netsonde.exe on a virtual display without a window manager:
#   prepare_prefix.sh PREFIX BROWSER_RECORDER_EXE [TEMPLATE_DIR]
# - creates the prefix (wineboot) with DISPLAY as given by the caller;
# - lets Wine draw its own frames (X11 Driver\Managed = N), so hiding a window does not wait for
#   a window manager and frames can be sized;
# - puts the browser recorder where ShellExecute finds "iexplore" first (system32\iexplore.exe,
#   loaded as a native program instead of Wine's built-in browser).
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
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

if [ -z "$template" ]; then
    make_prefix "$prefix"
else
    exec 8>"$template.lock"
    flock 8
    if [ ! -f "$template/.prepared" ]; then
        rm -rf "$template"
        make_prefix "$template"
        touch "$template/.prepared"
    fi
    flock -u 8
    cp -a "$template" "$prefix"
fi
cp "$recorder" "$prefix/drive_c/windows/system32/iexplore.exe"
