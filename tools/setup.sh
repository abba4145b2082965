#!/bin/bash
# Installs what building and testing Netsonde needs on Debian 12, as root. Quiet when all is there.
set -euo pipefail

packages=(cmake ninja-build g++ googletest g++-mingw-w64-x86-64 mingw-w64-tools wine wine64
          xvfb xauth imagemagick iproute2 procps util-linux clang-format
          fonts-wine  # the bitmap "MS Sans Serif" the test prefix installs
          time)  # /usr/bin/time, for the lab benchmarks and the flood test
# The release package: the installer (NSIS) and the zip; the Debian package of netsonde-cli
# (its manual page from its help, dpkg-shlibdeps, the package check, and what its test installs
# into: the manual's index and bash's completion).
packages+=(nsis zip help2man dpkg-dev lintian man-db bash-completion)
# The sanitizer and fuzzing build (fuzz/run.sh).
packages+=(clang libfuzzer-14-dev libclang-rt-14-dev)
# The command-line program's argument parser and JSON (header-only, both builds).
packages+=(libcli11-dev nlohmann-json3-dev)
# The dissector's lab test; reading the command-line program's JSON in lab tests.
packages+=(tshark jq)
# The documentation's checks (tests/docs).
packages+=(python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages: ${missing[*]}; run as root to install them" >&2
        exit 1
    fi
    # With their recommended packages: Wine needs its fonts and X libraries to draw dialogs the
    # way the end-to-end tests expect.
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi
