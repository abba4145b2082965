#!/bin/bash
# Makes the release files from the last commit:
#
#   tools/release.sh
#
# exports the committed tree (uncommitted changes are left out) into build/release/src, builds
# Netsonde.exe and netsonde-cli.exe (MinGW-w64) and the Linux netsonde-cli (with Debian's
# hardening flags) there from scratch, the tested RelWithDebInfo code with its debug information
# stripped, and packs them with tools/release/package.sh and tools/release/deb.sh into
#   dist/Netsonde-VERSION-win64.zip       Netsonde.exe, netsonde-cli.exe, netsonde.lua,
#                                         README.txt, LICENSE.txt
#   dist/Netsonde-VERSION-setup.exe       the installer (Program Files\Netsonde, Start menu,
#                                         Apps & Features, the machine PATH, uninstaller; /S
#                                         for silent)
#   dist/netsonde-cli_VERSION_amd64.deb   netsonde-cli for Debian and Ubuntu, with its manual
#                                         page, bash completion and the dissector
#   dist/SHA256SUMS
# VERSION is the one in the program's version resource (res/netsonde.rc); netsonde-cli must say
# the same. Two runs on the same commit give byte-identical files. Needs what tools/setup.sh
# installs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${NETSONDE_JOBS:-$(nproc)}
cd "$root"

"$root/tools/setup.sh"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release: note: uncommitted changes are not part of the release" >&2
fi
commit=$(git rev-parse HEAD)
export SOURCE_DATE_EPOCH NETSONDE_MAINTAINER
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct "$commit")
# The Debian package's maintainer: whoever committed what is released.
NETSONDE_MAINTAINER=${NETSONDE_MAINTAINER:-$(git log -1 --format='%cn <%ce>' "$commit")}

work="$root/build/release"
rm -rf "$work"
mkdir -p "$work/src"
git archive "$commit" | tar -x -C "$work/src"

echo "release: building Netsonde.exe, netsonde-cli.exe and netsonde-cli from $commit"
# Same paths on every run, so nothing of the build's location differs between two runs.
cmake -S "$work/src" -B "$work/windows" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$work/windows" -j "$jobs" --target Netsonde netsonde-cli >/dev/null
x86_64-w64-mingw32-strip --strip-debug -o "$work/Netsonde.exe" "$work/windows/Netsonde.exe"
x86_64-w64-mingw32-strip --strip-debug -o "$work/netsonde-cli.exe" \
    "$work/windows/cli/netsonde-cli.exe"
# The flags Debian builds its packages with (stack protector, fortified functions, read-only
# relocations), as lintian expects of a package's program.
(
    eval "$(dpkg-buildflags --export=sh)"
    export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
    cmake -S "$work/src" -B "$work/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
)
cmake --build "$work/linux" -j "$jobs" --target netsonde-cli >/dev/null
cli_version=$("$work/linux/cli/netsonde-cli" --version)

rm -rf "$root/dist"
mkdir -p "$root/dist"
"$work/src/tools/release/package.sh" --exe "$work/Netsonde.exe" --cli "$work/netsonde-cli.exe" \
    --out "$root/dist" >/dev/null
if [ ! -f "$root/dist/Netsonde-$cli_version-setup.exe" ]; then
    echo "release: netsonde-cli says version $cli_version, Netsonde.exe another" >&2
    exit 1
fi
"$work/src/tools/release/deb.sh" --cli "$work/linux/cli/netsonde-cli" --out "$root/dist" >/dev/null
(cd "$root/dist" && sha256sum -- *.zip *.exe *.deb >SHA256SUMS && cat SHA256SUMS)
echo "release: files in $root/dist"
