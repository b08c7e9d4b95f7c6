#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each one over its seed
# corpus. Fails when a target finds a crash, a leak or a broken check; the
# input that did it is left in build-fuzz/fuzz-run/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   SECONDS per target (10), all
#                                           targets when none is named
#
# A target may have extra libFuzzer flags in tests/fuzz/TARGET.options.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/deps.sh
source "$top/scripts/deps.sh"
ensure_packages $BUILD_PACKAGES $FUZZ_PACKAGES

seconds="${1:-10}"
shift || true
build="$top/build-fuzz"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVELMO_FUZZ=ON -DVELMO_TESTS=OFF -DVELMO_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" --target velmo_fuzzers

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/tests/fuzz/*_fuzzer; do targets+=("$(basename "$exe")"); done
fi

run="$build/fuzz-run"
rm -rf "$run"
mkdir -p "$run"
# The targets write every input to a file: in memory where possible.
scratch="$run/tmp"
if [ -d /dev/shm ] && [ -w /dev/shm ]; then scratch=$(mktemp -d /dev/shm/velmo-fuzz.XXXXXX); fi
mkdir -p "$scratch"
trap 'rm -rf "$scratch"' EXIT
export TMPDIR="$scratch"
export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
for t in "${targets[@]}"; do
  seeds="$top/tests/fuzz/corpus/$t"
  [ -d "$seeds" ] || { echo "fuzz: no seed corpus $seeds" >&2; exit 1; }
  extra=()
  if [ -f "$top/tests/fuzz/$t.options" ]; then read -r -a extra <"$top/tests/fuzz/$t.options"; fi
  mkdir -p "$run/$t"
  echo "fuzz: $t for ${seconds}s"
  if "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
      -artifact_prefix="$run/$t-" "${extra[@]}" "$run/$t" "$seeds" >"$run/$t.log" 2>&1; then
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$run/$t.log" | sed "s/^/  /" || true
  else
    echo "fuzz: $t FAILED; its log is $run/$t.log:" >&2
    tail -n 60 "$run/$t.log" >&2
    failed+=("$t")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: every target ran clean"
