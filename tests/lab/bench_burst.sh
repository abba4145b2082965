#!/bin/bash
# Benchmark (not a test): 5000 simulated devices answer one discovery request at once, paced at
# a link rate or unpaced; a native receiver in the workstation namespace with a 4 MiB SO_RCVBUF
# counts what arrives and how long the burst lasts. Prints one line per pacing.
#   bench_burst.sh [DEVSIM LABPROBE] [RUNS]     (root only)
# BENCH_RCVBUF (default 4194304) sets the receive buffer asked for; the kernel reports double.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
devsim=${1:-$root/build/linux/tools/devsim/devsim}
probe=${2:-$root/build/linux/tools/devsim/labprobe}
runs=${3:-3}
rcvbuf=${BENCH_RCVBUF:-4194304}
[ "$(id -u)" -eq 0 ] || { echo "bench_burst.sh: needs root" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/lab-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
for pace in none 100m 1g; do
    {
        echo "pace $pace"
        printf 'generate 5000\n  name dev-{n}\n  mac 02:00:5e:01:00:00\n  ip 198.18.10.1\n'
        printf '  description Simulated unit {n}\n'
    } >"$work/$pace.scn"
    for ((run = 1; run <= runs; run++)); do
        "$root/tests/lab/netlab.sh" --devsim "$devsim" --scenario "$work/$pace.scn" \
            --sim-log "$work/sim.log" -- \
            "$probe" --rcvbuf "$rcvbuf" --wait 5000 --quiet 500 >"$work/out" ||
            { echo "bench_burst.sh: lab run failed" >&2; exit 1; }
        printf 'pace=%-5s run=%d %s\n' "$pace" "$run" "$(cat "$work/out")"
    done
done
