#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test (X-dependent ones under Xvfb).
set -euo pipefail
cd "$(dirname "$0")"
scripts/deps.sh fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 dbus-x11 openbox
scripts/build.sh
cd build
ctest --output-on-failure --timeout 600 -j2
