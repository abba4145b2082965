#!/bin/bash
# Prepares a Wine prefix for driving Netsonde.exe on a virtual display without a window manager:
#   prepare_prefix.sh PREFIX BROWSER_RECORDER_EXE
# - creates the prefix (wineboot) with DISPLAY as given by the caller;
# - lets Wine draw its own frames (X11 Driver\Managed = N), so hiding a window does not wait for
#   a window manager and frames can be sized;
# - puts the browser recorder where ShellExecute finds "iexplore" first (system32\iexplore.exe,
#   loaded as a native program instead of Wine's built-in browser).
# Leaves no wineserver running, so the prefix can then be used from another network namespace.
set -euo pipefail
prefix=$1
recorder=$2
export WINEPREFIX=$prefix WINEDEBUG=-all

mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\DllOverrides' /v iexplore.exe /t REG_SZ /d native /f \
    >/dev/null 2>&1
cp "$recorder" "$prefix/drive_c/windows/system32/iexplore.exe"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
