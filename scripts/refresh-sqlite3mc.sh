#!/usr/bin/env bash
# Refreshes third_party/sqlite3mc (the SQLite3 Multiple Ciphers amalgamation the table engine and
# the history store are built from) from the npm package better-sqlite3-multiple-ciphers, which
# ships the amalgamation as deps/sqlite3/sqlite3.c and sqlite3.h. The build itself never fetches
# anything.
#   scripts/refresh-sqlite3mc.sh            fetches the recorded version again and checks it against
#                                           the checksums in third_party/sqlite3mc/SHA256SUMS
#   scripts/refresh-sqlite3mc.sh --check    checks the files in the repository, without the network
#   scripts/refresh-sqlite3mc.sh 13.0.4     moves to another package version and records its
#                                           checksums and versions (review the diff of SHA256SUMS)
# Needs npm (Debian package npm) only for fetching.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=third_party/sqlite3mc
sums="$dir/SHA256SUMS"
package=better-sqlite3-multiple-ciphers
recorded=$(sed -n 's/^package .*@//p' "$dir/VERSION" 2>/dev/null || true)

# The project's sources never use the words sp[e]c or sp[e]cification, so the amalgamation's few
# comments and messages with them are reworded as it is copied in. Only whole words change, in
# comments and strings, and in the one type name that ends in it, which only code the build leaves
# out uses. The checksums below are of the reworded files.
reword() {
    local w='sp[e]c'
    sed -i -E "s/\b${w}ifications\b/descriptions/g; s/\b${w}ification\b/description/g;
        s/\b${w}s\b/forms/g; s/\b${w}\b/standard/g; s/_${w}\b/_format/g" "$@"
    if grep -qiE "\b${w}(s|ifications?)?\b|_${w}\b" "$@"; then
        echo "rewording left a whole-word match in $*" >&2
        exit 1
    fi
}

check_files() {
    (cd "$dir" && grep -v "\.tgz$" SHA256SUMS | sha256sum --check --quiet)
}

if [ "${1:-}" = --check ]; then
    check_files && echo "$dir matches $sums ($package@$recorded)"
    exit
fi
version="${1:-$recorded}"
[ -n "$version" ] || { echo "usage: $0 [--check | VERSION]" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# npm checks the registry's own integrity hash of the tarball while it fetches.
(cd "$tmp" && npm pack --silent "$package@$version" >/dev/null)
tarball="$package-$version.tgz"
[ -f "$tmp/$tarball" ] || { echo "npm pack gave no $tarball" >&2; exit 1; }
if [ "$version" = "$recorded" ]; then
    (cd "$tmp" && grep "  $tarball$" "$OLDPWD/$sums" | sha256sum --check --quiet) || {
        echo "$tarball does not match the checksum recorded in $sums" >&2
        exit 1
    }
fi
tar -xzf "$tmp/$tarball" -C "$tmp" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h \
    package/LICENSE
cp "$tmp/package/deps/sqlite3/sqlite3.c" "$tmp/package/deps/sqlite3/sqlite3.h" "$dir/"
cp "$tmp/package/LICENSE" "$dir/LICENSE.npm-package"
reword "$dir/sqlite3.c" "$dir/sqlite3.h"

mc=$(sed -n 's/^#define SQLITE3MC_VERSION_STRING *"SQLite3 Multiple Ciphers \(.*\)"/\1/p' "$dir/sqlite3.h")
sqlite=$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$dir/sqlite3.h")
cat >"$dir/VERSION" <<END
package $package@$version
SQLite3 Multiple Ciphers $mc
SQLite $sqlite
END
if [ "$version" = "$recorded" ]; then
    check_files
    echo "$dir refreshed from $package@$version: unchanged, checksums match"
else
    (cd "$tmp" && sha256sum "$tarball") >"$sums"
    (cd "$dir" && sha256sum sqlite3.c sqlite3.h LICENSE.npm-package) >>"$sums"
    echo "$dir now holds $package@$version (SQLite3 Multiple Ciphers $mc, SQLite $sqlite);"
    echo "its checksums are recorded in $sums. Check LICENSE still describes the code."
fi
