#!/usr/bin/env bash
# The desktop picker's pointer-move benchmark where it matters, on xcb under a
# private Xvfb + openbox, and on the offscreen platform as a second row:
# bench/picker.sh [build-dir]. Budget on xcb, idle machine: 25 us CPU, 60 us wall.
set -euo pipefail
build="${1:-build}"
bench="$build/bench/tessarel_bench"
work="$(mktemp -d)"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=":$(head -n 1 "$work/display")"
openbox >/dev/null 2>&1 &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.05; done
run() {
  QT_QPA_PLATFORM="$1" "$bench" --benchmark_filter='BM_Picker(PointerMove|MoveEndingAFrame)' --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true 2>/dev/null | awk -v p="$1" '/_median/ { sub(/_median$/, "", $1); print p " " $1 ": wall " $2 " " $3 ", CPU " $4 " " $5 }'
}
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
run xcb
run offscreen
