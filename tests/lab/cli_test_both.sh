#!/bin/bash
# Runs the lab tests of netsonde-cli for both builds at once, each in a lab of its own: the cases
# mostly wait on one-second receive windows, so running them side by side halves the time.
# Prints each build's report in turn.
#   cli_test_both.sh NATIVE_CLI WINDOWS_CLI_EXE DEVSIM     (exit 77: both skipped)
set -uo pipefail
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
logs=$(mktemp -d "${TMPDIR:-/tmp}/lab-cli-both.XXXXXX")
trap 'rm -rf "$logs"' EXIT
"$lab_dir/cli_test.sh" native "$1" "$3" >"$logs/native" 2>&1 &
native=$!
"$lab_dir/cli_test.sh" wine "$2" "$3" >"$logs/wine" 2>&1 &
wine=$!
wait $native
native_rc=$?
wait $wine
wine_rc=$?
for build in native wine; do
    echo "== $build"
    cat "$logs/$build"
done
[ $native_rc = 77 ] && [ $wine_rc = 77 ] && exit 77
for rc in $native_rc $wine_rc; do
    [ "$rc" = 0 ] || [ "$rc" = 77 ] || exit 1
done
exit 0
