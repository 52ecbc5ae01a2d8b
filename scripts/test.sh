#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole suite headless:
#  1. a normal build, all tests (unit, window and end-to-end under Xvfb);
#  2. an AddressSanitizer + UndefinedBehaviorSanitizer build, all tests again;
#  3. a clang libFuzzer build, each fuzz target for FUZZ_SECONDS (default 60).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

runtime="$(mktemp -d)"
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime"
export QT_QPA_PLATFORM=offscreen

run_suite() {
  local dir="$1"; shift
  "$root/scripts/build.sh" "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure -j 2
}

echo "== normal build =="
run_suite "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAREL_WERROR=ON

echo "== sanitizer build =="
# strict_string_checks is left off: libxkbcommon-x11 hands strndup buffers without a terminator.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTESSAREL_WERROR=ON -DTESSAREL_SANITIZE=ON -DTESSAREL_BENCH=OFF

echo "== fuzzing =="
"$root/scripts/fuzz.sh" "${FUZZ_SECONDS:-60}"
