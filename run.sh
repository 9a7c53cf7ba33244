#!/usr/bin/env bash
# Installs what is missing, builds the program and the course, and starts qorvex on this desktop.
set -euo pipefail
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); run it from a desktop session." >&2
    exit 1
fi
extra=()
# A Wubi input method for the text lessons, when no input method framework is installed.
if ! command -v fcitx5 >/dev/null && ! command -v ibus-daemon >/dev/null; then
    extra=(fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 fcitx5-frontend-gtk3 im-config)
fi
scripts/deps.sh "${extra[@]}"
scripts/build.sh
QORVEX_DRIVE="$PWD/build/drive" exec build/qorvex
