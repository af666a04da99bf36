# Sourced helpers: start a private Xvfb on a free display and stop it by PID.
# Never kills anything by name, so other displays on the machine are safe.

# Xvfb picks the free display itself (-displayfd) and writes its number
# once it accepts connections; no number means it did not start.
xvfb_start() {
    local fifo number=""
    fifo=$(mktemp -u /tmp/novra-xvfb.XXXXXX)
    mkfifo "$fifo" || return 1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r -t 20 number <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$number" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
        echo "xvfb: the virtual display did not start (Xvfb -displayfd gave no display number)" >&2
        xvfb_stop
        return 1
    fi
    export DISPLAY=":$number"
}

xvfb_stop() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    fi
}
