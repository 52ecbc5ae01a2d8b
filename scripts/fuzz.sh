#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for N seconds (default 60)
# on a scratch copy of its seed corpus, with the seeds make_fuzz_seeds writes
# when the normal build has it. Crash, leak, timeout and out-of-memory
# inputs are kept in fuzz-artifacts/<target>/ (not in the scratch folder, which
# is deleted); the script fails when any target found one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shopt -s nullglob
targets=("$root"/fuzz/*_fuzz.cpp)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets"
  exit 0
fi
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/fuzz-build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSAREL_FUZZ=ON -DTESSAREL_WERROR=ON
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
# The metafile target draws text on the offscreen platform, which wants a private runtime folder.
mkdir -m 700 "$scratch/runtime"
export XDG_RUNTIME_DIR="$scratch/runtime"
artifacts="$root/fuzz-artifacts"
# Seeds of every kind of file the test writers make, when the normal tree is
# built (CI builds it first); without it only the checked-in seeds are used.
generator="${TESSAREL_SEED_GENERATOR:-$root/build/tests/make_fuzz_seeds}"
generated="$scratch/generated"
if [ -x "$generator" ]; then
  QT_QPA_PLATFORM=offscreen "$generator" "$generated" || echo "make_fuzz_seeds failed; fuzzing from the checked-in seeds"
else
  echo "no $generator; fuzzing from the checked-in seeds"
fi
# One target per core at a time: each is single-threaded, so on two cores this
# halves the wall time without shortening any target's run.
jobs="$(nproc)"
run_target() {
  local name="$1" corpus="$scratch/$1" seeds="$root/fuzz/corpus/${1%_fuzz}"
  mkdir -p "$corpus" "$artifacts/$name"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  [ -d "$generated/${1%_fuzz}" ] && cp -r "$generated/${1%_fuzz}"/. "$corpus"/
  if ASAN_OPTIONS="detect_leaks=1" LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0" "$root/fuzz-build/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/$name/" "$corpus" >"$scratch/$name.log" 2>&1; then
    echo "-- $name ran ${seconds}s: $(grep -E '^(#[0-9]+[[:space:]]+DONE|Done [0-9]+ runs)' "$scratch/$name.log" | tr '\n' ' ')"
  else
    tail -n 60 "$scratch/$name.log"
    echo "!! $name failed; its input is kept in $artifacts/$name/"
    touch "$scratch/$name.failed"
    return 1
  fi
}
for src in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$(basename "$src" .cpp)" &
done
wait || true
failed=()
for src in "${targets[@]}"; do
  name="$(basename "$src" .cpp)"
  [ -e "$scratch/$name.failed" ] && failed+=("$name")
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets that failed: ${failed[*]} (inputs in $artifacts/)"
  exit 1
fi
