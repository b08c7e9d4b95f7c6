#!/usr/bin/env bash
# Installs what is missing, builds in Release and starts Velmo复读机.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/deps.sh
source "$top/scripts/deps.sh"
ensure_packages $BUILD_PACKAGES $MEDIA_PACKAGES

build="$top/build-release"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMO_TESTS=OFF -DVELMO_BENCH=OFF
cmake --build "$build"
if [ -x "$top/scripts/make_demo_lesson.sh" ]; then
  "$top/scripts/make_demo_lesson.sh" "$build" || echo "The demo lesson could not be made; the library stays as it is."
fi
exec "$build/app/velmo" "$@"
