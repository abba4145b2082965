#!/bin/bash
# Builds an isolated network segment from two fresh network namespaces and runs one command on
# its workstation side; everything is torn down on every way out. Nothing here touches the
# machine's own network namespace: links are created directly inside the lab's namespaces.
#
#   netlab.sh [options] -- COMMAND ARGS...       exit code: the command's
#
# Layout (addresses only from the 198.18.0.0/15 benchmark range):
#   workstation namespace nsws-PID            device namespace nsdev-PID
#     ws0  198.18.0.1/24 (.2, .3 ...) <-veth-> dev0 198.18.0.254/24  (default route)
#     ws1  198.18.1.1/24              <-veth-> dev1 198.18.1.254/24
#   Each workstation interface is a veth pair of its own to the device namespace, on a /24 of its
#   own; the simulator, bound to 0.0.0.0 there, hears and answers on all of them.
#
# Options:
#   --ws-ifs N          workstation interfaces (1..8, default 1)
#   --addrs N           IPv4 addresses on each workstation interface (1..9, default 1)
#   --no-ws-route       no default route in the workstation namespace (by default one via ws0)
#   --scenario FILE     start the simulator with this scenario before the command
#   --sim-log FILE      the simulator's datagram log (with --scenario; default: the lab state dir)
#   --sim-arg ARG       one more argument for the simulator (repeatable), e.g. --sim-arg --log-sent
#   --devsim PATH       the simulator binary (default: $NETSONDE_DEVSIM or build/linux's)
#   --wine-prefix DIR   run that prefix's wineserver inside the workstation namespace
#
# The command gets NETSONDE_LAB_NS, NETSONDE_LAB_DEV_NS, NETSONDE_LAB_WS_IFS,
# NETSONDE_LAB_WS_ADDRS (interface order), NETSONDE_LAB_DEV_ADDR, NETSONDE_DEVSIM,
# NETSONDE_LAB_DIR, NETSONDE_LAB_STATE (a scratch dir removed at the end) and, with
# --wine-prefix, WINEPREFIX.
set -uo pipefail

lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lab_guard.sh
. "$lab_dir/lab_guard.sh"

usage() {
    echo "netlab.sh: $1" >&2
    echo "usage: netlab.sh [--ws-ifs N] [--addrs N] [--no-ws-route] [--scenario FILE" \
         "[--sim-log FILE] [--sim-arg ARG]...] [--devsim PATH] [--wine-prefix DIR]" \
         "-- COMMAND ARGS..." >&2
    exit 2
}

ws_ifs=1
addrs=1
ws_route=1
scenario=""
sim_log=""
sim_args=()
devsim=${NETSONDE_DEVSIM:-$lab_dir/../../build/linux/tools/devsim/devsim}
wine_prefix=""
while [ $# -gt 0 ]; do
    case $1 in
        --ws-ifs|--addrs|--scenario|--sim-log|--sim-arg|--devsim|--wine-prefix)
            [ $# -ge 2 ] || usage "$1 needs a value"
            case $1 in
                --ws-ifs) ws_ifs=$2 ;;
                --addrs) addrs=$2 ;;
                --scenario) scenario=$2 ;;
                --sim-log) sim_log=$2 ;;
                --sim-arg) sim_args+=("$2") ;;
                --devsim) devsim=$2 ;;
                --wine-prefix) wine_prefix=$2 ;;
            esac
            shift 2 ;;
        --no-ws-route) ws_route=0; shift ;;
        --) shift; break ;;
        *) usage "unknown option $1" ;;
    esac
done
[ $# -gt 0 ] || usage "no command given after --"
[[ $ws_ifs =~ ^[1-8]$ ]] || usage "--ws-ifs takes 1 to 8"
[[ $addrs =~ ^[1-9]$ ]] || usage "--addrs takes 1 to 9"
if [ "$(id -u)" -ne 0 ]; then
    echo "netlab.sh: must run as root: it creates network namespaces and veth links" >&2
    exit 2
fi
if [ -n "$scenario" ] && [ ! -x "$devsim" ]; then
    echo "netlab.sh: no simulator at $devsim (build it, or pass --devsim)" >&2
    exit 2
fi
devsim=$(cd "$(dirname "$devsim")" 2>/dev/null && pwd)/$(basename "$devsim")
[ -z "$wine_prefix" ] || wine_prefix=$(cd "$wine_prefix" && pwd) || usage "no such prefix"

ns_ws=nsws-$$
ns_dev=nsdev-$$
state=$(mktemp -d "${TMPDIR:-/tmp}/netlab-$$.XXXXXX")
[ -n "$sim_log" ] || sim_log=$state/devsim.log
wineserver_started=0
command_pid=""

# Stops every process left in the lab's namespaces (each was started by this lab), then deletes
# the namespaces, which takes their veth links with them.
cleanup() {
    local ns pids tries
    trap - EXIT INT TERM
    if [ $wineserver_started = 1 ]; then
        ip netns exec "$ns_ws" env WINEPREFIX="$wine_prefix" wineserver -k >/dev/null 2>&1
    fi
    for ns in "$ns_ws" "$ns_dev"; do
        [ -e "/run/netns/$ns" ] || continue
        pids=$(ip netns pids "$ns" 2>/dev/null)
        [ -z "$pids" ] || kill -TERM $pids 2>/dev/null
        for tries in $(seq 50); do
            pids=$(ip netns pids "$ns" 2>/dev/null)
            [ -n "$pids" ] || break
            sleep 0.05
        done
        [ -z "$pids" ] || kill -KILL $pids 2>/dev/null
        ip netns del "$ns" 2>/dev/null
    done
    rm -rf "$state"
}
trap 'rc=$?; cleanup; exit $rc' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
    echo "netlab.sh: $1" >&2
    exit 2
}

ip netns add "$ns_ws" || fail "cannot create namespace $ns_ws"
ip netns add "$ns_dev" || fail "cannot create namespace $ns_dev"
for ns in "$ns_ws" "$ns_dev"; do
    # IPv4 only: no IPv6 chatter on the segment, so the simulator's log holds only the tests'.
    ip netns exec "$ns" sysctl -qw net.ipv6.conf.default.disable_ipv6=1 \
        net.ipv6.conf.all.disable_ipv6=1 >/dev/null 2>&1
    ip -n "$ns" link set lo up
done

ws_names=()
ws_addrs=()
for ((k = 0; k < ws_ifs; k++)); do
    ip link add "ws$k" netns "$ns_ws" type veth peer name "dev$k" netns "$ns_dev" ||
        fail "cannot create the veth pair ws$k/dev$k"
    for ((j = 1; j <= addrs; j++)); do
        ip -n "$ns_ws" addr add "198.18.$k.$j/24" dev "ws$k" || fail "cannot address ws$k"
        ws_addrs+=("198.18.$k.$j")
    done
    ip -n "$ns_dev" addr add "198.18.$k.254/24" dev "dev$k" || fail "cannot address dev$k"
    ip -n "$ns_ws" link set "ws$k" up
    ip -n "$ns_dev" link set "dev$k" up
    ws_names+=("ws$k")
done
ip -n "$ns_dev" route add default dev dev0 || fail "cannot add the device namespace's route"
if [ $ws_route = 1 ]; then
    ip -n "$ns_ws" route add default dev ws0 || fail "cannot add the workstation's route"
fi

# A new veth can take up to a second to report its carrier; programs that list interfaces
# (Wine reads them once, when its wineserver starts) must see them up.
for ((k = 0; k < ws_ifs; k++)); do
    for tries in $(seq 100); do
        [ "$(ip netns exec "$ns_ws" cat "/sys/class/net/ws$k/carrier" 2>/dev/null)" = 1 ] && break
        sleep 0.02
    done
    [ "$(ip netns exec "$ns_ws" cat "/sys/class/net/ws$k/carrier" 2>/dev/null)" = 1 ] ||
        fail "ws$k has no carrier after 2 s"
done

export NETSONDE_LAB_NS=$ns_ws
export NETSONDE_LAB_DEV_NS=$ns_dev
export NETSONDE_LAB_WS_IFS="${ws_names[*]}"
export NETSONDE_LAB_WS_ADDRS="${ws_addrs[*]}"
export NETSONDE_LAB_DEV_ADDR=198.18.0.254
export NETSONDE_DEVSIM=$devsim
export NETSONDE_LAB_DIR=$lab_dir
export NETSONDE_LAB_STATE=$state

if [ -n "$scenario" ]; then
    "$lab_dir/labsim.sh" start "$scenario" "$sim_log" "${sim_args[@]}" ||
        fail "the simulator did not start"
fi

if [ -n "$wine_prefix" ]; then
    export WINEPREFIX=$wine_prefix
    ip netns exec "$ns_ws" "$lab_dir/in_lab.sh" wineserver -p ||
        fail "cannot start the wineserver of $wine_prefix in $ns_ws"
    wineserver_started=1
fi

# The command runs in the background so that a signal to this script is handled at once (a
# foreground command would hold the traps back until it ends); it keeps this script's stdin.
if [ -e "/proc/$$/fd/0" ]; then
    exec {stdin_copy}<&0
else
    exec {stdin_copy}</dev/null  # started without a standard input (as CI may run it)
fi
ip netns exec "$ns_ws" "$lab_dir/in_lab.sh" "$@" <&$stdin_copy &
command_pid=$!
wait "$command_pid"
exit $?
