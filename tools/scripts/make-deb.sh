#!/bin/sh
# Builds the release programs and packs them as a Debian package,
# build/release/quillon_VERSION_ARCH.deb, then shows what it holds and checks
# it with lintian where that is installed. Installing it needs root:
#   apt-get install ./build/release/quillon_*.deb
set -eu
cd "$(dirname "$0")/../.."
cmake --preset release >/dev/null
cmake --build build/release
rm -f build/release/quillon_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/quillon_*.deb)
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"
if command -v lintian >/dev/null; then
    lintian --info "$deb" || true
fi
echo "$deb"
