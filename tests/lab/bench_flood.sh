#!/bin/bash
# Benchmark: 50 simulated devices answer a scan while another host on the device side
# (198.18.0.253) sends stray datagrams to the scanning socket's port at a set rate (tools/devsim
# labflood.cpp: random lengths 0-1400, a quarter of them 612-byte records that are no reply, 1 %
# giants of 1401-65,000 bytes, and 5 % ICMP port unreachables quoting the scanning socket).
# For each back-end (the native exchange, Netsonde.exe under Wine, netsonde-cli natively and
# under Wine) and rate it prints devices listed, scan time and processor time, and then the
# highest rate at which every device was listed, nothing crashed or reported a receive error
# and the scan ended within its three windows.
#   bench_flood.sh [--rates "1000 5000 10000 20000 50000"] [--backends "native wine cli cliwine"]
#                  [--runs N] [--burst N] [--delay MS] [--jitter MS]
# --burst sends N strays as fast as the link takes them before the steady rate (which may be 0);
# --delay and --jitter set when the devices answer (default 100 and 800 ms: amid the strays).
#   bench_flood.sh --check RATE     the CI test: every back-end must pass at RATE (one rerun
#                                   each), and a netsonde-cli set under the flood, each build,
#                                   must be accepted
# Root only; run from a built worktree (tools/build.sh).
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$lab_dir/../.." && pwd)
# shellcheck source=bench_scan.sh
. "$lab_dir/bench_scan.sh"
devices=50
flood_from=198.18.0.253
# Three windows of at most a second each, plus the sends and a busy machine's slack.
limit_ms=4500

# The simulator with the fleet, logging to LOG, and labflood at RATE in the background ($flood).
start_flood() {
    "$lab_dir/labsim.sh" start "$work/fleet.scn" "$1" || return 1
    ip netns exec "$NETSONDE_LAB_DEV_NS" "$lab_dir/in_lab.sh" \
        "$root/build/linux/tools/devsim/labflood" --log "$1" --rate "$2" --seconds 4 \
        --burst "$burst" --giants 1 --icmp 5 \
        --from "$flood_from" --seed "$2" >"$work/flood.out" 2>&1 &
    flood=$!
}

stop_flood() {
    wait "$flood"
    "$lab_dir/labsim.sh" stop
}

# One scan under flood; prints a table row and returns 0 when it passed.
flood_run() {
    local backend=$1 rate=$2 work=$3 passed
    start_flood "$work/sim-$backend-$rate.log" "$rate" || return 1
    "scan_$backend" "$work/sim-$backend-$rate.log" "$work"
    stop_flood
    passed=no
    if [ "$scan_ok" = 1 ] && [ "$scan_devices" = "$devices" ] && [ "$scan_ms" != - ] &&
        [ "$scan_ms" -le $limit_ms ]; then
        passed=yes
    fi
    printf '%-7s %7s %8s/%d %8s %8s %8s  %-4s %s\n' "$backend" "$rate" "$scan_devices" \
        "$devices" "$scan_ms" "$scan_cpu" "$scan_server_cpu" "$passed" \
        "$(sed -n 's/.*sent=\([0-9]*\).*/sent \1/p' "$work/flood.out")"
    [ $passed = yes ]
}

# netsonde-cli set (native, or "wine") on one device under flood: its scan and its set request
# both read amid the strays; the device's acceptance must get through.
flood_set() {
    local cli=("$root/build/linux/cli/netsonde-cli") status
    [ "$1" = wine ] && cli=(wine "$root/build/windows/cli/netsonde-cli.exe")
    start_flood "$work/sim-set-$1.log" "$2" || return 1
    "${cli[@]}" set 02-00-5e-01-00-07 --adapter 198.18.0.1 --static --ip 198.18.10.99 \
        --mask 255.255.255.0 --gateway 198.18.10.254 --tftp 198.18.10.5 \
        --no-verify >"$work/set.out" 2>&1 </dev/null
    status=$?
    stop_flood
    tr -d '\r' <"$work/set.out" | grep -qx '02-00-5e-01-00-07: accepted' && [ $status = 0 ]
}

if [ "${1:-}" = inside ]; then
    # These run the program itself, which has no guard of its own: never outside the lab.
    # shellcheck source=lab_guard.sh
    . "$lab_dir/lab_guard.sh" && lab_guard || exit 97
    work=$2 check=$3 runs=$4 burst=$7
    read -r -a backends <<<"$5"
    read -r -a rates <<<"$6"
    export WINEDEBUG=-all
    ip -n "$NETSONDE_LAB_DEV_NS" addr add "$flood_from/24" dev dev0 || exit 1
    printf '%-7s %7s %10s %8s %8s %8s  %-4s\n' backend rate/s listed scan_ms cpu_s server_s pass
    failed=0
    for backend in "${backends[@]}"; do
        best=none
        for rate in "${rates[@]}"; do
            all=1
            for ((run = 1; run <= runs; run++)); do
                if ! flood_run "$backend" "$rate" "$work"; then
                    # A check gets one rerun: receive windows are timed on a shared machine.
                    if [ "$check" = 1 ] && flood_run "$backend" "$rate" "$work"; then
                        continue
                    fi
                    all=0
                fi
            done
            [ $all = 1 ] || break
            best=$rate
        done
        echo "$backend: highest rate with every device listed: $best/s"
        [ $best = none ] && failed=1
    done
    if [ "$check" = 1 ]; then
        for build in native wine; do
            if flood_set "$build" "${rates[0]}" || flood_set "$build" "${rates[0]}"; then
                echo "netsonde-cli ($build): set accepted under the flood"
            else
                echo "netsonde-cli ($build): set NOT accepted under the flood:"
                cat "$work/set.out"
                failed=1
            fi
        done
    fi
    exit $failed
fi

rates="1000 5000 10000 20000 50000"
backends="native wine cli cliwine"
runs=1
check=0
burst=0
delay=100
jitter=800
while [ $# -gt 0 ]; do
    case $1 in
        --rates) rates=$2; shift 2 ;;
        --backends) backends=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --check) check=1; rates=$2; shift 2 ;;
        --burst) burst=$2; shift 2 ;;
        --delay) delay=$2; shift 2 ;;
        --jitter) jitter=$2; shift 2 ;;
        *) echo "usage: bench_flood.sh [--rates LIST] [--backends LIST] [--runs N] [--burst N]" \
               "[--delay MS] [--jitter MS] | --check RATE" >&2
           exit 2 ;;
    esac
done
[ "$(id -u)" -eq 0 ] || { echo "bench_flood.sh: must run as root" >&2; exit 77; }
for file in build/linux/tools/devsim/labflood build/linux/tools/exchange_probe/exchange_probe \
    build/windows/Netsonde.exe build/windows/tests/e2e/nsdriver.exe build/linux/cli/netsonde-cli \
    build/windows/cli/netsonde-cli.exe; do
    [ -e "$root/$file" ] || { echo "bench_flood.sh: $file is missing: run tools/build.sh" >&2; exit 2; }
done

bench_session_start bench_flood
printf 'generate %d\n  name dev-{n}\n  mac 02:00:5e:01:00:00\n  ip 198.18.10.1\n' $devices \
    >"$work/fleet.scn"
printf '  delay %d\n  jitter %d\n' "$delay" "$jitter" >>"$work/fleet.scn"
echo "$devices devices answering while $flood_from floods the scanning port:"
bench_session_run "$lab_dir/bench_flood.sh" inside "$work" "$check" "$runs" "$backends" "$rates" \
    "$burst"
