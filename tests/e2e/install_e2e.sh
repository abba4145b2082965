#!/bin/bash
# The release package under test: packs the Windows build's Netsonde.exe and netsonde-cli.exe
# with tools/release/package.sh (twice, to prove that the zip and the installer come out
# byte-identical), checks what the zip holds, then runs the end-to-end runner with the installer
# named in NETSONDE_SETUP_EXE for the InstallTest suite.
#
#   install_e2e.sh --windows-build DIR [run_e2e.sh arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ "${1:-}" != --windows-build ] || [ $# -lt 2 ]; then
    echo "usage: install_e2e.sh --windows-build DIR [run_e2e.sh arguments...]" >&2
    exit 2
fi
windows_build=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Any fixed time will do here; a release takes its commit's.
export SOURCE_DATE_EPOCH=1767225600
for run in 1 2; do
    "$root/tools/release/package.sh" --exe "$windows_build/Netsonde.exe" \
        --cli "$windows_build/cli/netsonde-cli.exe" --out "$work/$run" >/dev/null
done
for file in "$work"/1/*; do
    if ! cmp -s "$file" "$work/2/$(basename "$file")"; then
        echo "install_e2e: two packagings of the same program differ: $(basename "$file")" >&2
        exit 1
    fi
done
zip_files=$(zip -sf "$work"/1/Netsonde-*-win64.zip | sed -n 's/^  //p' | paste -sd' ')
if [ "$zip_files" != "Netsonde.exe netsonde-cli.exe netsonde.lua README.txt LICENSE.txt" ]; then
    echo "install_e2e: the zip holds '$zip_files'" >&2
    exit 1
fi

setup=$(echo "$work"/1/Netsonde-*-setup.exe)
NETSONDE_SETUP_EXE=$setup "$here/run_e2e.sh" --windows-build "$windows_build" "${@:3}"
