#!/bin/bash
# Lab test of the broadcast exchange over a real socket back-end: the native exchange probe (POSIX
# sockets) or exchange_probe.exe under Wine (Winsock). One lab and one Wine prefix serve every
# case; the simulator is restarted with another scenario between groups of cases. Each case
# checks what the probe reports and what the simulator saw on the wire.
#   exchange_test.sh native|wine PROBE DEVSIM      (exit 77: skipped)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

if [ "${1:-}" = inside ]; then
    backend=$2 probe=$3 work=$4
else
    backend=${1:-} probe=${2:-} devsim=${3:-}
    [ "$(id -u)" -eq 0 ] || { echo "exchange_test: needs root; skipped"; exit 77; }
    case $backend in
        native | wine) ;;
        *) echo "usage: exchange_test.sh native|wine PROBE DEVSIM" >&2; exit 2 ;;
    esac
    if [ ! -f "$probe" ]; then
        echo "exchange_test: no probe at '$probe' (is the Windows tree built?); skipped"
        exit 77
    fi
    work=$(mktemp -d "${TMPDIR:-/tmp}/lab-exchange.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    lab_args=(--addrs 2 --devsim "$devsim")
    if [ "$backend" = wine ]; then
        # A prefix of this run's own.
        # shellcheck source=wine_prefix.sh
        . "$lab_dir/wine_prefix.sh"
        new_lab_prefix "$work/prefix"
        lab_args+=(--wine-prefix "$work/prefix")
    fi
    "$lab_dir/netlab.sh" "${lab_args[@]}" -- "${BASH_SOURCE[0]}" inside "$backend" "$probe" "$work"
    exit $?
fi

# ---- Inside the lab's workstation namespace from here on.
# shellcheck source=check.sh
. "$lab_dir/check.sh"
export WINEDEBUG=-all
sim_log=$work/sim.log
zeros() { printf '%*s' $(($1 * 2)) '' | tr ' ' 0; }
discovery_hex="ab01$(zeros 610)"
# The probe's set request: marker, opcode 3, change mask 0x000a, the MAC at byte 36.
set_hex() { echo "ab03000a$(zeros 32)${1//:/}$(zeros 570)"; }

start_sim() {
    "$lab_dir/labsim.sh" start "$1" "$sim_log" || { echo "FAIL: simulator start"; exit 1; }
}

# probe NAME ARGS...: runs one exchange; NAME.out holds the probe's report and NAME.wire the
# simulator's log lines of this exchange (sender, length, bytes).
probe() {
    local name=$1 before
    shift
    before=$(wc -l <"$sim_log")
    if [ "$backend" = wine ]; then
        wine "$probe" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null
    else
        "$probe" "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null
    fi
    check "$name: probe exit code" 0 $?
    tr -d '\r' <"$work/$name.out" >"$work/$name.tmp" && mv "$work/$name.tmp" "$work/$name.out"
    tail -n +$((before + 1)) "$sim_log" | awk '{print $2, $3, $4}' >"$work/$name.wire"
}

# The report without digests: index, length, marker, opcode, MAC.
report() { awk '$1 == "reply" {print $2, $3, $4, $5, $6; next} {print}' "$work/$1.out"; }

# wire_check NAME COUNT SENDER HEX: COUNT identical requests from SENDER, all equal to HEX.
wire_check() {
    check "$1: requests on the wire" "$2" "$(wc -l <"$work/$1.wire")"
    check "$1: each one from $3, 612 bytes, as built" "" \
        "$(awk -v from="$3:" -v hex="$4" 'index($1, from) != 1 || $2 != 612 || $3 != hex' \
            "$work/$1.wire" | cut -c1-80)"
}

# ---- Discovery: arrival order, whole records handed over whatever they hold, short ones dropped.
cat >"$work/discovery.scn" <<'EOF'
# Answers 300 ms late, so it arrives last in every window although it is listed first.
device
  mac 02:00:5e:20:00:00
  delay 300
device
  mac 02:00:5e:20:00:01
# Answers by broadcast with the other marker.
device
  mac 02:00:5e:20:00:02
  marker 0xAC
  reply broadcast
# 611 and 0 bytes (dropped), a wrong marker and a wrong opcode (handed over), then its answer.
device
  mac 02:00:5e:20:00:03
  strays short empty marker=0x00 opcode=4 answer
EOF
window="612 ab 02 02-00-5e-20-00-01
612 ac 02 02-00-5e-20-00-02
612 00 02 02-00-5e-20-00-03
612 ab 04 02-00-5e-20-00-03
612 ab 02 02-00-5e-20-00-03
612 ab 02 02-00-5e-20-00-00"
expected=$(for k in 1 2 3; do echo "$window"; done | awk '{print NR, $0}')
start_sim "$work/discovery.scn"

probe bound --bind 198.18.0.1 --mode discover --align
check "bound: replies in arrival order, three windows" "$expected
result Completed" "$(report bound)"
wire_check bound 3 198.18.0.1 "$discovery_hex"

# The second address of the interface: unicast replies to it arrive. The native back-end sends
# from it, as Windows does; Wine binds such a socket to the whole interface underneath, so its
# datagrams leave from the interface's first address.
probe second --bind 198.18.0.2 --mode discover --align
check "second address: replies" "$expected
result Completed" "$(report second)"
if [ "$backend" = native ]; then
    wire_check second 3 198.18.0.2 "$discovery_hex"
else
    wire_check second 3 198.18.0.1 "$discovery_hex"
fi

probe any --bind '' --mode discover --align
check "empty address text: replies" "$expected
result Completed" "$(report any)"
wire_check any 3 198.18.0.1 "$discovery_hex"

probe hostname --bind lab-host --mode discover
check "host name text: not started" "result NotStarted" "$(report hostname)"
check "host name text: nothing on the wire" 0 "$(wc -l <"$work/hostname.wire")"
if [ "$backend" = native ]; then
    # Winsock refuses an address the workstation does not own; Wine binds it anyway.
    probe foreign --bind 198.18.0.77 --mode discover
    check "foreign address: not started" "result NotStarted" "$(report foreign)"
    check "foreign address: nothing on the wire" 0 "$(wc -l <"$work/foreign.wire")"
fi

# ---- A datagram longer than a record is dropped like any stray and receiving goes on. Both
# back-ends report it as too long (EMSGSIZE natively, WSAEMSGSIZE under Wine) once per datagram.
too_long_code=90
[ "$backend" = wine ] && too_long_code=10040
cat >"$work/toolong.scn" <<'EOF'
device
  mac 02:00:5e:20:00:01
device
  mac 02:00:5e:20:00:05
  strays long answer
EOF
start_sim "$work/toolong.scn"
probe toolong --bind 198.18.0.1 --mode discover --align
check "613 bytes: dropped, the reply after it listed, no message" "$(for k in 1 2 3; do
    printf '612 ab 02 02-00-5e-20-00-01\n612 ab 02 02-00-5e-20-00-05\n'; done |
    awk '{print NR, $0}')
receive-error $too_long_code 3
result Completed" "$(report toolong)"
wire_check toolong 3 198.18.0.1 "$discovery_hex"

# ---- Set requests.
cat >"$work/set.scn" <<'EOF'
device
  mac 02:00:5e:30:00:01
  set accept
device
  mac 02:00:5e:30:00:02
  set reject 256
device
  mac 02:00:5e:30:00:03
  set silent
device
  mac 02:00:5e:30:00:04
  set accept-then-reject 4
device
  mac 02:00:5e:30:00:05
  set accept
  strays long answer
  strays-on set
EOF
start_sim "$work/set.scn"
while read -r name mac requests expected; do
    probe "$name" --bind 198.18.0.1 --mode set --set-mac "$mac" --align
    check "$name: outcome" "${expected/TOO_LONG/$too_long_code}" "$(report "$name" | paste -sd' ')"
    wire_check "$name" "$requests" 198.18.0.1 "$(set_hex "$mac")"
done <<'EOF'
accepted 02:00:5e:30:00:01 1 copy request result Accepted
rejected 02:00:5e:30:00:02 1 copy unchanged result Rejected 256
silent 02:00:5e:30:00:03 3 copy unchanged result NoAnswer
accept-reject 02:00:5e:30:00:04 1 copy request result Rejected 4
toolong-set 02:00:5e:30:00:05 1 copy request receive-error TOO_LONG 1 result Accepted
EOF
"$lab_dir/labsim.sh" stop

finish
