#!/usr/bin/env bash
# check-layout.sh <source> <build> <stage> <version> <app id>: builds the program as the package
# builds it (debian/rules: dpkg-buildflags' flags with its hardening options, no tests, installed
# into /usr and stripped) in <source>/build-package, stages that install into <stage>, and checks
# the desktop entry, the AppStream file, the icons, the manual page, the modules and the command
# line. The package build does not depend on how the suite itself was built, so the plain and the
# sanitizer suites share that one folder and only the first of them compiles it.
set -euo pipefail
source=$1 build=$2 stage=$3 version=$4 id=$5
package_build=$source/build-package
(
    cd "$source"
    # The flags dpkg-buildpackage gives debian/rules; its prefix map is made from this folder.
    DEB_BUILD_MAINT_OPTIONS=$(sed -n 's/^export DEB_BUILD_MAINT_OPTIONS *= *//p' debian/rules)
    export DEB_BUILD_MAINT_OPTIONS
    eval "$(dpkg-buildflags --export=sh)"
    # CMake ignores CPPFLAGS; debhelper adds them to the compiler flags the same way.
    export CXXFLAGS="$CXXFLAGS $CPPFLAGS" CFLAGS="$CFLAGS $CPPFLAGS"
    [ -f "$package_build/CMakeCache.txt" ] ||
        cmake -S . -B "$package_build" -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
            -DCMAKE_INSTALL_PREFIX=/usr \
            -DCMAKE_INSTALL_LIBDIR="lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)" >/dev/null
    CCACHE_BASEDIR=$source cmake --build "$package_build" -j2 >"$package_build/build.log" 2>&1 ||
        { tail -n 40 "$package_build/build.log" >&2; exit 1; }
)
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$package_build" --strip >/dev/null
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
# Nothing of the build tree is compiled in: a library planted there would run in the pupil's
# program. The modules need no symbol of the program's, which exports none.
for file in "$usr/bin/qorvex" "$usr"/lib/*/qorvex/*.so; do
    # Qt's string literals are UTF-16.
    ! { strings -a "$file" && strings -a -el "$file"; } | grep -F -e "$source" -e "$build" ||
        fail "$file names the build tree"
done
for module in "$usr"/lib/*/qorvex/*.so; do
    ! ldd -r "$module" 2>&1 | grep "undefined symbol" || fail "$module needs the program's symbols"
done

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
LC_ALL=zh_CN.UTF-8 "${nodisplay[@]}" "$usr/bin/qorvex" --help | grep -q "用法：" || fail "--help under zh_CN"
LC_ALL=C "${nodisplay[@]}" "$usr/bin/qorvex" --help | grep -q "^Usage:" || fail "--help under C"
if "${nodisplay[@]}" "$usr/bin/qorvex" --bogus 2>/dev/null; then fail "--bogus accepted"; fi
echo "install layout: ok"
