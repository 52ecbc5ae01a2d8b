#!/usr/bin/env bash
# The real binary under Xvfb + openbox: a click on a grid cell paints it in the
# left colour (black) and leaves its neighbour alone; Ctrl+Z takes it back
# and Ctrl+Y brings it again.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
e2e_grid
cx=$((GX + 3 * 10 + 5)); cy=$((GY + 4 * 10 + 5))
e2e_click "$cx" "$cy"
# The cell and the actual-size icon (see below) are repainted after the click.
painted() { e2e_pixel_is "$cx" "$cy" "0 0 0" "$1" && e2e_pixel_is $((GX + 144 + 3)) $((GY - 73 + 4)) "0 0 0" "$1"; }
e2e_shot_until after 10 painted
after="$E2E_SHOT"
read -r r g b < <(e2e_py pixel "$after" "$cx" "$cy")
[ "$r$g$b" = "000" ] || e2e_fail "cell (3, 4) shows $r $g $b, expected black"
read -r r g b < <(e2e_py pixel "$after" $((cx + 10)) "$cy")
[ "$((r + g + b))" -gt 600 ] || e2e_fail "neighbour cell (4, 4) shows $r $g $b, expected the white background"
# The actual-size icon shows the pixel at once: Ikon's client area starts 144
# pixels right of and 73 above the grid's top-left corner.
read -r r g b < <(e2e_py pixel "$after" $((GX + 144 + 3)) $((GY - 73 + 4)))
[ "$r$g$b" = "000" ] || e2e_fail "icon pixel (3, 4) shows $r $g $b, expected black"
read -r r g b < <(e2e_py pixel "$after" $((GX + 144 + 4)) $((GY - 73 + 4)))
[ "$((r + g + b))" -gt 600 ] || e2e_fail "icon pixel (4, 4) shows $r $g $b, expected the white background"

xdotool key --window "$E2E_WINDOW" ctrl+z
e2e_shot_until undone 10 e2e_not painted
painted "$E2E_SHOT" && e2e_fail "Ctrl+Z left the cell painted"
xdotool key --window "$E2E_WINDOW" ctrl+y
e2e_shot_until redone 10 painted
painted "$E2E_SHOT" || e2e_fail "Ctrl+Y did not paint the cell again"
echo "ok: cell and icon pixel painted at $cx,$cy (grid at $GX,$GY), undone and redone"
