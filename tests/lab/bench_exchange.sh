#!/bin/bash
# Benchmark, not a test: how many replies one discovery exchange collects when N simulated devices
# (default 1000) answer every attempt at once, unpaced, and how much processor time the exchange
# uses, for the native probe and for exchange_probe.exe under Wine. Prints figures only.
#   bench_exchange.sh [DEVICES]        (root; run from a built worktree)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$lab_dir/../.." && pwd)

if [ "${1:-}" = inside ]; then
    work=$2
    export WINEDEBUG=-all
    "$lab_dir/labsim.sh" start "$work/burst.scn" "$work/sim.log" || exit 1
    for backend in native wine; do
        if [ "$backend" = native ]; then
            command=("$root/build/linux/tools/exchange_probe/exchange_probe")
        else
            command=(wine "$root/build/windows/tools/exchange_probe/exchange_probe.exe")
        fi
        # CPU of the probe process (the wineserver's share is not counted).
        /usr/bin/time -f '%U %S' -o "$work/cpu" "${command[@]}" --bind 198.18.0.1 \
            --mode discover --align >"$work/out" 2>/dev/null </dev/null
        read -r user system <"$work/cpu"
        printf '%-6s datagrams %5d  devices %5d  cpu %s s user %s s system\n' "$backend" \
            "$(grep -c '^reply' "$work/out")" \
            "$(awk '$1 == "reply" {print $6}' "$work/out" | sort -u | wc -l)" "$user" "$system"
    done
    "$lab_dir/labsim.sh" stop
    exit 0
fi

devices=${1:-1000}
[ "$(id -u)" -eq 0 ] || { echo "bench_exchange.sh: must run as root" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/bench-exchange.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'generate %d\n  name dev-{n}\n  mac 02:00:5e:01:00:00\n  ip 198.18.10.1\n' "$devices" \
    >"$work/burst.scn"
# shellcheck source=wine_prefix.sh
. "$lab_dir/wine_prefix.sh"
new_lab_prefix "$work/prefix"
echo "$devices devices answering each of the three requests at once:"
"$lab_dir/netlab.sh" --wine-prefix "$work/prefix" -- "${BASH_SOURCE[0]}" inside "$work"
