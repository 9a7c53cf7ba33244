#!/usr/bin/env bash
# Installs what is missing, builds the program and the course, and starts qorvex on this desktop.
set -euo pipefail
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); run it from a desktop session." >&2
    exit 1
fi
# A Wubi input method for the text lessons: fcitx5 with its Wubi table when no input method
# framework is installed; an installed framework gets its Wubi table (and fcitx5 its Qt 6 module).
if command -v fcitx5 >/dev/null; then
    extra=(fcitx5-chinese-addons fcitx5-frontend-qt6 libime-bin)
elif command -v ibus-daemon >/dev/null; then
    extra=(ibus-table-wubi)
else
    extra=(fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 fcitx5-frontend-gtk3 im-config libime-bin)
fi
scripts/deps.sh "${extra[@]}"
if [ -z "${QT_IM_MODULE:-}" ] && [ -z "${XMODIFIERS:-}" ]; then
    echo "run.sh: this session has no input method set up; the text lessons need Wubi." >&2
    echo "        See \"A Wubi input method for the text lessons\" in README.md." >&2
fi
scripts/build.sh
QORVEX_DRIVE="$PWD/build/drive" exec build/qorvex
