# Sourced by the lab benchmarks that time whole scans (bench_flood.sh, bench_scale.sh): one scan
# by each back-end against the simulator that is running, with its figures in shell variables.
#   native: the product's exchange over POSIX sockets (exchange_probe)
#   wine:   Netsonde.exe under Wine, passed through the adapter chooser, its rows read back from
#           the Scan List window with nsdriver.exe
#   cli, cliwine: netsonde-cli scan on 198.18.0.1, natively and netsonde-cli.exe under Wine
# Callers set root (the worktree) and, for wine, DISPLAY and WINEPREFIX (a prefix made by
# tests/e2e/prepare_prefix.sh whose wineserver runs in the lab: netlab.sh --wine-prefix).
# After scan_native/scan_wine LOG WORK: scan_devices (distinct devices listed whose MAC starts
# 02-00-5e-01), scan_ok (1 when the program ended or showed its window normally), scan_ms (from
# the first request in the simulator's LOG to the end of the scan), scan_cpu (program seconds),
# scan_server_cpu (wineserver seconds, wine only), scan_rss_kib (peak resident memory).
# BENCH_NETSONDE_EXE runs another build of the program (to compare before and after a change).
# bench_session_start NAME / bench_session_run COMMAND...: a scratch folder ($work), a virtual
# display and a prepared prefix, then COMMAND in a lab whose wineserver is that prefix's; all of
# it is removed on every way out.

bench_session_start() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
    export WINEPREFIX=$work/prefix WINEDEBUG=-all
    xvfb_pid=""
    child=""
    trap 'bench_session_end' EXIT
    trap 'exit 130' INT TERM
    # shellcheck source=../e2e/display_session.sh
    . "$root/tests/e2e/display_session.sh"
    start_virtual_display "$1"
    "$root/tests/e2e/prepare_prefix.sh" "$WINEPREFIX" \
        "$root/build/windows/tests/e2e/browser_recorder.exe" \
        "$root/build/windows/tests/e2e/wine-prefix-template"
}

bench_session_end() {
    local status=$?
    trap - EXIT INT TERM
    stop_session_processes
    rm -rf "$work"
    exit $status
}

bench_session_run() {
    "$root/tests/lab/netlab.sh" --wine-prefix "$WINEPREFIX" -- "$@" &
    child=$!
    wait "$child"
}

# Milliseconds since the epoch of the first discovery request in a simulator log.
first_request_ms() {
    awk '$3 == 612 && substr($4, 1, 4) == "ab01" {
        split($1, t, /[-T:.Z]/); print t[1] " " t[2] " " t[3] " " t[4] " " t[5] " " t[6] " " t[7]; exit }' "$1" |
        { read -r y mo d h mi s ms && echo $(( $(date -u -d "$y-$mo-$d $h:$mi:$s" +%s) * 1000 + 10#$ms )); }
}

now_ms() { date +%s%3N; }

# Seconds of processor time (user + system) of a live process.
process_cpu() {
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat" 2>/dev/null ||
        echo 0
}

scan_native() {
    local log=$1 work=$2 elapsed user system rss started
    started=$(now_ms)
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" \
        "$root/build/linux/tools/exchange_probe/exchange_probe" --bind 198.18.0.1 --mode discover \
        >"$work/out" 2>/dev/null </dev/null
    read -r elapsed user system rss <"$work/time"
    scan_devices=$(awk '$1 == "reply" && $5 == "02" && $6 ~ /^02-00-5e-01/ {print $6}' \
        "$work/out" | sort -u | wc -l)
    scan_ok=0
    grep -qx 'result Completed' "$work/out" && scan_ok=1
    scan_ms=$(( $(now_ms) - $(first_request_ms "$log" || echo "$started") ))
    scan_cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')
    scan_server_cpu=-
    scan_rss_kib=$rss
}

# netsonde-cli (native, or with a third argument "wine" the Windows build under Wine): one scan
# on ws0's address; scan_ok when it exits 0, which it does not after a receive error.
scan_cli() {
    local log=$1 work=$2 started status cli=("$root/build/linux/cli/netsonde-cli")
    [ "${3:-}" = wine ] && cli=(wine "$root/build/windows/cli/netsonde-cli.exe")
    started=$(now_ms)
    # Output to files: Wine's helpers keep inherited pipes open.
    "${cli[@]}" scan --adapter 198.18.0.1 --format csv >"$work/out" 2>"$work/err" </dev/null
    status=$?
    scan_ms=$(( $(now_ms) - $(first_request_ms "$log" || echo "$started") ))
    scan_devices=$(tr -d '\r' <"$work/out" | cut -d, -f1 | grep -c '^02-00-5e-01')
    scan_ok=0
    [ $status = 0 ] && scan_ok=1
    scan_cpu=- scan_server_cpu=- scan_rss_kib=-
}

scan_cliwine() { scan_cli "$1" "$2" wine; }

# The wineserver of this lab's prefix: the one process of that name in the lab's namespace.
lab_wineserver_pid() {
    local pid
    for pid in $(ip netns pids "$NETSONDE_LAB_NS"); do
        case $(cat "/proc/$pid/comm" 2>/dev/null) in wineserver*) echo "$pid"; return ;; esac
    done
}

scan_wine() {
    local log=$1 work=$2 nsd app server cpu0 server0 waiter chooser="Netsonde Network Adapter Selection"
    nsd=("wine" "$root/build/windows/tests/e2e/nsdriver.exe")
    scan_ok=0 scan_devices=0 scan_ms=- scan_cpu=- scan_server_cpu=- scan_rss_kib=-
    wine "${BENCH_NETSONDE_EXE:-$root/build/windows/Netsonde.exe}" &
    app=$!
    if ! "${nsd[@]}" -t 60000 wait "$chooser" >/dev/null 2>&1; then
        kill "$app" 2>/dev/null; wait "$app" 2>/dev/null
        return
    fi
    server=$(lab_wineserver_pid)
    cpu0=$(process_cpu "$app")
    server0=$(process_cpu "$server")
    # Waits for the main window from before the click, so the driver's own start is not timed.
    "${nsd[@]}" -t 60000 wait "Scan List" >/dev/null 2>&1 &
    waiter=$!
    "${nsd[@]}" click "$chooser" 1 >/dev/null 2>&1
    if wait "$waiter" && kill -0 "$app" 2>/dev/null; then
        scan_ms=$(( $(now_ms) - $(first_request_ms "$log" || now_ms) ))
        scan_cpu=$(awk -v a="$(process_cpu "$app")" -v b="$cpu0" 'BEGIN { printf "%.2f", a - b }')
        scan_server_cpu=$(awk -v a="$(process_cpu "$server")" -v b="$server0" \
            'BEGIN { printf "%.2f", a - b }')
        scan_rss_kib=$(awk '/^VmHWM:/ {print $2}' "/proc/$app/status")
        # Through a file: Wine's output read inside a command substitution comes back empty.
        "${nsd[@]}" rows "Scan List" 1019 >"$work/rows" 2>/dev/null
        scan_devices=$(tr -d '\r' <"$work/rows" | cut -f1 | grep -c '^02-00-5e-01')
        "${nsd[@]}" close "Scan List" >/dev/null 2>&1
        wait "$app" && scan_ok=1
    else
        kill "$app" 2>/dev/null
        wait "$app" 2>/dev/null
    fi
}
