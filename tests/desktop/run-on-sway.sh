#!/usr/bin/env bash
# Runs one test program on a Wayland desktop of its own: sway in its headless backend, software
# rendering, no Xwayland, no input devices but the virtual keyboards of the tests. sway refuses
# to run as root, so as root only sway runs as an unprivileged user of its own, made on first
# use, in a private folder holding its config and sockets; the test and everything it starts stay
# with the caller, who may keep the build tree where no other user can read it, and reach sway
# through the sockets' absolute paths.
set -uo pipefail
user=qorvex-desktop
work=$(mktemp -d)
# sway's own folder sits where its user can reach it, whatever TMPDIR says.
desktop=$(mktemp -d -p /tmp)
sway= keyboard=
stop_desktop() {
    for pid in $keyboard $sway; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    sway= keyboard=
}
trap 'stop_desktop; rm -rf "$work" "$desktop"' EXIT

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id "$user" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
    as_user=(setpriv --reuid="$user" --regid="$user" --init-groups)
    chown "$user:" "$desktop"
fi
chmod 700 "$work" "$desktop"
mkdir -m 700 "$work/runtime" "$work/home"
printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\n' |
    "${as_user[@]}" sh -c 'cat >"$1"' sh "$desktop/config"

unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
HOME=$desktop XDG_RUNTIME_DIR=$desktop \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway -c "$desktop/config" >"$work/sway.log" 2>&1 &
sway=$!
# The clients get a runtime folder of their own: Qt wants one owned by whoever runs it.
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime

# Absolute paths: the tests give their input method a runtime folder of its own too.
for _ in $(seq 200); do
    socket=$(ls "$desktop"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    display=$(ls "$desktop"/wayland-? 2>/dev/null | head -n 1)
    if [ -n "$socket" ] && [ -n "$display" ] &&
        SWAYSOCK=$socket swaymsg -t get_version >/dev/null 2>&1; then
        break
    fi
    socket=
    sleep 0.05
done
if [ -z "$socket" ]; then
    echo "no desktop: sway did not start" >&2
    cat "$work/sway.log" >&2
    exit 1
fi
export WAYLAND_DISPLAY=$display SWAYSOCK=$socket
# A keyboard plugged in for the whole session. Without one the seat offers no keyboard, and each
# wtype of a test would add one just for its own keys, faster than a window can take it up.
wtype -s 86400000 -k Shift_L &
keyboard=$!
for _ in $(seq 100); do
    swaymsg -t get_seats | grep -q '"capabilities": [2367]' && break
    sleep 0.05
done
"$@"
