#!/bin/bash
# Lab test of the Wireshark dissector (tools/wireshark/netsonde.lua): captures a scan, an accepted
# and a refused set request on the lab's segment, then has tshark decode the capture with the
# dissector and checks every field it shows, the masks' bits by name and the hidden password.
#   dissector_test.sh EXCHANGE_PROBE DEVSIM      (exit 77: skipped)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
lua=$lab_dir/../../tools/wireshark/netsonde.lua

if [ "${1:-}" != inside ]; then
    [ "$(id -u)" -eq 0 ] || { echo "dissector_test: needs root; skipped"; exit 77; }
    command -v tshark >/dev/null || { echo "dissector_test: no tshark; skipped"; exit 77; }
    work=$(mktemp -d "${TMPDIR:-/tmp}/lab-dissector.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    cat >"$work/seg.scn" <<'EOF'
device
  name core-sw
  mac 02:00:5e:00:00:01
  ip 198.18.0.10
  mask 255.255.255.0
  gateway 198.18.0.254
  tftp 198.18.0.5
  image core.bin
  description Core switch v2.1
  password s3cret
  uptime 8640123
  type static
  reserved 12ab
device
  name edge
  mac 02:00:5e:00:00:02
  ip 198.18.0.11
  description Edge unit \xe9t\xe9
  type dynamic
  marker 0xAC
  set reject 256
  strays short answer
EOF
    "$lab_dir/netlab.sh" --devsim "$2" --scenario "$work/seg.scn" -- \
        "${BASH_SOURCE[0]}" inside "$1" "$work"
    exit $?
fi

# ---- Inside the lab's workstation namespace from here on.
probe=$2 work=$3
# shellcheck source=check.sh
. "$lab_dir/check.sh"
cap=$work/lab.pcapng

dumpcap -q -i ws0 -f "udp port 2719" -w "$cap" 2>"$work/dumpcap.err" &
dumpcap_pid=$!
for _ in $(seq 200); do
    grep -q "Capturing on" "$work/dumpcap.err" && break
    sleep 0.05
done
run() { "$probe" --bind 198.18.0.1 "$@" >>"$work/probe.out" 2>&1 </dev/null; }
run --mode discover
run --mode set --set-mac 02:00:5e:00:00:01 --set-mask 0x07cf --set-name renamed
run --mode set --set-mac 02:00:5e:00:00:02 --set-mask 0x0100
sleep 0.3
kill -INT $dumpcap_pid
wait $dumpcap_pid

decode() { tshark -r "$cap" -X lua_script:"$lua" "$@" 2>"$work/tshark.err"; }
fields=(netsonde.marker netsonde.opcode netsonde.mac netsonde.reserved netsonde.ip netsonde.name
        netsonde.uptime netsonde.uptime.text netsonde.description netsonde.tftp netsonde.image
        netsonde.mask netsonde.gateway netsonde.ip_type netsonde.password)
args=(-Y netsonde.opcode -T fields -E separator='|')
for field in "${fields[@]}"; do args+=(-e "$field"); done

# Each kind of datagram once, in order of first appearance (a scan repeats its request and
# every reply three times).
decode "${args[@]}" | awk '!seen[$0]++' >"$work/records"
check "every datagram and field decoded" \
"0xab|1|00:00:00:00:00:00|0000|0.0.0.0||0|0 d 0 h 0 m 0 s||0.0.0.0||0.0.0.0|0.0.0.0|0|<hidden>
0xab|2|02:00:5e:00:00:01|12ab|198.18.0.10|core-sw|8640123|1 d 0 h 0 m 1 s|Core switch v2.1|198.18.0.5|core.bin|255.255.255.0|198.18.0.254|1|<hidden>
0xac|2|02:00:5e:00:00:02|0000|198.18.0.11|edge|0|0 d 0 h 0 m 0 s|Edge unit été|0.0.0.0||0.0.0.0|0.0.0.0|2|<hidden>
0xab|3|02:00:5e:00:00:01|0000|0.0.0.0|renamed|0|0 d 0 h 0 m 0 s||0.0.0.0||0.0.0.0|0.0.0.0|0|<hidden>
0xab|4|02:00:5e:00:00:01|0000|0.0.0.0|renamed|0|0 d 0 h 0 m 0 s||0.0.0.0||0.0.0.0|0.0.0.0|0|<hidden>
0xab|3|02:00:5e:00:00:02|0000|0.0.0.0||0|0 d 0 h 0 m 0 s||0.0.0.0||0.0.0.0|0.0.0.0|0|<hidden>
0xac|5|02:00:5e:00:00:02|0000|198.18.0.11|edge|0|0 d 0 h 0 m 0 s|Edge unit été|0.0.0.0||0.0.0.0|0.0.0.0|2|<hidden>" \
    "$(cat "$work/records")"
check "a datagram of 611 bytes is no record" "Not a record (611 bytes)" \
    "$(decode -Y 'netsonde && !netsonde.opcode' -T fields -e _ws.col.Info | sort -u)"
check "decoding raised no Lua error" "" "$(grep -i "lua\|error" "$work/tshark.err")"

# The masks, bit by bit by name: a ChangeMask of 0x07cf and a refusal of the subnet mask.
bits() {
    decode -Y "netsonde.opcode == $1" -T fields -e "$2" \
        $(for b in password unknown1 ip_address unknown3 system_name unknown5 tftp_server \
                image_file_name subnet_mask gateway ip_address_type; do echo "-e $2.$b"; done) |
        sort -u | tr '\t' ' '
}
check "ChangeMask 0x07cf by bit" "0x07cf 1 1 1 1 0 0 1 1 1 1 1" \
    "$(bits 3 netsonde.change_mask | grep 0x07cf)"
check "ErrorMask of a refusal by bit" \
    "0x0100 0 0 0 0 0 0 0 0 1 0 0" \
    "$(bits 5 netsonde.error_mask)"
check "a refusal names the field" "subnet mask" \
    "$(decode -Y 'netsonde.opcode == 5' -T fields -e netsonde.error_mask.name | sort -u)"
check "the summary line of a refusal" \
    "Set refused: subnet mask (ErrorMask=0x0100) 02-00-5e-00-00-02 198.18.0.11 edge" \
    "$(decode -Y 'netsonde.opcode == 5' -T fields -e _ws.col.Info | sort -u)"

# The password appears nowhere in the full decode unless the preference asks for it.
check "the password is hidden in the full decode" 0 "$(decode -V | grep -c s3cret)"
check "the preference shows it" "s3cret" \
    "$(decode -o netsonde.show_password:TRUE -Y 'netsonde.opcode == 2' -T fields \
        -e netsonde.password | sort -u | grep s3cret)"
check "whether the password is empty is shown" 0 \
    "$(decode -Y 'netsonde.opcode == 2 && netsonde.ip == 198.18.0.10' -T fields \
        -e netsonde.password.empty | sort -u)"
finish
