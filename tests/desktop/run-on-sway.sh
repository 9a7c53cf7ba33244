#!/usr/bin/env bash
# Runs one test program on a Wayland desktop of its own: sway in its headless backend, software
# rendering, no Xwayland, no input devices but the virtual keyboards of the tests. sway refuses
# to run as root, so as root the desktop and the test run as an unprivileged user of their own,
# made on first use; the test then keeps its files in a private folder, not the build tree.
set -uo pipefail
user=qorvex-desktop
work=$(mktemp -d)
sway= keyboard=
stop_desktop() {
    for pid in $keyboard $sway; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
    sway= keyboard=
}
trap 'stop_desktop; rm -rf "$work"' EXIT

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    id "$user" >/dev/null 2>&1 ||
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
    as_user=(setpriv --reuid="$user" --regid="$user" --init-groups)
    chown "$user:" "$work"
    if ! "${as_user[@]}" test -x "$1" -a -r "$1"; then
        echo "$user cannot run $1: the build tree must be readable by other users" >&2
        exit 1
    fi
fi
chmod 700 "$work"
run=$work/runtime
"${as_user[@]}" mkdir -m 700 "$run" "$work/home" "$work/data"
printf 'xwayland disable\noutput HEADLESS-1 resolution 1024x768\n' >"$work/config"

export HOME=$work/home XDG_RUNTIME_DIR=$run XDG_DATA_HOME=$work/data
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    "${as_user[@]}" sway -c "$work/config" >"$work/sway.log" 2>&1 &
sway=$!

# Absolute paths: the tests give their input method a runtime folder of its own.
for _ in $(seq 200); do
    socket=$(ls "$run"/sway-ipc.*.sock 2>/dev/null | head -n 1)
    display=$(ls "$run"/wayland-? 2>/dev/null | head -n 1)
    if [ -n "$socket" ] && [ -n "$display" ] &&
        SWAYSOCK=$socket "${as_user[@]}" swaymsg -t get_version >/dev/null 2>&1; then
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
"${as_user[@]}" wtype -s 86400000 -k Shift_L &
keyboard=$!
for _ in $(seq 100); do
    "${as_user[@]}" swaymsg -t get_seats | grep -q '"capabilities": [2367]' && break
    sleep 0.05
done
"${as_user[@]}" "$@"
