#!/bin/bash
# Benchmark, not a test: one `netsonde-cli scan` of the 5000 devices of
# scenarios/cli_fleet_5000.scn (gigabit pace, answers spread over 200 ms, as the lab test has
# them) and of the same devices in a burst (within 5 ms), natively and netsonde-cli.exe under
# Wine: wall time of the whole command and devices listed. Prints figures only.
#   bench_cli_scan.sh [RUNS]         (root; run from a built worktree; default 3 runs each)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$lab_dir/../.." && pwd)

if [ "${1:-}" = inside ]; then
    # These run the program itself, which has no guard of its own: never outside the lab.
    # shellcheck source=lab_guard.sh
    . "$lab_dir/lab_guard.sh" && lab_guard || exit 97
    runs=$2 work=$3
    export WINEDEBUG=-all
    sed 's/^  jitter .*/  jitter 5/' "$lab_dir/scenarios/cli_fleet_5000.scn" >"$work/burst.scn"
    # The first Wine program of a prefix starts Wine's services, which take the processor for a
    # few seconds: not the program's cost.
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    for spread in spread burst; do
        scenario=$lab_dir/scenarios/cli_fleet_5000.scn
        [ $spread = spread ] || scenario=$work/burst.scn
        "$lab_dir/labsim.sh" start "$scenario" "$work/sim.log" || exit 1
        for backend in native wine; do
            program=$root/build/linux/cli/netsonde-cli
            [ $backend = native ] || program=$root/build/windows/cli/netsonde-cli.exe
            [ -f "$program" ] || { echo "$backend: $program is not built"; continue; }
            for ((run = 1; run <= runs; run++)); do
                started=$(date +%s%N)
                if [ $backend = native ]; then
                    "$program" scan --format csv >"$work/out" 2>/dev/null </dev/null
                else
                    wine "$program" scan --format csv >"$work/out" 2>/dev/null </dev/null
                fi
                elapsed=$((($(date +%s%N) - started) / 1000000))
                printf '%-6s %-6s run %d  devices %5d  wall %5d ms\n' "$spread" "$backend" \
                    "$run" "$(tail -n +2 "$work/out" | cut -d, -f1 | sort -u | wc -l)" "$elapsed"
            done
        done
    done
    "$lab_dir/labsim.sh" stop
    exit 0
fi

runs=${1:-3}
[ "$(id -u)" -eq 0 ] || { echo "bench_cli_scan.sh: must run as root" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/bench-cli.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=wine_prefix.sh
. "$lab_dir/wine_prefix.sh"
new_lab_prefix "$work/prefix"
echo "netsonde-cli scan, 5000 devices behind one of two lab interfaces:"
"$lab_dir/netlab.sh" --ws-ifs 2 --wine-prefix "$work/prefix" -- "${BASH_SOURCE[0]}" inside \
    "$runs" "$work"
