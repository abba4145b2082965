#!/bin/bash
# Not a test: runs each netsonde-cli command once in the lab (two interfaces, the devices of
# scenarios/cli_two_adapters.scn, then the Change dialog's test devices) and prints every
# command line with what it wrote and its exit code, for the README's examples.
#   cli_examples.sh [CLI]      (root; default build/linux/cli/netsonde-cli; a .exe runs under Wine)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$lab_dir/../.." && pwd)

if [ "${1:-}" = inside ]; then
    # These run the program itself, which has no guard of its own: never outside the lab.
    # shellcheck source=lab_guard.sh
    . "$lab_dir/lab_guard.sh" && lab_guard || exit 97
    cli=$2 work=$3
    cd "$work" || exit 2
    # show ARGS...: the command as typed, then its standard output and error and exit code.
    show() {
        echo "\$ netsonde-cli $*"
        # Through a file: Wine's background services inherit a pipe and would hold it open.
        if [[ $cli == *.exe ]]; then
            WINEDEBUG=-all wine "$cli" "$@" >out.txt 2>&1 </dev/null
        else
            "$cli" "$@" >out.txt 2>&1 </dev/null
        fi
        local rc=$?
        tr -d '\r' <out.txt
        [ $rc = 0 ] || echo "(exit code $rc)"
        echo
    }
    sim() { "$lab_dir/labsim.sh" start "$1" "$work/sim.log" >/dev/null || exit 1; }
    sim "$lab_dir/scenarios/cli_two_adapters.scn"
    show adapters
    show adapters --json
    show scan
    show scan --format csv
    show scan --format json --save first.json
    sim "$lab_dir/scenarios/cli_two_adapters_later.scn"
    show scan --since first.json --newest
    show scan --since first.json --format csv
    sim "$root/tests/e2e/scenarios/change_devices.scn"
    show set 02-00-5e-20-00-01 --adapter ws0 --ip 198.18.0.41 --mask 255.255.0.0 \
        --gateway 198.18.0.253 --password s3cret --dry-run
    show set 02-00-5e-20-00-01 --adapter ws0 --ip 198.18.0.41 --mask 255.255.0.0 \
        --gateway 198.18.0.253 --password s3cret
    show set 02-00-5e-20-00-03 --adapter ws0 --mask 255.255.0.0
    show set 02-00-5e-20-00-05 --adapter ws0 --name quiet
    show set 02-00-5e-20-00-01 --ip 198.18.0.42
    printf 'mac,ip,name\n02-00-5e-20-00-01,198.18.0.51,sw-core\n02-00-5e-20-00-02,198.18.0.52,\n' \
        >plan.csv
    printf '02-00-5e-20-00-03,198.18.0.300,rt-edge\n02-00-5e-20-00-01,198.18.0.53,\n' >>plan.csv
    echo "\$ cat plan.csv"
    cat plan.csv
    echo
    show apply plan.csv --adapter ws0
    printf 'mac,type,ip,mask,gateway,name\n02-00-5e-20-00-01,static,198.18.0.51,,,sw-core\n' \
        >plan.csv
    printf '02-00-5e-20-00-06,static,198.18.0.56,255.255.255.0,198.18.0.254,bridge-2\n' >>plan.csv
    printf '02-00-5e-20-00-03,,,255.255.0.0,,\n' >>plan.csv
    echo "\$ cat plan.csv"
    cat plan.csv
    echo
    show apply plan.csv --adapter ws0 --report report.csv
    echo "\$ cat report.csv"
    cat report.csv
    exit 0
fi

cli=$(cd "$(dirname "${1:-$root/build/linux/cli/netsonde-cli}")" && pwd)/$(basename "${1:-netsonde-cli}")
[ "$(id -u)" -eq 0 ] || { echo "cli_examples.sh: must run as root" >&2; exit 2; }
work=$(mktemp -d "${TMPDIR:-/tmp}/cli-examples.XXXXXX")
trap 'rm -rf "$work"' EXIT
lab_args=(--ws-ifs 2)
if [[ $cli == *.exe ]]; then
    # shellcheck source=wine_prefix.sh
    . "$lab_dir/wine_prefix.sh"
    new_lab_prefix "$work/prefix"
    lab_args+=(--wine-prefix "$work/prefix")
fi
"$lab_dir/netlab.sh" "${lab_args[@]}" -- "${BASH_SOURCE[0]}" inside "$cli" "$work"
