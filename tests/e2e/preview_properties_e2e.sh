#!/usr/bin/env bash
# Preview Background and Properties under Xvfb + openbox: a drawn icon tiled
# over the preview while the editor is minimised, the editor maximised again
# when the preview closes, and the properties of a bitmap opened with Ctrl+O.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
e2e_grid
e2e_click $((GX + 5)) $((GY + 5))
tools_menu() { # tools_menu <keys...>: Tools, then the keys in its menu
  xdotool key --window "$E2E_WINDOW" alt+t
  e2e_until 10 e2e_menu_open
  xdotool key "$@"
}
editor_shown() { xdotool search --onlyvisible --name 'Tessarel 2.1.0' >/dev/null 2>&1; }

tools_menu Return
preview="$(e2e_wait_window '^Preview Background$')" || e2e_fail "the preview did not appear"
# Settled once the tiles are painted and the editor has gone under the preview.
read -r X Y < <(e2e_origin "$preview")
tiled() { read -r X Y < <(e2e_origin "$preview"); e2e_pixel_is $((X + 160)) $((Y + 96)) "0 0 0" "$1" && ! editor_shown; }
e2e_shot_until preview 10 tiled
shot="$E2E_SHOT"
for at in "0 0" "32 0" "0 32" "160 96"; do
  read -r dx dy <<<"$at"
  read -r r g b < <(e2e_py pixel "$shot" $((X + dx)) $((Y + dy)))
  [ "$r$g$b" = "000" ] || e2e_fail "tile corner +$dx,+$dy shows $r $g $b, expected the drawn black pixel"
done
read -r r g b < <(e2e_py pixel "$shot" $((X + 1)) $((Y + 1)))
[ "$((r + g + b))" -gt 600 ] || e2e_fail "the tile's background shows $r $g $b"
editor_shown && e2e_fail "the editor is still shown under the preview"

# The window manager's close (Alt+F4) on the preview.
xdotool windowactivate --sync "$preview" 2>/dev/null || true
xdotool key alt+F4
maximised='Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar'
e2e_poll 10 eval '[ "$(xdotool getwindowname "$E2E_WINDOW")" = "$maximised" ]' || true
name="$(xdotool getwindowname "$E2E_WINDOW")"
[ "$name" = "$maximised" ] || e2e_fail "after the preview the editor shows '$name'"

bmp="$E2E_WORK/green.bmp"
convert -size 32x32 xc:green -type TrueColor BMP3:"$bmp"
xdotool key --window "$E2E_WINDOW" ctrl+o
open="$(e2e_wait_window 'Vorn Tessarel - Open')" || e2e_fail "the open dialog did not appear"
e2e_until 10 e2e_active "$open" # the typing goes to the focused window
xdotool type --delay 20 "$bmp"; xdotool key Return
e2e_until 10 e2e_not e2e_viewable "$open"
tools_menu Down Down Return
info="$(e2e_wait_window '^Vorn Tessarel$')" || e2e_fail "the properties window did not appear"
read -r X Y < <(e2e_origin "$info")
pictured() { read -r X Y < <(e2e_origin "$info"); e2e_pixel_is $((X + 26)) $((Y + 34)) "0 128 0" "$1"; }
e2e_shot_until properties 10 pictured
shot="$E2E_SHOT"
# The picture sits at the frame's top-left, behind the values.
read -r r g b < <(e2e_py pixel "$shot" $((X + 26)) $((Y + 34)))
[ "$r $g $b" = "0 128 0" ] || e2e_fail "the properties window shows $r $g $b where the picture should be"
echo "ok: preview tiled and left; properties shown for $bmp"
