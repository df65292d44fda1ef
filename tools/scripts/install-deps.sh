#!/bin/sh
# Installs what building, running and testing Quillon needs on Debian 12,
# only when something is missing.
set -e
packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-l10n-tools desktop-file-utils appstream libxcb1-dev libxcb-xkb-dev zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev ffmpeg xvfb xauth imagemagick fonts-liberation2 fonts-dejavu-core fonts-wqy-microhei"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
fi
