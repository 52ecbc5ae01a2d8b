#!/usr/bin/env bash
# A three-size icon opened at start, saved over itself: the real "Icon sizes"
# dialog comes up in front of the tool window with the file's sizes ticked;
# unticking 16 and ticking 64 with the keyboard and pressing Enter leaves a
# file icotool lists as the 32 x 32 (palette kept), the 48 x 48 untouched and
# a new 64 x 64, with the transparent corner still transparent.
source "$(dirname "$0")/lib.sh"
icon="$E2E_WORK/three.ico"
convert -size 16x16 xc:'#0000c8' PNG32:"$E2E_WORK/a16.png"
convert -size 32x32 xc:'#c80000' -alpha set -region 8x8+0+0 -alpha transparent PNG32:"$E2E_WORK/a32.png"
convert -size 48x48 xc:'#00c800' PNG32:"$E2E_WORK/a48.png"
icotool -c -o "$icon" "$E2E_WORK/a16.png" "$E2E_WORK/a32.png" "$E2E_WORK/a48.png"
cp "$icon" "$E2E_WORK/before.ico"
before="$(icotool -l "$icon")"
echo "before: $before"
e2e_start "$1" "$icon"
e2e_enter

# The tool window, always on top, must not cover the dialog.
xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
xdotool key --delay 60 alt+g Down Down Down Return
e2e_wait_window '^Vorn Tessarel *$' >/dev/null || e2e_fail "the tool window did not show"

xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
xdotool key ctrl+s
save="$(e2e_wait_window 'Vorn Tessarel - Save')" || e2e_fail "the save dialog did not open"
e2e_until 10 e2e_active "$save"
xdotool type --delay 20 "$icon"
xdotool key Return
# The file exists: Qt's dialog asks before replacing it, and "y" answers Yes.
asking() { local a; a="$(xdotool getactivewindow 2>/dev/null)" && [ "$a" != "$save" ] && [ "$(xdotool getwindowname "$a")" != "Icon sizes" ]; }
e2e_poll 10 asking || e2e_fail "no question before replacing the file"
xdotool key y
sizes="$(e2e_wait_window 'Icon sizes')" || e2e_fail "the Icon sizes dialog did not open"
e2e_until 10 e2e_active "$sizes"
shot="$(e2e_shot icon_sizes)"
[ -z "${E2E_KEEP:-}" ] || echo "screenshot: $shot"
# (Stepping back re-creates the tool window's native window: look it up again.)
tools="$(e2e_wait_window '^Vorn Tessarel *$')" || e2e_fail "the tool window went"
e2e_settle e2e_above "$sizes" "$tools" || e2e_fail "the Icon sizes dialog is behind the tool window"
# Focus starts on 16: untick it, Tab past 24 (the picture's own 32 is fixed) to 48, then 64, tick it.
xdotool key --delay 80 space Tab Tab Tab space
e2e_until 5 e2e_idle
xdotool key Return
e2e_poll 10 eval '[ "$(xdotool getwindowname "$E2E_WINDOW")" = "Vorn Tessarel - $icon" ]' || true
after="$(icotool -l "$icon")"
echo "after: $after"
[ "$(wc -l <<<"$after")" = 3 ] || e2e_fail "the file does not hold three images"
grep -q -- '--index=1 --width=32 --height=32 --bit-depth=1 ' <<<"$after" || e2e_fail "the 32 x 32 lost its palette"
grep -q -- '--index=2 --width=48 --height=48' <<<"$after" || e2e_fail "the 48 x 48 is not kept"
grep -q -- '--index=3 --width=64 --height=64 --bit-depth=32' <<<"$after" || e2e_fail "no new 64 x 64"
# The 48 x 48 is the old one; the corner is transparent at 32 and 64.
cmp -s <(convert "$E2E_WORK/before.ico[2]" rgba:-) <(convert "$icon[1]" rgba:-) || e2e_fail "the 48 x 48 changed"
[ "$(convert "$icon[0]" -format '%[fx:p{1,1}.a]' info:)" = 0 ] || e2e_fail "the 32 x 32 corner is not transparent"
[ "$(convert "$icon[2]" -format '%[fx:p{3,3}.a]' info:)" = 0 ] || e2e_fail "the 64 x 64 corner is not transparent"
[ "$(convert "$icon[2]" -format '%[fx:p{40,40}.a]' info:)" = 1 ] || e2e_fail "the 64 x 64 is not opaque inside"
echo "ok: Icon sizes dialog in front; file now: $(tr '\n' ';' <<<"$after")"
