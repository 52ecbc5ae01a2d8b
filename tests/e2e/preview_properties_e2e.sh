#!/usr/bin/env bash
# Preview Background and Properties under Xvfb + openbox: a drawn icon tiled
# over the preview while the editor is minimised, the editor maximised again
# when the preview closes, and the properties of a bitmap opened with Ctrl+O.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
e2e_grid
xdotool mousemove $((GX + 5)) $((GY + 5)); sleep 0.2; xdotool click 1; sleep 0.3

xdotool key --window "$E2E_WINDOW" alt+t; sleep 0.4; xdotool key Return
preview="$(e2e_wait_window '^Preview Background$')" || e2e_fail "the preview did not appear"
sleep 1.5
read -r X Y < <(e2e_origin "$preview")
shot="$(e2e_shot preview)"
for at in "0 0" "32 0" "0 32" "160 96"; do
  read -r dx dy <<<"$at"
  read -r r g b < <(e2e_py pixel "$shot" $((X + dx)) $((Y + dy)))
  [ "$r$g$b" = "000" ] || e2e_fail "tile corner +$dx,+$dy shows $r $g $b, expected the drawn black pixel"
done
read -r r g b < <(e2e_py pixel "$shot" $((X + 1)) $((Y + 1)))
[ "$((r + g + b))" -gt 600 ] || e2e_fail "the tile's background shows $r $g $b"
xdotool search --onlyvisible --name 'Tessarel 2.1.0' >/dev/null 2>&1 && e2e_fail "the editor is still shown under the preview"

# The window manager's close (Alt+F4) on the preview.
xdotool windowactivate --sync "$preview" 2>/dev/null || true
xdotool key alt+F4
sleep 1
name="$(xdotool getwindowname "$E2E_WINDOW")"
[ "$name" = "Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar" ] || e2e_fail "after the preview the editor shows '$name'"

bmp="$E2E_WORK/green.bmp"
convert -size 32x32 xc:green -type TrueColor BMP3:"$bmp"
xdotool key --window "$E2E_WINDOW" ctrl+o
e2e_wait_window 'Vorn Tessarel - Open' >/dev/null || e2e_fail "the open dialog did not appear"
sleep 0.5
xdotool type --delay 20 "$bmp"; xdotool key Return; sleep 1
xdotool key --window "$E2E_WINDOW" alt+t; sleep 0.4; xdotool key Down Down Return
info="$(e2e_wait_window '^Vorn Tessarel$')" || e2e_fail "the properties window did not appear"
sleep 1
read -r X Y < <(e2e_origin "$info")
shot="$(e2e_shot properties)"
# The picture sits at the frame's top-left, behind the values.
read -r r g b < <(e2e_py pixel "$shot" $((X + 26)) $((Y + 34)))
[ "$r $g $b" = "0 128 0" ] || e2e_fail "the properties window shows $r $g $b where the picture should be"
echo "ok: preview tiled and left; properties shown for $bmp"
