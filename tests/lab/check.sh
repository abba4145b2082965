# Result reporting shared by the lab test scripts (sourced): check DESCRIPTION EXPECTED ACTUAL
# prints ok/FAIL and counts failures; finish prints the count and returns non-zero on any.
failures=0
check() {
    if [ "$2" = "$3" ]; then
        echo "ok: $1"
    else
        echo "FAIL: $1: expected '$2', got '$3'"
        failures=$((failures + 1))
    fi
}
finish() {
    echo "$failures failure(s)"
    [ "$failures" = 0 ]
}
