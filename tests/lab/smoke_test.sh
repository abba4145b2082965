#!/bin/bash
# Lab smoke test: builds a lab, plays a small scenario and broadcasts a discovery request from
# the workstation side with labprobe; checks the replies that arrive (count, and the exact bytes
# of one, built here independently of the simulator), a set request and its effect, the
# simulator's log of the requests, a simulator restart with another scenario, and the
# two-interface, two-address layout.
#   smoke_test.sh DEVSIM LABPROBE        (exit 77: skipped, not root)
set -uo pipefail
devsim=$1
probe=$2
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[ "$(id -u)" -eq 0 ] || { echo "smoke_test: needs root; skipped"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/lab-smoke.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=check.sh
. "$lab_dir/check.sh"

# Hex of a text field: the text, then zeros to the field's size.
text_hex() {
    local hex
    hex=$(printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n')
    printf '%s' "$hex"
    printf '%*s' $(( $2 * 2 - ${#hex} )) '' | tr ' ' 0
}
zeros() { printf '%*s' $(( $1 * 2 )) '' | tr ' ' 0; }

cat >"$work/three.scn" <<'EOF'
# One plain device, one that never answers, one with a full-width name and two strays.
device
  name lab-one
  mac 02:00:5e:10:00:01
  reserved 12ab
  ip 198.18.0.10
  mask 255.255.255.0
  gateway 198.18.0.254
  tftp 198.18.0.5
  image boot.img
  password secret
  description Lab switch A
  uptime 256
  type static
  marker 0xAC
  reply broadcast
device
  mac 02:00:5e:10:00:02
  discovery never
device
  mac 02:00:5e:10:00:03
  unterminated name ABCDEFGHIJKLMNOPQRSTUVWXYZ012345
  strays short empty
EOF
expected_a="ac020000$(text_hex secret 32)02005e10000112abc612000a$(text_hex lab-one 32)"
expected_a+="00000100$(text_hex 'Lab switch A' 256)c6120005$(text_hex boot.img 256)"
expected_a+="ffffff00c61200fe01000000"
check "expected record is 612 bytes" 1224 ${#expected_a}

printf 'device\n  mac 02:00:5e:10:00:09\n  discovery never\n' >"$work/silent.scn"

# A set request for device A renaming it (ChangeMask 0x0010), as the program builds one from the
# stored record: device A accepts it, and answers the next discovery with the new record.
set_hex="ab030010${expected_a:8:88}$(text_hex renamed 32)${expected_a:160}"
printf '%s\n' "$set_hex" >"$work/set.hex"

# The workstation side: probe, restart the simulator with the silent scenario, probe again.
cat >"$work/inside.sh" <<EOF
#!/bin/bash
"$probe" --wait 500 --dump "$work/probe1.txt" >"$work/probe1.out" || exit 1
"$probe" --wait 300 --request "$work/set.hex" --dump "$work/set.txt" >/dev/null || exit 1
"$probe" --wait 300 --dump "$work/after.txt" >/dev/null || exit 1
"\$NETSONDE_LAB_DIR/labsim.sh" start "$work/silent.scn" "$work/sim2.log" || exit 1
timeout 5 ip netns exec "\$NETSONDE_LAB_DEV_NS" "\$NETSONDE_DEVSIM" "$work/silent.scn" >/dev/null 2>&1
echo \$? >"$work/second.txt"
"$probe" --wait 300 >"$work/probe2.out" || exit 1
"\$NETSONDE_LAB_DIR/labsim.sh" stop
grep -c '^devsim: stopped' "\$NETSONDE_LAB_STATE/devsim.out" >"$work/stopped.txt"
echo "\$NETSONDE_LAB_WS_IFS|\$NETSONDE_LAB_WS_ADDRS|\$NETSONDE_LAB_DEV_ADDR" >"$work/env.txt"
echo "\$NETSONDE_LAB_NS \$NETSONDE_LAB_DEV_NS \$NETSONDE_LAB_STATE" >"$work/names.txt"
EOF
chmod +x "$work/inside.sh"
"$lab_dir/netlab.sh" --devsim "$devsim" --scenario "$work/three.scn" --sim-log "$work/sim1.log" \
    -- "$work/inside.sh"
check "lab command exit code" 0 $?

check "probe figures" "datagrams=4 replies=2 macs=2" \
    "$(grep -o 'datagrams=[0-9]* replies=[0-9]* macs=[0-9]*' "$work/probe1.out")"
check "device A's reply, byte for byte, from the device namespace" \
    "198.18.0.254:2719 612 $expected_a" \
    "$(awk -v want="$expected_a" '$4 == want {print $2, $3, $4}' "$work/probe1.txt")"
check "stray lengths, in order" "611 0 612" \
    "$(awk '$3 != 612 || substr($4, 73, 12) == "02005e100003" {print $3}' "$work/probe1.txt" |
       tr '\n' ' ' | sed 's/ $//')"
check "set request accepted by device A alone" "612 ac04${set_hex:4}" \
    "$(awk '{print $3, $4}' "$work/set.txt")"
check "next discovery shows the change" "ac02${set_hex:4}" \
    "$(awk '$3 == 612 && substr($4, 73, 12) == "02005e100001" {print $4}' "$work/after.txt")"
check "simulator saw the three requests" 3 "$(wc -l <"$work/sim1.log")"
check "simulator's log of the discovery request" "198.18.0.1 612 ab01$(zeros 610)" \
    "$(head -1 "$work/sim1.log" | awk '{split($2, a, ":"); print a[1], $3, $4}')"
check "simulator's log of the set request" "612 $set_hex" \
    "$(sed -n 2p "$work/sim1.log" | awk '{print $3, $4}')"
check "log time format" 3 \
    "$(grep -cE '^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}Z ' "$work/sim1.log")"
check "restarted simulator plays the new scenario" "datagrams=0" \
    "$(grep -o 'datagrams=[0-9]*' "$work/probe2.out")"
check "restarted simulator logged the request" 1 "$(wc -l <"$work/sim2.log")"
check "a second simulator on the port fails" 1 "$(cat "$work/second.txt")"
check "simulator stopped cleanly on SIGTERM" 1 "$(cat "$work/stopped.txt")"
check "lab environment" "ws0|198.18.0.1|198.18.0.254" "$(cat "$work/env.txt")"

# Two interfaces with two addresses each: a probe bound to ws1's second address is heard on
# dev1 and answered there (unicast: a native socket bound to an address gets no broadcasts).
# The lab runs with its standard input closed, as CI may start it.
printf 'device\n  mac 02:00:5e:10:00:01\n' >"$work/one.scn"
"$lab_dir/netlab.sh" --devsim "$devsim" --ws-ifs 2 --addrs 2 --scenario "$work/one.scn" \
    --sim-log "$work/sim3.log" -- bash -c "
        echo \"\$NETSONDE_LAB_WS_IFS|\$NETSONDE_LAB_WS_ADDRS\" >'$work/env2.txt'
        '$probe' --bind 198.18.1.2 --wait 300 >'$work/probe3.out'" <&-
check "two-interface lab, run without a standard input: exit code" 0 $?
check "two-interface environment" "ws0 ws1|198.18.0.1 198.18.0.2 198.18.1.1 198.18.1.2" \
    "$(cat "$work/env2.txt")"
check "reply through the second interface" "datagrams=1" \
    "$(grep -o 'datagrams=[0-9]*' "$work/probe3.out")"
check "request from the second interface's second address" "198.18.1.2" \
    "$(awk '{split($2, a, ":"); print a[1]}' "$work/sim3.log")"

read -r ns_ws ns_dev lab_state <"$work/names.txt"
check "namespaces and state removed at the end" "no no no" \
    "$([ -e "/run/netns/$ns_ws" ] && echo yes || echo no) \
$([ -e "/run/netns/$ns_dev" ] && echo yes || echo no) $([ -e "$lab_state" ] && echo yes || echo no)"
finish
