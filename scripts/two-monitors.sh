# Sourced helpers: a second private display with two monitors side by side,
# for the cases that need more than one; Xvfb gives Wine only one. Xorg with
# the dummy video driver makes one screen of two outputs, laid out with
# xrandr: DUMMY0 1024x768 at 0,0 (the primary monitor), DUMMY1 800x600 to its
# right, so Wine sees a virtual screen of 1824x768. Started and stopped by
# PID, like the display of xvfb.sh; nothing is killed by name.
#
# two_monitors_start exports NOVRA_TWO_MONITOR_DISPLAY; where Xorg cannot
# start here it returns 1 and leaves the one-line reason in
# TWO_MONITORS_REASON (also printed to standard error).

two_monitors_fail() {
    TWO_MONITORS_REASON=$1
    echo "two-monitors: $TWO_MONITORS_REASON" >&2
    two_monitors_stop
    return 1
}

# The configuration lives in a folder of the run's own; the machine's X
# setup is not changed. No input devices: nothing types or points on this
# display (Wine's SendInput goes to Wine's server, not to X).
two_monitors_write_config() {
    mkdir -p "$1/conf.d" || return 1
    cat >"$1/xorg.conf" <<'EOF'
Section "Device"
    Identifier "card"
    Driver "dummy"
    # The framebuffer holds the whole virtual screen: 2048x1024 at 32 bits
    # is 8 MiB.
    VideoRam 16384
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "card"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 1024
    EndSubSection
EndSection
EOF
    # In the configuration folder rather than the file: Xorg takes an empty
    # folder for a missing one.
    cat >"$1/conf.d/flags.conf" <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
EOF
}

# Xorg says why it stopped after "Fatal server error:"; a missing driver
# only as "no screens found", so that one is named.
two_monitors_why() {
    local dir=$1 line
    if grep -qs 'Failed to load module "dummy"' "$dir/Xorg.log"; then
        echo "Xorg has no dummy video driver here (xserver-xorg-video-dummy)"
        return
    fi
    line=$(cat "$dir/stderr" "$dir/Xorg.log" 2>/dev/null |
           sed -n -E '/Fatal server error/{n;s/^\[[^]]*\] *//;s/^\(EE\) *//;s/ *\(EE\) *$//;p;q}')
    [ -n "$line" ] || line=$(grep -v '^\s*$' "$dir/stderr" 2>/dev/null | tail -n 1)
    echo "Xorg did not start: ${line:-it gave no display number and no reason}"
}

two_monitors_start() {
    local dir fifo number="" out
    TWO_MONITORS_REASON=""
    if ! command -v Xorg >/dev/null || ! command -v xrandr >/dev/null; then
        two_monitors_fail "Xorg or xrandr is not installed (scripts/setup.sh installs them)"
        return 1
    fi
    dir=$(mktemp -d /tmp/novra-xorg.XXXXXX) || return 1
    TWO_MONITORS_DIR=$dir
    two_monitors_write_config "$dir" || { two_monitors_fail "cannot write the Xorg configuration in $dir"; return 1; }
    fifo=$dir/displayfd
    mkfifo "$fifo" || { two_monitors_fail "cannot make $fifo"; return 1; }
    # -displayfd: Xorg takes the first free display and writes its number
    # once it accepts connections. -noreset: a server that resets when its
    # last client leaves would forget the monitors' layout between tests.
    # -sharevts and -novtswitch: a server with a display of its own must
    # never switch the machine's console or take a terminal.
    Xorg -displayfd 3 -config "$dir/xorg.conf" -configdir "$dir/conf.d" \
         -logfile "$dir/Xorg.log" -noreset -nolisten tcp -sharevts -novtswitch \
         3>"$fifo" </dev/null >/dev/null 2>"$dir/stderr" &
    TWO_MONITORS_PID=$!
    read -r -t 20 number <"$fifo" || true
    if [ -z "$number" ] || ! kill -0 "$TWO_MONITORS_PID" 2>/dev/null; then
        two_monitors_fail "$(two_monitors_why "$dir")"
        return 1
    fi
    # 800x600 at 60 Hz, the standard timing; a mode of its own name, since
    # the name 800x600 may already be taken by the driver's list.
    if ! out=$(export DISPLAY=":$number"
               xrandr --output DUMMY0 --mode 1024x768 --pos 0x0 --primary 2>&1 &&
               xrandr --newmode novra_800x600 40.000 800 840 968 1056 600 601 605 628 +hsync +vsync 2>&1 &&
               xrandr --addmode DUMMY1 novra_800x600 2>&1 &&
               xrandr --output DUMMY1 --mode novra_800x600 --right-of DUMMY0 2>&1); then
        two_monitors_fail "xrandr could not lay out the two monitors: $(tail -n 1 <<<"$out")"
        return 1
    fi
    if ! DISPLAY=":$number" xrandr 2>/dev/null | grep -q 'current 1824 x 768,'; then
        two_monitors_fail "xrandr did not make a screen of 1824x768: $(DISPLAY=":$number" xrandr 2>&1 | head -n 1)"
        return 1
    fi
    export NOVRA_TWO_MONITOR_DISPLAY=":$number"
}

two_monitors_stop() {
    if [ -n "${TWO_MONITORS_PID:-}" ]; then
        kill "$TWO_MONITORS_PID" 2>/dev/null || true
        wait "$TWO_MONITORS_PID" 2>/dev/null || true
        TWO_MONITORS_PID=""
    fi
    if [ -n "${TWO_MONITORS_DIR:-}" ]; then
        rm -rf "$TWO_MONITORS_DIR"
        TWO_MONITORS_DIR=""
    fi
}
