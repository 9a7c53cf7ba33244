#!/usr/bin/env bash
# Runs one test program on a desktop of its own: a fresh Xvfb screen with openbox as window
# manager, so windows get real frames, title bars and focus handling. The program itself starts
# fcitx5 when it needs the input method (tests/support/fcitxservice).
set -euo pipefail
if [ -z "${QORVEX_ON_DESKTOP:-}" ]; then
    QORVEX_ON_DESKTOP=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true' EXIT
# The window manager is up once it has claimed the screen.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || { echo "openbox did not start" >&2; exit 1; }
"$@"
