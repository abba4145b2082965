#!/bin/bash
# Puts the stand-in DLLs into a Wine prefix for the fault-injection tests:
#   install_standins.sh PREFIX WINDOWS_BUILD_DIR
# Wine's own wsock32.dll and iphlpapi.dll stay in system32 under other names (wsock32_wine.dll,
# iphlpapi_wine.dll), where the stand-ins pass every call; the stand-ins take their places, and
# only Netsonde.exe is told to load them (DLL overrides "native" under AppDefaults), so every
# other program of the prefix keeps Wine's built-in DLLs. Starts no wineserver, so the prefix
# can then be started inside the lab's namespace.
set -euo pipefail
prefix=$1
standins=$2/tests/e2e/standins
system32=$prefix/drive_c/windows/system32

for dll in wsock32 iphlpapi; do
    if [ ! -f "$standins/$dll.dll" ]; then
        echo "install_standins: $standins/$dll.dll is missing; build the Windows tree" >&2
        exit 2
    fi
    [ -f "$system32/${dll}_wine.dll" ] || cp "$system32/$dll.dll" "$system32/${dll}_wine.dll"
    cp "$standins/$dll.dll" "$system32/$dll.dll"
done

# Written straight into the user hive: no wineserver runs now, and the next one reads it.
cat >>"$prefix/user.reg" <<'REG'

[Software\\Wine\\AppDefaults\\Netsonde.exe\\DllOverrides]
"iphlpapi"="native"
"wsock32"="native"
REG
