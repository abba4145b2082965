#!/bin/bash
# Starts and stops the device simulator in the lab's device namespace, for tests that need a
# scenario of their own per case. Runs wherever netlab.sh's environment is set: on the
# workstation side (inside the lab) or in netlab.sh itself.
#
#   labsim.sh start SCENARIO LOGFILE [DEVSIM-ARGS...]   waits until the simulator is ready;
#                                                       a simulator still running is stopped first
#   labsim.sh stop                                      stops it (SIGTERM, then SIGKILL after 3 s)
#
# Uses NETSONDE_LAB_DEV_NS, NETSONDE_DEVSIM and NETSONDE_LAB_STATE, where it keeps the
# simulator's pid (devsim.pid), its ready file and its output (devsim.out).
set -uo pipefail

lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

die() {
    echo "labsim.sh: $1" >&2
    exit "${2:-2}"
}

for variable in NETSONDE_LAB_DEV_NS NETSONDE_DEVSIM NETSONDE_LAB_STATE; do
    [ -n "${!variable:-}" ] || die "$variable is not set: run inside tests/lab/netlab.sh"
done
state=$NETSONDE_LAB_STATE
pid_file=$state/devsim.pid
ready_file=$state/devsim.ready
out_file=$state/devsim.out

# True while the recorded pid is still our simulator (and not a reused pid or a zombie).
sim_alive() {
    local pid=$1 status
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = devsim ] || return 1
    status=$(awk '/^State:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    [ -n "$status" ] && [ "$status" != Z ]
}

stop_sim() {
    local pid tries
    [ -f "$pid_file" ] || return 0
    pid=$(cat "$pid_file")
    if [[ $pid =~ ^[0-9]+$ ]] && sim_alive "$pid"; then
        kill -TERM "$pid" 2>/dev/null
        for tries in $(seq 300); do
            sim_alive "$pid" || break
            sleep 0.01
        done
        if sim_alive "$pid"; then
            echo "labsim.sh: the simulator ignored SIGTERM; killing it" >&2
            kill -KILL "$pid" 2>/dev/null
        fi
    fi
    rm -f "$pid_file" "$ready_file"
}

start_sim() {
    local scenario=$1 log=$2 pid tries
    shift 2
    [ -r "$scenario" ] || die "cannot read scenario $scenario"
    stop_sim
    rm -f "$ready_file"
    ip netns exec "$NETSONDE_LAB_DEV_NS" "$lab_dir/in_lab.sh" "$NETSONDE_DEVSIM" \
        --log "$log" --ready-file "$ready_file" "$@" "$scenario" >"$out_file" 2>&1 </dev/null &
    pid=$!
    echo "$pid" >"$pid_file"
    for tries in $(seq 1000); do
        [ -f "$ready_file" ] && return 0
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            local rc=$?
            rm -f "$pid_file"
            cat "$out_file" >&2
            die "the simulator exited with code $rc before it was ready" "$rc"
        fi
        sleep 0.01
    done
    cat "$out_file" >&2
    stop_sim
    die "the simulator was not ready within 10 s" 1
}

case ${1:-} in
    start)
        [ $# -ge 3 ] || die "usage: labsim.sh start SCENARIO LOGFILE [DEVSIM-ARGS...]"
        shift
        start_sim "$@" ;;
    stop)
        stop_sim ;;
    *)
        die "usage: labsim.sh start SCENARIO LOGFILE [DEVSIM-ARGS...] | labsim.sh stop" ;;
esac
