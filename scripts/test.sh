#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test with ctest, with a private
# PulseAudio server playing into a virtual output device. Then builds the
# fuzz targets with clang and runs each for 10 seconds over its seed corpus
# (scripts/fuzz.sh), so that a crash found once stays found.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/deps.sh
source "$top/scripts/deps.sh"
ensure_packages $BUILD_PACKAGES $TEST_PACKAGES $MEDIA_PACKAGES

build="$top/build-test"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMO_SANITIZE=ON -DVELMO_BENCH=OFF
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=0"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

sound_started=0
if [ -x "$top/scripts/virtual_sound.sh" ]; then
  if env_lines=$("$top/scripts/virtual_sound.sh" start "$build/pulse"); then
    eval "$env_lines"
    sound_started=1
  else
    echo "No virtual sound device: audio tests play through the null output."
  fi
fi
stop_sound() {
  if [ "$sound_started" = 1 ]; then "$top/scripts/virtual_sound.sh" stop "$build/pulse" || true; fi
}
trap stop_sound EXIT

ctest --test-dir "$build" --output-on-failure --timeout 600

bash "$top/scripts/fuzz.sh" 10
