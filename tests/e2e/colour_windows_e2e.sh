#!/usr/bin/env bash
# The colour windows driven through the main menu under Xvfb + openbox: a
# colour mixed in the RGB dialog and drawn, the same colour picked back from
# the frozen desktop and drawn again, and the composer's gradient made the
# whole icon.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
e2e_grid

origin() {
  local id
  id="$(e2e_wait_window "$1")" || e2e_fail "window '$1' did not appear"
  e2e_origin "$id"
}
click_at() { e2e_click "$1" "$2"; }
cell_rgb() { e2e_py pixel "$1" $((GX + $2 * 10 + 5)) $((GY + $3 * 10 + 5)); }
cell_is() { [ "$(cell_rgb "$4" "$1" "$2")" = "$3" ]; } # cell_is <column> <row> <rgb> <png>
menu() { # menu <key> <downs>: the main window's menu <key>, <downs> items down
  xdotool key --window "$E2E_WINDOW" "$1"
  e2e_until 10 e2e_menu_open
  for _ in $(seq "$2"); do xdotool key Down; done
  xdotool key Return
}
colours_menu() { menu alt+c "$1"; } # colours_menu <downs>: Colors > item
# Types a value into a number box of the RGB dialog (client twips / 15); the
# keys go to the focused window, so the click must have focused the dialog first.
type_number() {
  click_at $((PX + 112 + 10)) $((PY + $1 + 6))
  e2e_until 10 e2e_active "$RGB_ID"
  xdotool key ctrl+a; xdotool type --delay 50 "$2"
}

# Scroll Color: red typed as "200", green "030", blue "77", then Select.
colours_menu 2
RGB_ID="$(e2e_wait_window 'Vorn Tessarel $')" || e2e_fail "RGB dialog did not appear"
read -r PX PY < <(e2e_origin "$RGB_ID")
type_number 24 200
type_number 48 030
type_number 72 77
shot="$(e2e_shot rgb)"
click_at $((PX + 8 + 56 + 28)) $((PY + 112 + 26 + 12)) # Select
click_at $((GX + 3 * 10 + 5)) $((GY + 4 * 10 + 5))
e2e_shot_until mixed 10 cell_is 3 4 "200 30 77"
shot="$E2E_SHOT"
read -r r g b < <(cell_rgb "$shot" 3 4)
[ "$r $g $b" = "200 30 77" ] || e2e_fail "mixed colour drawn as $r $g $b, expected 200 30 77"

# Black back into the left button, so the pick has something to change.
type_number 24 0; type_number 48 0; type_number 72 0
click_at $((PX + 8 + 56 + 28)) $((PY + 112 + 26 + 12))

# Search Color: freeze the desktop, pick the painted cell, hand it over.
colours_menu 1
picker() { PICKER_ID="$(xdotool search --onlyvisible --name 'Vorn Tessarel $' | grep -vx "$RGB_ID" | head -n 1 || true)"; [ -n "$PICKER_ID" ]; }
e2e_poll 10 picker || e2e_fail "picker did not appear"
# A dialog in front of the side windows remakes their native windows (staying
# on top is dropped and restored); the swatch must follow the pointer after it.
wide() { xdotool getwindowgeometry "$1" | awk -F'[ x]+' '/Geometry/ { exit !($3 > $4) }'; } # the picker is, the RGB dialog is not
xdotool key --window "$E2E_WINDOW" ctrl+o
e2e_wait_window ' - Open...$' >/dev/null || e2e_fail "the Open dialog did not appear"
xdotool key Escape # the dialog has the focus
e2e_poll 10 eval '! xdotool search --onlyvisible --name " - Open...$" >/dev/null' || e2e_fail "the Open dialog stayed"
remade_picker() {
  local id
  for id in $(xdotool search --onlyvisible --name 'Vorn Tessarel $'); do
    wide "$id" && PICKER_ID="$id" && return 0
  done
  return 1
}
e2e_poll 10 remade_picker || e2e_fail "picker went with the dialog"
xdotool windowactivate --sync "$PICKER_ID" # the RGB dialog, at the same place, may have come back above it
read -r VX VY < <(e2e_origin "$PICKER_ID")
click_at $((VX + 80)) $((VY + 20)) # Initialize Color Search
# The picker stays in front of the still image, its read-out following the pointer.
covering() { # the window that covers the whole screen
  local id
  for id in $(xdotool search --onlyvisible --class tessarel); do
    xwininfo -id "$id" | grep -q -- "-geometry $(xdotool getdisplaygeometry | tr ' ' x)+0+0$" && echo "$id"
  done
}
e2e_settle eval '[ -n "$(covering)" ]' || e2e_fail "no still image over the desktop"
e2e_settle e2e_above "$PICKER_ID" "$(covering)" || e2e_fail "the picker is behind the still image"
reads_out() { # reads_out <cell column> <row>: the picker's swatch shows that cell's colour
  local shot
  shot="$(e2e_shot readout)"
  [ "$(cell_rgb "$shot" "$1" "$2")" = "$(e2e_py pixel "$shot" $((VX + 8 + 44)) $((VY + 40 + 12)))" ]
}
# The numbers under the swatch follow within a display frame.
numbers() { convert "$(e2e_shot numbers)" -crop 137x17+$((VX + 16))+$((VY + 70)) rgb:- | md5sum; }
shown="$(numbers)"
for cell in "6 4" "3 4"; do
  read -r c r <<<"$cell"
  xdotool mousemove $((GX + c * 10 + 5)) $((GY + r * 10 + 5))
  e2e_settle reads_out "$c" "$r" || e2e_fail "the picker's read-out does not show cell ($c, $r)"
  e2e_settle eval '[ "$(numbers)" != "$shown" ]' || e2e_fail "the read-out's numbers stayed for cell ($c, $r)"
  shown="$(numbers)"
done
click_at $((GX + 3 * 10 + 5)) $((GY + 4 * 10 + 5))
# The pick ends the search: the next clicks must reach the picker and the grid, not the still image.
e2e_settle eval '[ -z "$(covering)" ]' || e2e_fail "the still image stayed after the pick"
shot="$(e2e_shot picked)"
click_at $((VX + 104 + 32)) $((VY + 40 + 12)) # Click - Me!
click_at $((GX + 6 * 10 + 5)) $((GY + 4 * 10 + 5))
e2e_shot_until picked_drawn 10 cell_is 6 4 "200 30 77"
shot="$E2E_SHOT"
read -r r g b < <(cell_rgb "$shot" 6 4)
[ "$r $g $b" = "200 30 77" ] || e2e_fail "picked colour drawn as $r $g $b, expected 200 30 77"

# Gradient Background: the design-time blue gradient becomes the icon.
menu alt+t 1
read -r DX DY < <(origin '^Vorn Tessarel$') || e2e_fail "composer did not appear"
click_at $((DX + 8 + 64 + 32)) $((DY + 128 + 36 + 12)) # Background
e2e_shot_until gradient 10 cell_is 10 0 "0 0 255"
shot="$E2E_SHOT"
read -r r g b < <(cell_rgb "$shot" 10 0)
[ "$r $g $b" = "0 0 255" ] || e2e_fail "top of the gradient shows $r $g $b, expected 0 0 255"
read -r r2 g2 b2 < <(cell_rgb "$shot" 10 31)
{ [ "$r2$g2" = "00" ] && [ "$b2" -lt "$b" ] && [ "$b2" -gt 0 ]; } ||
  e2e_fail "bottom of the gradient shows $r2 $g2 $b2, expected a darker blue"
echo "ok: mixed, picked and gradient colours reached the grid"
