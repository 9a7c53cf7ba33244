#!/usr/bin/env bash
# Runs one test program on a desktop of its own: a fresh Xvfb screen with openbox as window
# manager, so windows get real frames, title bars and focus handling. The program itself starts
# fcitx5 when it needs the input method (tests/support/fcitxservice).
set -uo pipefail
work=$(mktemp -d)
stop_desktop() {
    kill "${wm:-}" "${xvfb:-}" 2>/dev/null
    wait "${wm:-}" "${xvfb:-}" 2>/dev/null
    wm= xvfb=
}
trap 'stop_desktop; rm -rf "$work"' EXIT

wait_for() {
    for _ in $(seq 200); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    return 1
}

# Xvfb picks a free display itself and writes its number once it listens, so parallel runs get
# displays of their own. Servers starting at the same moment can still trip over each other's
# sockets now and then: a desktop that does not come up is started again.
start_desktop() {
    rm -f "$work/display" && mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    read -r -t 30 number <"$work/display" || return 1
    export DISPLAY=":$number"
    wait_for xprop -root || return 1
    openbox >"$work/openbox.log" 2>&1 &
    wm=$!
    # The window manager is up once it has claimed the screen.
    wait_for sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
}

for attempt in 1 2 3; do
    start_desktop && break
    stop_desktop
    if [ "$attempt" = 3 ]; then
        echo "no desktop: Xvfb or openbox did not start" >&2
        cat "$work/xvfb.log" "$work/openbox.log" >&2 2>/dev/null
        exit 1
    fi
done
"$@"
