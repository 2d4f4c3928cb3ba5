#!/bin/bash
# Runs a command inside a desktop of its own, as people run the program:
#   x11      an X server (Xvfb) with a window manager (openbox)
#   wayland  a Wayland compositor (weston, headless), without X
#
#   desktop-session.sh x11|wayland COMMAND [ARG...]
set -euo pipefail
kind=$1
shift
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# Polls a condition for up to 20 s.
wait_for() {
    for _ in $(seq 200); do
        if eval "$1"; then return 0; fi
        sleep 0.1
    done
    echo "desktop-session: gave up waiting for: $1" >&2
    return 1
}

case "$kind" in
x11)
    # The server picks a free display and tells its number on fd 3.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_for '[ -s "$work/display" ]'
    export DISPLAY=":$(head -1 "$work/display")"
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    openbox --sm-disable >"$work/wm.log" 2>&1 &
    pids+=($!)
    wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
    ;;
wayland)
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=headless-backend.so --socket=pesavo-test --idle-time=0 >"$work/weston.log" 2>&1 &
    pids+=($!)
    wait_for '[ -S "$XDG_RUNTIME_DIR/pesavo-test" ]'
    export WAYLAND_DISPLAY=pesavo-test QT_QPA_PLATFORM=wayland
    # Qt's Wayland plugin loads the graphics driver and unloads it at exit; what the driver kept can then be
    # told from no library of ours or theirs. The X11 journeys look for leaks in the same code.
    [ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:detect_leaks=0"
    unset DISPLAY
    ;;
*)
    echo "usage: $0 x11|wayland COMMAND [ARG...]" >&2
    exit 2
    ;;
esac

status=0
"$@" || status=$?
if [ $status -ne 0 ]; then
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "== $(basename "$log")"; tail -20 "$log"; }
    done
fi
exit $status
