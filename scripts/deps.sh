#!/usr/bin/env bash
# Installs the Debian packages the build, the course and the tests need, when any is missing.
set -euo pipefail
packages=(
    cmake ninja-build g++ pkg-config ccache
    qt6-base-dev qt6-base-private-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    qt6-svg-dev  # make-icons paints the scalable desktop icon through Qt's SVG paint device
    qt6-charts-dev libqt6opengl6-dev  # the record window's speed chart (its CMake files need OpenGL's)
    sqlcipher  # the table format test, and for anyone inspecting the tables (README)
    libfluidsynth-dev fluid-soundfont-gm
    libimetable-dev libimecore-dev libfcitx5utils-dev  # fcitx5's frequency order of candidates, for the hints
    libxcb1-dev libxcb-keysyms1-dev libxcb-xinput-dev  # hot keys: raw key events when another program holds the key
    fonts-noto-cjk rime-data-wubi
    rime-data-pinyin-simp  # corpus frequencies: the course builder ranks characters by them, and the teaching benchmark tests the most common
    xvfb xauth xdotool x11-utils time
    desktop-file-utils appstream file  # the install test checks the menu entry, metadata, icons
    qt6-wayland  # a Wayland session gets a native window, not Xwayland
    qt6-translations-l10n  # Qt's own dialogs and buttons in Chinese (qtbase_zh_CN.qm)
    dpkg-dev binutils  # the install test builds with dpkg-buildflags' flags and reads strings
)
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
