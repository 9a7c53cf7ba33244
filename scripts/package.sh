#!/usr/bin/env bash
# Builds the Debian package qorvex_<version>_<arch>.deb into the folder above this tree and checks
# it with lintian. Slow (a full build from scratch); not part of the test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh debhelper dpkg-dev fakeroot lintian
dpkg-buildpackage -b -us -uc
changes="../$(dpkg-parsechangelog -S Source)_$(dpkg-parsechangelog -S Version)_$(dpkg-architecture -qDEB_HOST_ARCH).changes"
echo "== lintian $changes"
lintian --display-info "$changes"
