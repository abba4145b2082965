#!/bin/bash
# The sanitizer and fuzzing run: builds build/fuzz with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the native unit tests and every fuzz target's checked-in
# corpus there, then fuzzes each target for a bounded time. Any sanitizer report, broken rule or
# crash fails the run; the input that caused it is kept under build/fuzz/findings.
#   fuzz/run.sh                      # what CI runs: 11 s per target (about 90 s in all)
#   fuzz/run.sh --seconds 600 NAME   # one target (e.g. discovery_reply) for longer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
seconds=11
targets=(discovery_reply set_reply address_text adapter_items set_request scenario plan_file
    scan_document)
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        *) only+=("$1"); shift ;;
    esac
done
[ -n "${only+x}" ] && targets=("${only[@]}")

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

echo "== Sanitizer build (build/fuzz)"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DNETSONDE_SANITIZE=ON >/dev/null
cmake --build "$build" -j "${NETSONDE_JOBS:-$(nproc)}" --target netsonde_unit_tests \
    netsonde_cli_tests netsonde_commission_tests devsim_unit_tests "${targets[@]/%/_fuzz}"

echo "== Unit tests and fuzz corpora under ASan/UBSan"
tests="^(unit_tests|cli_unit_tests|commission_unit_tests|devsim_unit_tests$(printf '|fuzz_%s_corpus' "${targets[@]}"))\$"
(cd "$build" && ctest --output-on-failure -R "$tests")

echo "== Fuzzing, ${seconds} s per target"
findings="$build/findings"
mkdir -p "$findings"
for name in "${targets[@]}"; do
    # New inputs go to a scratch corpus; the checked-in one is only read.
    scratch="$build/corpus/$name"
    mkdir -p "$scratch"
    if ! "$build/fuzz/${name}_fuzz" -max_total_time="$seconds" -max_len=4096 \
            -artifact_prefix="$findings/$name-" -print_final_stats=1 \
            "$scratch" "$root/fuzz/corpus/$name" >"$build/$name.log" 2>&1; then
        tail -n 60 "$build/$name.log"
        echo "fuzz: $name found a fault; the input is in $findings/ (fix it, then add the input" \
             "to fuzz/corpus/$name)" >&2
        exit 1
    fi
    grep -E "^stat::(number_of_executed_units|new_units_added)" "$build/$name.log" | tr "\n" " " |
        sed "s/^/$name: /;s/\$/\n/"
done
# A closing line a test runner would print, for whoever reads the end of the log.
echo "fuzzing: ${#targets[@]} passed, 0 failed"
