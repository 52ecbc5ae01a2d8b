#!/usr/bin/env bash
# The About window and the sibling tool under Xvfb + openbox: the clock ticks
# between two screenshots, and Ctrl+W without the sibling beside the program
# says "File not found".
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter

# About is the last menu of the bar (it has no access key); its last item is the version.
read -r MX MY < <(e2e_origin "$E2E_WINDOW")
xdotool mousemove $((MX + 300)) $((MY + 9)); sleep 0.2; xdotool click 1; sleep 0.4
xdotool key Up Return
about="$(e2e_wait_window '^About Vorn Tessarel$')" || e2e_fail "the About window did not appear"
read -r X Y W H < <(xwininfo -id "$about" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
  /Width:/ { w = $NF } /Height:/ { print x, y, w, $NF }')
[ "$W $H" = "348 373" ] || e2e_fail "the About window's client area is $W x $H"
clock() { convert "$1" -crop 105x17+$((X + 120))+$((Y + 328)) +repage -depth 8 rgb:- | md5sum; }
sleep 1.2
first="$(e2e_shot about1)"
sleep 2
second="$(e2e_shot about2)"
[ "$(clock "$first")" != "$(clock "$second")" ] || e2e_fail "the clock did not change in two seconds"
read -r r g b < <(e2e_py pixel "$first" $((X + 5)) $((Y + 360)))
[ "$r$g$b" = "000" ] || e2e_fail "the About window's background is $r $g $b, not black"
xdotool windowactivate --sync "$about" 2>/dev/null || true
xdotool key alt+F4; sleep 0.5

xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
xdotool key ctrl+w
box="$(e2e_wait_window '^Vorn Tessarel$')" || e2e_fail "no message, titled with the program's title, for the missing sibling tool"
shot="$(e2e_shot sibling)"
xdotool windowactivate --sync "$box" 2>/dev/null || true
xdotool key Return
echo "ok: clock ticking; missing sibling reported"
