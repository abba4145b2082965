#!/bin/bash
# Makes the release files for Windows users from the last commit:
#
#   tools/release.sh
#
# exports the committed tree (uncommitted changes are left out) into build/release/src, builds
# Netsonde.exe there from scratch (the tested RelWithDebInfo code, debug information stripped)
# and packs it with tools/release/package.sh into
#   dist/Netsonde-VERSION-win64.zip     Netsonde.exe, README.txt, LICENSE.txt
#   dist/Netsonde-VERSION-setup.exe     the installer (Program Files\Netsonde, Start menu,
#                                       Apps & Features, uninstaller; /S for silent)
#   dist/SHA256SUMS
# VERSION is the one in the program's version resource (res/netsonde.rc). Two runs on the same
# commit give byte-identical files. Needs the build tools of tools/setup.sh, zip and nsis.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${NETSONDE_JOBS:-$(nproc)}
cd "$root"

"$root/tools/setup.sh"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release: note: uncommitted changes are not part of the release" >&2
fi
commit=$(git rev-parse HEAD)
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")

work="$root/build/release"
rm -rf "$work"
mkdir -p "$work/src"
git archive "$commit" | tar -x -C "$work/src"

echo "release: building Netsonde.exe from $commit"
# Same paths on every run, so nothing of the build's location differs between two runs.
cmake -S "$work/src" -B "$work/windows" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$work/windows" -j "$jobs" --target Netsonde >/dev/null
x86_64-w64-mingw32-strip --strip-debug -o "$work/Netsonde.exe" "$work/windows/Netsonde.exe"

rm -rf "$root/dist"
mkdir -p "$root/dist"
"$work/src/tools/release/package.sh" --exe "$work/Netsonde.exe" --out "$root/dist" >/dev/null
(cd "$root/dist" && sha256sum -- *.zip *.exe >SHA256SUMS && cat SHA256SUMS)
echo "release: files in $root/dist"
