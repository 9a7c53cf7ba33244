#!/usr/bin/env bash
# check-layout.sh <build> <stage> <version> <app id>: stages the install into <stage> and checks the
# desktop entry, the AppStream file, the icons, the manual page and the command line.
set -euo pipefail
build=$1 stage=$2 version=$3 id=$4
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

for file in bin/qorvex share/qorvex/mavro/111.DB share/qorvex/mavro/kzWb.DB \
    share/qorvex/mavro/wb1.db share/qorvex/mavro/main.htm share/qorvex/mavro/Sound/SOUND10.MID \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/man/man6/qorvex.6; do
    [ -f "$usr/$file" ] || fail "missing $file"
done
# The modules loaded at run time: the music output and the record window's chart.
for module in qorvex-fluidsynth.so qorvex-speedchart.so; do
    [ -n "$(find "$usr/lib" -path "*/qorvex/$module")" ] || fail "missing module $module"
done
[ -z "$(find "$usr/share/qorvex" -name .built -o -name PlayList.TXT)" ] || fail "build leftovers"

desktop-file-validate "$usr/share/applications/$id.desktop"
grep -qx "Icon=$id" "$usr/share/applications/$id.desktop" || fail "desktop entry names another icon"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml"

for size in 16 24 32 48 64 128 256; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/$id.png
    file "$png" | grep -q "PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done
svg=$usr/share/icons/hicolor/scalable/apps/$id.svg
file "$svg" | grep -q "SVG Scalable Vector Graphics image" || fail "$svg: $(file -b "$svg")"
# The glyph is an outline: the icon must not depend on a font where it is shown.
! grep -q "<text" "$svg" || fail "$svg holds text"
grep -q '^\.TH QORVEX 6 ' "$usr/share/man/man6/qorvex.6" || fail "manual page heading"

# The command line answers on a terminal without a display.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
answer=$("${nodisplay[@]}" "$usr/bin/qorvex" --version)  # set -e: exits 0
[ "$answer" = "qorvex $version" ] || fail "--version printed: $answer"
"${nodisplay[@]}" "$usr/bin/qorvex" --help | grep -q -- "--version" || fail "--help"
if "${nodisplay[@]}" "$usr/bin/qorvex" --bogus 2>/dev/null; then fail "--bogus accepted"; fi
echo "install layout: ok"
