#!/bin/bash
# Runs end-to-end test suites of netsonde_e2e_tests.exe under Wine on a private virtual display,
# inside the network lab (tests/lab/netlab.sh) unless --no-lab is given.
#
#   run_e2e.sh --windows-build DIR [--scenarios DIR] [--no-lab | --loopback-only]
#              [--ws-ifs N] [--addrs N] [--dpi N] [--keep] [--prefix-setup SCRIPT]
#              --suite NAME[=SCENARIO] ...
#
# Each --suite runs the gtest suite NAME (--gtest_filter=NAME.*) in its own run of the test
# program; with =SCENARIO the device simulator plays that scenario file (looked up in the
# scenarios directory) during the suite, and its log of what went on the wire is given to the
# tests. One Wine prefix and one display serve the whole run. Xvfb, the wineserver, the
# simulator and the lab's namespaces are cleaned up on every exit path. Exit code 0 when every
# suite passed.
#
# --dpi N draws at N DPI (the prefix's LogPixels, NETSONDE_E2E_DPI for the tests) on a screen
# large enough for it.
#
# --loopback-only runs the suites in a network namespace of their own that has nothing but its
# loopback interface (named like the lab's workstation namespaces and checked with the lab's
# guard), for the case of a workstation whose interface table has a single row. Nothing there
# reaches any other namespace.
#
# --prefix-setup SCRIPT runs "SCRIPT PREFIX WINDOWS_BUILD" on this run's copy of the prefix before
# anything starts in it (the fault-injection tests install their stand-in DLLs that way).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=display_session.sh
. "$here/display_session.sh"
root=$(cd "$here/../.." && pwd)

windows_build=""
scenarios="$here/scenarios"
use_lab=1
loopback_only=0
ws_ifs=1
addrs=1
keep=0
prefix_setup=""
suites=()

# ---- the inner part: runs inside the lab's workstation namespace (or directly) ----------------
run_suites() {
    local failed=0 entry name scenario log
    local tests_exe="$windows_build/tests/e2e/netsonde_e2e_tests.exe"
    export NETSONDE_EXE="Z:${windows_build//\//\\}\\Netsonde.exe"
    for entry in "${suites[@]}"; do
        name=${entry%%=*}
        scenario=""
        [[ $entry == *=* ]] && scenario=${entry#*=}
        log="$work/$name.sim.log"
        : >"$log"
        export NETSONDE_E2E_SIM_LOG="$log" NETSONDE_E2E_SCENARIO="$scenario"
        export NETSONDE_E2E_BROWSER_LOG="$work/$name.browser.log"
        rm -f "$NETSONDE_E2E_BROWSER_LOG"
        if [ -n "$scenario" ]; then
            "$NETSONDE_LAB_DIR/labsim.sh" start "$scenarios/$scenario" "$log" >/dev/null
        fi
        echo "== $name${scenario:+ ($scenario)}"
        if ! wine "$tests_exe" --gtest_filter="$name.*" --gtest_brief=1 </dev/null; then
            failed=1
            echo "== $name FAILED; simulator log: $log"
        fi
        if [ -n "$scenario" ]; then
            "$NETSONDE_LAB_DIR/labsim.sh" stop >/dev/null || true
        fi
    done
    return $failed
}

while [ $# -gt 0 ]; do
    case $1 in
        --windows-build) windows_build=$2; shift 2 ;;
        --scenarios) scenarios=$2; shift 2 ;;
        --no-lab) use_lab=0; shift ;;
        --loopback-only) loopback_only=1; shift ;;
        --ws-ifs) ws_ifs=$2; shift 2 ;;
        --addrs) addrs=$2; shift 2 ;;
        --dpi) export NETSONDE_E2E_DPI=$2 NETSONDE_E2E_SCREEN=2560x1600; shift 2 ;;
        --keep) keep=1; shift ;;
        --prefix-setup) prefix_setup=$2; shift 2 ;;
        --suite) suites+=("$2"); shift 2 ;;
        *) echo "run_e2e: unknown argument $1" >&2; exit 2 ;;
    esac
done

if [ "${RUN_E2E_INNER:-}" = 1 ]; then
    # Re-entered by netlab.sh inside the workstation namespace; settings come through the
    # environment.
    windows_build=$RUN_E2E_WINDOWS_BUILD scenarios=$RUN_E2E_SCENARIOS work=$RUN_E2E_WORK
    read -r -a suites <<<"$RUN_E2E_SUITES"
    run_suites
    exit $?
fi

if [ -z "$windows_build" ] || [ ${#suites[@]} -eq 0 ]; then
    echo "usage: run_e2e.sh --windows-build DIR [--no-lab] [--ws-ifs N] [--addrs N] --suite NAME[=SCENARIO]..." >&2
    exit 2
fi
windows_build=$(cd "$windows_build" && pwd)
for exe in Netsonde.exe tests/e2e/netsonde_e2e_tests.exe tests/e2e/browser_recorder.exe; do
    if [ ! -f "$windows_build/$exe" ]; then
        echo "run_e2e: $windows_build/$exe is missing; build the Windows tree first" >&2
        exit 2
    fi
done
if [ $loopback_only = 1 ]; then
    use_lab=0
fi
if { [ $use_lab = 1 ] || [ $loopback_only = 1 ]; } && [ "$(id -u)" -ne 0 ]; then
    echo "run_e2e: the lab needs root (network namespaces)" >&2
    exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/netsonde-e2e.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
xvfb_pid=""
loopback_ns=""
child=""
cleanup() {
    local status=$?
    trap - EXIT INT TERM
    # An interrupted run: the lab (or the namespace's runner) cleans up after itself on TERM.
    stop_session_processes
    if [ -n "$loopback_ns" ]; then
        ip netns pids "$loopback_ns" 2>/dev/null | xargs -r kill -9 2>/dev/null || true
        ip netns delete "$loopback_ns" 2>/dev/null || true
    fi
    if [ $keep = 1 ] || [ $status -ne 0 ]; then
        # Logs of a failed run stay for inspection; the prefix is large and goes.
        rm -rf "$WINEPREFIX"
        [ $keep = 1 ] || echo "run_e2e: logs kept in $work" >&2
    else
        rm -rf "$work"
    fi
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_virtual_display run_e2e

# The prepared prefix is made once per build tree and copied for each run.
"$here/prepare_prefix.sh" "$WINEPREFIX" "$windows_build/tests/e2e/browser_recorder.exe" \
    "$windows_build/tests/e2e/wine-prefix-template"
[ -z "$prefix_setup" ] || "$prefix_setup" "$WINEPREFIX" "$windows_build"

export RUN_E2E_INNER=1 RUN_E2E_WINDOWS_BUILD="$windows_build" RUN_E2E_SCENARIOS="$scenarios"
export RUN_E2E_WORK="$work" RUN_E2E_SUITES="${suites[*]}"
# The suites run in the background and are waited for, so a signal to this script is handled at
# once (bash defers traps while a foreground child runs) and passed on by cleanup.
if [ $loopback_only = 1 ]; then
    loopback_ns="nsws-e2elo-$$"
    ip netns add "$loopback_ns"
    ip -n "$loopback_ns" link set lo up
    # The wineserver must start inside the namespace: it creates the program's sockets.
    NETSONDE_LAB_NS=$loopback_ns ip netns exec "$loopback_ns" bash -c '
        . "$1/lab_guard.sh" && lab_guard && wineserver -p && exec "$2"' _ \
        "$root/tests/lab" "$here/run_e2e.sh" &
elif [ $use_lab = 1 ]; then
    "$root/tests/lab/netlab.sh" --ws-ifs "$ws_ifs" --addrs "$addrs" --wine-prefix "$WINEPREFIX" \
        -- "$here/run_e2e.sh" &
else
    "$here/run_e2e.sh" &
fi
child=$!
wait "$child"
