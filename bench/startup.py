#!/usr/bin/env python3
"""Launch to window mapped, and resident memory then, for the editor against a
bare Qt main window with a menu and one widget, started alternately in one run:
`bench/startup.py [build] [pairs]`. Runs on its own Xvfb + openbox when both
are installed (the offscreen platform otherwise, as the line printed says), so
the ratios mean the same on any machine: the budget is the editor at or under
1.16x the bare window's time and 1.26x its memory."""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

build = sys.argv[1] if len(sys.argv) > 1 else "build"
pairs = int(sys.argv[2]) if len(sys.argv) > 2 else 11
probe = os.path.join(build, "bench", "tessarel_startup_probe")
runtime = tempfile.mkdtemp()
os.chmod(runtime, 0o700)
env = dict(os.environ, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=os.path.join(runtime, "config"))
servers = []


def start_display():
    """A private display with a window manager, so "mapped" is what a desktop does."""
    if not (shutil.which("Xvfb") and shutil.which("openbox")):
        env["QT_QPA_PLATFORM"] = "offscreen"
        return "offscreen (no Xvfb/openbox)"
    r, w = os.pipe()
    servers.append(subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                     "-noreset"], pass_fds=(w,), stderr=subprocess.DEVNULL))
    os.close(w)
    with os.fdopen(r) as f:
        display = ":" + f.readline().strip()
    env.update(DISPLAY=display, QT_QPA_PLATFORM="xcb")
    servers.append(subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    for _ in range(200):  # until the window manager has announced itself
        if b"window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                                          capture_output=True).stdout:
            break
        time.sleep(0.05)
    return f"xcb on Xvfb {display} + openbox"


def once(kind):
    """Launch to mapped in ms (the probe reads the same monotonic clock), and KiB."""
    start = time.monotonic_ns()
    out = subprocess.run([probe, kind], env=env, capture_output=True, text=True, check=True).stdout
    mapped, kib = out.strip().splitlines()[-1].split()
    return (int(mapped) - start) / 1e6, int(kib)


try:
    where = start_display()
    once("bare-text"), once("editor")  # warm the file cache for both
    bare, editor = [], []
    for i in range(pairs):  # alternately, so a drift in the machine's load hits both alike
        for kind in (("bare-text", "editor") if i % 2 == 0 else ("editor", "bare-text")):
            (bare if kind == "bare-text" else editor).append(once(kind))
    bare_ms, bare_kib = statistics.median(t for t, _ in bare), statistics.median(k for _, k in bare)
    editor_ms, editor_kib = statistics.median(t for t, _ in editor), statistics.median(k for _, k in editor)
    print(f"platform: {where}; {pairs} pairs")
    print(f"bare window with a menu and one widget: {bare_ms:.1f} ms, {bare_kib / 1024:.1f} MiB")
    print(f"editor:                                 {editor_ms:.1f} ms, {editor_kib / 1024:.1f} MiB")
    print(f"editor against the bare window: start-up {editor_ms / bare_ms:.2f}x (budget 1.16), "
          f"memory {editor_kib / bare_kib:.2f}x (budget 1.26)")
finally:
    for s in reversed(servers):
        s.terminate()
        s.wait()
    shutil.rmtree(runtime, ignore_errors=True)
