#!/usr/bin/env bash
# Window states through the window manager: Alt+F4 does not close the editor,
# and a maximised editor minimised from the window manager counts as minimised
# (normal caption) rather than staying maximised.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
xdotool key --window "$E2E_WINDOW" alt+F4
sleep 1
kill -0 "$E2E_APP" 2>/dev/null || e2e_fail "Alt+F4 ended the program"
xdotool search --onlyvisible --name 'Tessarel' >/dev/null || e2e_fail "Alt+F4 closed the window"

xdotool key --window "$E2E_WINDOW" F3
for _ in $(seq 30); do
  [ "$(xdotool getwindowname "$E2E_WINDOW")" = "Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar" ] && break
  sleep 0.1
done
[ "$(xdotool getwindowname "$E2E_WINDOW")" = "Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar" ] ||
  e2e_fail "F3 did not maximise: caption '$(xdotool getwindowname "$E2E_WINDOW")'"
xdotool windowminimize --sync "$E2E_WINDOW"
for _ in $(seq 30); do
  [ "$(xdotool getwindowname "$E2E_WINDOW")" = "Tessarel 2.1.0" ] && break
  sleep 0.1
done
name="$(xdotool getwindowname "$E2E_WINDOW")"
[ "$name" = "Tessarel 2.1.0" ] || e2e_fail "minimised from the window manager, the caption is still '$name'"
echo "ok: Alt+F4 refused; minimise of a maximised window shows '$name'"
