#!/bin/bash
# Runs a Windows test program under Wine with a prefix of its own, made once per build tree.
# CTest uses this as the emulator of the Windows build.
set -euo pipefail
exe=$1
shift
: "${NETSONDE_WINEPREFIX:=${TMPDIR:-/tmp}/netsonde-wine-$(id -u)}"
export WINEPREFIX=$NETSONDE_WINEPREFIX WINEDEBUG=-all
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    flock "$WINEPREFIX.lock" sh -c '[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1'
fi
exec wine "$exe" "$@"
