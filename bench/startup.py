#!/usr/bin/env python3
"""Process start to window shown, and resident memory then, for the editor and
for a bare Qt main window: `bench/startup.py build [runs]`. Runs on the
offscreen platform; prints medians and the ratios the budgets speak of."""
import os
import statistics
import subprocess
import sys
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
probe = os.path.join(build, "bench", "tessarel_startup_probe")
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")


def measure(kind):
    times, rss = [], []
    for _ in range(runs):
        start = time.perf_counter()
        out = subprocess.run([probe, kind], env=env, capture_output=True, text=True, check=True).stdout
        times.append((time.perf_counter() - start) * 1000)
        rss.append(int(out.strip().splitlines()[-1]))
    return statistics.median(times), statistics.median(rss)


bare_ms, bare_kib = measure("bare")
text_ms, text_kib = measure("bare-text")
editor_ms, editor_kib = measure("editor")
print(f"bare main window:             {bare_ms:.1f} ms, {bare_kib} KiB")
print(f"bare window with menu + text: {text_ms:.1f} ms, {text_kib} KiB")
print(f"editor:                       {editor_ms:.1f} ms, {editor_kib} KiB")
print(f"against the bare window:  start-up {editor_ms / bare_ms:.2f} (budget 1.2), memory {editor_kib / bare_kib:.2f} (budget 1.3)")
print(f"against menu + text:      start-up {editor_ms / text_ms:.2f}, memory {editor_kib / text_kib:.2f}")
