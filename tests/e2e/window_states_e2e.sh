#!/usr/bin/env bash
# Window states through the window manager: Alt+F4 does not close the editor,
# and a maximised editor minimised from the window manager counts as minimised
# (normal caption) rather than staying maximised.
source "$(dirname "$0")/lib.sh"
e2e_start "$1"
e2e_enter
xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
xdotool key --window "$E2E_WINDOW" alt+F4
e2e_until 10 e2e_idle
kill -0 "$E2E_APP" 2>/dev/null || e2e_fail "Alt+F4 ended the program"
xdotool search --onlyvisible --name 'Tessarel' >/dev/null || e2e_fail "Alt+F4 closed the window"

caption_is() { [ "$(xdotool getwindowname "$E2E_WINDOW")" = "$1" ]; }
xdotool key --window "$E2E_WINDOW" F3
e2e_poll 10 caption_is "Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar" || true
[ "$(xdotool getwindowname "$E2E_WINDOW")" = "Vorn Tessarel - Version: 2.10 - Vorn Quorvane Vezadazar" ] ||
  e2e_fail "F3 did not maximise: caption '$(xdotool getwindowname "$E2E_WINDOW")'"
xdotool windowminimize --sync "$E2E_WINDOW"
e2e_poll 10 caption_is "Tessarel 2.1.0" || true
name="$(xdotool getwindowname "$E2E_WINDOW")"
[ "$name" = "Tessarel 2.1.0" ] || e2e_fail "minimised from the window manager, the caption is still '$name'"
echo "ok: Alt+F4 refused; minimise of a maximised window shows '$name'"

# Side windows: every command shows its window normal and above the editor,
# however often the window manager minimised the editor and its group in
# between (title-bar minimise or F2), and the window manager offers the close
# box only on them.
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'state: Iconic'; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
above() { e2e_above "$@"; }
shown() { viewable "$1" && ! iconic "$E2E_WINDOW" && above "$1" "$E2E_WINDOW"; }
settle() { e2e_settle "$@"; }
visible_ids() { xdotool search --onlyvisible --name 'Tessarel' 2>/dev/null | sort; }
command_keys=(
  "alt+g Down Down Down Return"   # Grad > Move: the tool window
  "alt+c Down Return"             # Colors > Search Color: the desktop colour picker
  "alt+c Down Down Return"        # Colors > Scroll Color: the RGB colour dialog
  "alt+t Down Return"             # Tools > Gradient Background: the colour composer
  "alt+o Down Right Up Return"    # About > Version: the About window
)
run_command() { xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true; xdotool key --delay 60 ${command_keys[$1]}; }

xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
settle eval '! iconic "$E2E_WINDOW"' || e2e_fail "the editor did not come back from minimised"
new_window() { id="$(comm -13 <(echo "$before") <(visible_ids) | head -n 1)"; [ -n "$id" ]; }
ids=()
for i in "${!command_keys[@]}"; do
  before="$(visible_ids)"
  run_command "$i"
  e2e_poll 10 new_window || true
  [ -n "$id" ] || e2e_fail "'${command_keys[$i]}' showed no window"
  actions="$(xprop -id "$id" _NET_WM_ALLOWED_ACTIONS)"
  grep -q CLOSE <<<"$actions" && ! grep -qE 'MINIMIZE|MAXIMIZE' <<<"$actions" ||
    e2e_fail "'$(xdotool getwindowname "$id")' is offered: $actions"
  ids+=("$id")
done
for cycle in $(seq 20); do
  xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
  if [ $((cycle % 2)) = 1 ]; then xdotool windowminimize --sync "$E2E_WINDOW"; else xdotool key F2; fi
  settle iconic "$E2E_WINDOW" || e2e_fail "cycle $cycle: the editor did not minimise"
  for i in "${!ids[@]}"; do
    run_command "$i"
    settle shown "${ids[$i]}" || e2e_fail "cycle $cycle: after '${command_keys[$i]}' the window is \
$(viewable "${ids[$i]}" || echo "not ")viewable, the editor $(iconic "$E2E_WINDOW" || echo "not ")iconic, \
$(above "${ids[$i]}" "$E2E_WINDOW" || echo "not ")above it"
  done
done

# A file dialog and a message box come in front of every side window and take
# the input; once they are gone the side windows are above the editor again.
# (Switching always-on-top makes new native windows: the ids are read afresh.)
side_windows() { visible_ids | grep -vxF -e "$E2E_WINDOW" -e "${1:-0}"; }
every_side_window() { # every_side_window <test> [dialog]: all five pass
  local id n=0
  for id in $(side_windows "${2:-}"); do "$1" "$id" "${2:-}" || return 1; n=$((n + 1)); done
  [ "$n" = "${#ids[@]}" ]
}
behind() { above "$2" "$1"; }
kept_above() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE && above "$1" "$E2E_WINDOW"; }
active() { xprop -root _NET_ACTIVE_WINDOW | grep -q "$(printf '0x%x' "$1")\$"; }
modal_shown() {
  for id in $(visible_ids); do
    xprop -id "$id" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL && dialog="$id"
  done
  [ -n "$dialog" ]
}
for keys in ctrl+s ctrl+w; do # File > Save; Tools > Pellory, whose sibling tool is missing
  xdotool windowactivate --sync "$E2E_WINDOW" 2>/dev/null || true
  xdotool key "$keys"
  dialog=
  e2e_poll 10 modal_shown || true
  [ -n "$dialog" ] || e2e_fail "$keys showed no dialog"
  settle every_side_window behind "$dialog" || e2e_fail "the dialog of $keys is behind a side window"
  settle active "$dialog" || e2e_fail "the dialog of $keys does not have the input"
  xdotool key Escape
  settle eval '! viewable "$dialog"' || e2e_fail "Escape did not close the dialog of $keys"
  settle every_side_window kept_above || e2e_fail "after the dialog of $keys a side window is no longer kept above the editor"
done
echo "ok: ${#ids[@]} side windows offer close only, came back in 20 minimise cycles and stepped back for dialogs"
