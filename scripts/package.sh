#!/usr/bin/env bash
# Installs what is missing, builds in Release and makes the Debian package
# build-release/velmo_<version>_<architecture>.deb with CPack.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/deps.sh
source "$top/scripts/deps.sh"
ensure_packages $BUILD_PACKAGES dpkg-dev

build="$top/build-release"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMO_TESTS=OFF -DVELMO_BENCH=OFF
cmake --build "$build"
(cd "$build" && cpack -G DEB)
ls "$build"/velmo_*.deb
