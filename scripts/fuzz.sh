#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for N seconds (default 60)
# on a scratch copy of its seed corpus.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shopt -s nullglob
targets=("$root"/fuzz/*_fuzz.cpp)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets"
  exit 0
fi
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/fuzz-build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAREL_FUZZ=ON
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
for src in "${targets[@]}"; do
  name="$(basename "$src" .cpp)"
  corpus="$scratch/$name"
  mkdir -p "$corpus"
  seeds="$root/fuzz/corpus/${name%_fuzz}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  echo "-- $name for ${seconds}s"
  ASAN_OPTIONS="detect_leaks=0" "$root/fuzz-build/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$scratch/" "$corpus"
done
