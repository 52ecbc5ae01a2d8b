#!/usr/bin/env bash
# The quick inner loop: one incremental build of build/ and the unit and window
# tests on the offscreen platform (no end-to-end scripts, no packaging, no
# sanitizers, no fuzzing; scripts/test.sh runs all of those for CI).
# Usage: scripts/check.sh [ctest -R regex]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
[ -f "$dir/build.ninja" ] || cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$dir" -j "$(nproc)"
runtime="$(mktemp -d)"
chmod 700 "$runtime"
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" -E '^(e2e_|packaging_|soak)' ${1:+-R "$1"}
