# Sourced by the end-to-end runner and the demo: a private virtual display, and the teardown of
# what a run leaves behind (the lab's runner, the prefix's wineserver, the display).
# Callers set $work (a scratch folder) and keep $child (the lab's runner) and $xvfb_pid current.

# Starts Xvfb and exports DISPLAY. Xvfb writes the display number and then a newline to the
# file; reading before the newline would kill it, so wait for the newline.
start_virtual_display() {
    local who=$1
    # NETSONDE_E2E_SCREEN: a larger screen for windows drawn at a high DPI.
    Xvfb -displayfd 9 -nolisten tcp -screen 0 "${NETSONDE_E2E_SCREEN:-1280x800}x24" \
        9>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ "$(tail -c 1 "$work/display" 2>/dev/null | od -An -c | tr -d ' ')" = '\n' ] && break
        if ! kill -0 "$xvfb_pid" 2>/dev/null; then
            echo "$who: Xvfb failed" >&2
            cat "$work/xvfb.log" >&2
            exit 1
        fi
        sleep 0.1
    done
    export DISPLAY=":$(tr -d '\n' <"$work/display")"
}

# Stops the lab's runner (it tears the lab down itself on TERM), the prefix's wineserver (the lab
# kills the one it started; this catches any other) and the display.
stop_session_processes() {
    if [ -n "${child:-}" ] && kill -0 "$child" 2>/dev/null; then
        kill -TERM "$child" 2>/dev/null || true
        wait "$child" 2>/dev/null || true
    fi
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${xvfb_pid:-}" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
