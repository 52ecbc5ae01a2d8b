#!/usr/bin/env bash
# Start-up: the binary opens on the start-up panel; a click on Enter dismisses
# it, the menus work and the colour strip is drawn; VornForm.vrn is written
# beside the binary with 24 lines.
source "$(dirname "$0")/lib.sh"
binary="$1"
settings="$(dirname "$binary")/VornForm.vrn"
rm -f "$settings"
e2e_start "$binary"

# Start-up is over once the settings file is whole and the panel is painted.
e2e_poll 10 eval '[ -f "$settings" ] && [ "$(wc -l < "$settings")" -eq 24 ]' || true
shows_logo() { e2e_py logo "$1" >/dev/null 2>&1; }
e2e_shot_until startup 10 shows_logo
first="$E2E_SHOT"
e2e_py logo "$first" >/dev/null || e2e_fail "the start-up panel with its logo is not shown"
if e2e_py grid "$first" >/dev/null 2>&1; then e2e_fail "the grid shows through the start-up panel"; fi
[ -f "$settings" ] || e2e_fail "VornForm.vrn was not written beside the binary"
lines="$(wc -l < "$settings")"
[ "$lines" -eq 24 ] || e2e_fail "VornForm.vrn has $lines lines, expected 24"
sed -n 6p "$settings" | grep -q '^"3"' || e2e_fail "a fresh settings file should hold code 3"

e2e_enter
e2e_grid
after="$(e2e_shot dismissed)"
# The spectrum's pure yellow, cyan and magenta appear nowhere else on screen.
for rgb in "255 255 0" "0 255 255" "255 0 255"; do
  e2e_py has "$after" $rgb || e2e_fail "the colour strip is not drawn (no $rgb on screen)"
done
# Alt+F4 does not close the window; File > Exit (F12) ends the program.
xdotool key --window "$E2E_WINDOW" alt+F4
e2e_until 10 e2e_idle
kill -0 "$E2E_APP" 2>/dev/null || e2e_fail "Alt+F4 closed the program"
xdotool key F12
e2e_poll 10 e2e_ended "$E2E_APP" || true
kill -0 "$E2E_APP" 2>/dev/null && e2e_fail "F12 did not end the program"
echo "ok: start-up panel, dismissal, settings file, Alt+F4 refused, F12 exits"
