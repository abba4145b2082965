#!/bin/bash
# Benchmark: one discovery scan per fleet size, pacing and back-end, printed as a table: devices
# listed, scan wall time (first request to the end of the scan), processor seconds of the program
# (and of the wineserver under Wine), peak resident memory, and processor time per listed device.
#   fleet sizes: 100 1000 3000 5000 devices, every one answering each of the three requests
#   pacing:      none (as fast as the simulator sends), 1g and 100m (link rates), jitter (each
#                reply held back a random 0-500 ms)
#   back-ends:   native (the exchange over POSIX sockets) and wine (Netsonde.exe, rows read back
#                from its window, which holds at most 1000 by design)
#   bench_scale.sh [--devices LIST] [--pacings LIST] [--backends LIST]
# Root only; run from a built worktree (tools/build.sh). About 5 minutes with every setting.
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$lab_dir/../.." && pwd)
# shellcheck source=bench_scan.sh
. "$lab_dir/bench_scan.sh"

if [ "${1:-}" = inside ]; then
    # These run the program itself, which has no guard of its own: never outside the lab.
    # shellcheck source=lab_guard.sh
    . "$lab_dir/lab_guard.sh" && lab_guard || exit 97
    work=$2
    read -r -a backends <<<"$3"
    read -r -a fleets <<<"$4"
    read -r -a pacings <<<"$5"
    export WINEDEBUG=-all
    printf '%-7s %7s %-7s %11s %8s %7s %9s %8s %10s\n' backend devices pacing listed wall_s \
        cpu_s server_s rss_MiB cpu_us/dev
    for backend in "${backends[@]}"; do
        for devices in "${fleets[@]}"; do
            for pacing in "${pacings[@]}"; do
                {
                    [ "$pacing" = jitter ] && echo "pace none" || echo "pace $pacing"
                    printf 'generate %d\n  name dev-{n}\n  mac 02:00:5e:01:00:00\n' "$devices"
                    printf '  ip 198.18.10.1\n  description Simulated unit {n}\n'
                    [ "$pacing" = jitter ] && printf '  jitter 500\n'
                } >"$work/fleet.scn"
                "$lab_dir/labsim.sh" start "$work/fleet.scn" "$work/sim.log" || exit 1
                "scan_$backend" "$work/sim.log" "$work"
                "$lab_dir/labsim.sh" stop
                expected=$devices
                [ "$backend" = wine ] && [ "$devices" -gt 1000 ] && expected=1000
                printf '%-7s %7d %-7s %5s/%-5s %8s %7s %9s %8s %10s\n' "$backend" "$devices" \
                    "$pacing" "$scan_devices" "$expected" \
                    "$(awk -v m="$scan_ms" 'BEGIN { if (m == "-") print "-"; else printf "%.2f", m / 1000 }')" \
                    "$scan_cpu" "$scan_server_cpu" \
                    "$(awk -v k="$scan_rss_kib" 'BEGIN { if (k == "-") print "-"; else printf "%.1f", k / 1024 }')" \
                    "$(awk -v c="$scan_cpu" -v n="$scan_devices" \
                        'BEGIN { if (c == "-" || n == 0) print "-"; else printf "%.0f", c * 1e6 / n }')"
            done
        done
    done
    exit 0
fi

fleets="100 1000 3000 5000"
pacings="none 1g 100m jitter"
backends="native wine"
while [ $# -gt 0 ]; do
    case $1 in
        --devices) fleets=$2; shift 2 ;;
        --pacings) pacings=$2; shift 2 ;;
        --backends) backends=$2; shift 2 ;;
        *) echo "usage: bench_scale.sh [--devices LIST] [--pacings LIST] [--backends LIST]" >&2
           exit 2 ;;
    esac
done
[ "$(id -u)" -eq 0 ] || { echo "bench_scale.sh: must run as root" >&2; exit 2; }
for file in build/linux/tools/exchange_probe/exchange_probe build/windows/Netsonde.exe \
    build/windows/tests/e2e/nsdriver.exe; do
    [ -e "$root/$file" ] || { echo "bench_scale.sh: $file is missing: run tools/build.sh" >&2; exit 2; }
done
bench_session_start bench_scale
bench_session_run "$lab_dir/bench_scale.sh" inside "$work" "$backends" "$fleets" "$pacings"
