#!/usr/bin/env bash
# The About window and the sibling tool under Xvfb + openbox: the clock ticks
# between two screenshots, and Ctrl+W without the sibling beside the program
# says "File not found".
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter

# About is the last menu of the bar (it has no access key); its last item is the version.
read -r MX MY < <(e2e_origin "$E2E_WINDOW")
e2e_click $((MX + 300)) $((MY + 9))
e2e_until 10 e2e_menu_open
xdotool key Up Return
about="$(e2e_wait_window '^About Vorn Tessarel$')" || e2e_fail "the About window did not appear"
read -r X Y W H < <(xwininfo -id "$about" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
  /Width:/ { w = $NF } /Height:/ { print x, y, w, $NF }')
[ "$W $H" = "348 373" ] || e2e_fail "the About window's client area is $W x $H"
clock() { convert "$1" -crop 105x17+$((X + 120))+$((Y + 328)) +repage -depth 8 rgb:- | md5sum; }
# The first screenshot once the window is painted: black background, the clock's digits drawn.
painted() {
  e2e_pixel_is $((X + 5)) $((Y + 360)) "0 0 0" "$1" &&
    [ "$(convert "$1" -crop 105x17+$((X + 120))+$((Y + 328)) -format %k info:)" -gt 1 ]
}
e2e_shot_until about1 10 painted
first="$E2E_SHOT"
ticked() { [ "$(clock "$first")" != "$(clock "$1")" ]; }
e2e_shot_until about2 2 ticked
second="$E2E_SHOT"
[ "$(clock "$first")" != "$(clock "$second")" ] || e2e_fail "the clock did not change in two seconds"
read -r r g b < <(e2e_py pixel "$first" $((X + 5)) $((Y + 360)))
[ "$r$g$b" = "000" ] || e2e_fail "the About window's background is $r $g $b, not black"
xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key alt+F4
e2e_until 10 e2e_not e2e_viewable "$about"

xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
xdotool key ctrl+w
box="$(e2e_wait_window '^Vorn Tessarel$')" || e2e_fail "no message, titled with the program's title, for the missing sibling tool"
shot="$(e2e_shot sibling)"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key Return
echo "ok: clock ticking; missing sibling reported"
