#!/bin/bash
# Configures and builds both trees: build/windows (Netsonde.exe and the Windows test programs,
# cross-compiled with MinGW-w64) and build/linux (the portable core's tests, the simulator and the
# lab tools). The Linux tree is told where the Windows programs are, for the tests that run them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${NETSONDE_JOBS:-$(nproc)}

cmake -S "$root" -B "$root/build/windows" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$root/build/windows" -j "$jobs"

cmake -S "$root" -B "$root/build/linux" -G Ninja \
    -DNETSONDE_WINDOWS_BUILD_DIR="$root/build/windows" >/dev/null
cmake --build "$root/build/linux" -j "$jobs"
