#!/usr/bin/env bash
# Draw a rectangle, Ctrl+S, type a path into the real Qt save dialog, Enter,
# Enter again in "Icon sizes":
# the file written is the icon file its name asks for (icotool lists it) and
# decodes, with ImageMagick, to exactly the pixels drawn.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
e2e_grid

# The rectangle button sits 56 px left of and 127 px below the grid's corner.
e2e_click $((GX - 56)) $((GY + 127))
cell() { echo $((GX + $1 * 10 + 5)) $((GY + $2 * 10 + 5)); }
read -r x1 y1 < <(cell 2 2)
read -r x2 y2 < <(cell 8 6)
# Each step of the drag waits for the pointer to arrive, so the program sees the motion.
xdotool mousemove --sync "$x1" "$y1" mousedown 1
xdotool mousemove --sync $(((x1 + x2) / 2)) $(((y1 + y2) / 2))
xdotool mousemove --sync "$x2" "$y2"
xdotool mouseup 1

target="$E2E_WORK/drawn.ico"
xdotool key ctrl+s
save="$(e2e_wait_window 'Vorn Tessarel - Save')" || e2e_fail "the save dialog did not open"
e2e_until 10 e2e_active "$save" # the typing goes to the focused window
xdotool type --delay 20 "$target"
xdotool key Return
# An icon name asks for its sizes first: a new file, nothing ticked, OK as it stands.
sizes="$(e2e_wait_window 'Icon sizes')" || e2e_fail "the Icon sizes dialog did not open"
e2e_until 10 e2e_active "$sizes"
xdotool key Return
# Saved once the caption names the file (it is set after the write).
e2e_poll 10 eval '[ "$(xdotool getwindowname "$E2E_WINDOW")" = "Vorn Tessarel - $target" ]' || true
[ -s "$target" ] || e2e_fail "nothing was saved to $target"
[ "$(od -An -tx1 -N4 "$target" | tr -d ' ')" = "00000100" ] || e2e_fail "the saved file is not an icon file"
icotool -l "$target" | grep -q -- '--width=32 --height=32 --bit-depth=32' || e2e_fail "icotool does not list one 32 x 32 entry"

# Every pixel through an independent decoder: black on the outline, white elsewhere.
convert "$target" txt:- | python3 -c '
import re, sys
bad = []
for line in sys.stdin:
    m = re.match(r"(\d+),(\d+): \((\d+),(\d+),(\d+)", line)
    if not m:
        continue
    x, y, r, g, b = map(int, m.groups())
    outline = (2 <= x <= 8 and y in (2, 6)) or (2 <= y <= 6 and x in (2, 8))
    want = (0, 0, 0) if outline else (255, 255, 255)
    if (r, g, b) != want:
        bad.append((x, y, (r, g, b)))
if bad:
    sys.exit("wrong pixels: %s" % bad[:5])
' || e2e_fail "the saved pixels differ from the drawing"
title="$(xdotool getwindowname "$E2E_WINDOW")"
[ "$title" = "Vorn Tessarel - $target" ] || e2e_fail "caption is '$title'"
echo "ok: rectangle saved to $target and read back pixel-exact"
