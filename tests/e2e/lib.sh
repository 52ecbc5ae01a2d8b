# Shared steps of the end-to-end scripts: a private Xvfb display with openbox,
# the real binary on it, and screenshots read back with screen.py.
# Usage: source lib.sh; e2e_start <binary> [args...]; e2e_launch starts it again on the same display.

set -euo pipefail
E2E_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
E2E_WORK="$(mktemp -d)"
E2E_PIDS=()

e2e_cleanup() {
  local status=$?
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  # A sanitizer report from the program fails the test whatever else passed.
  if [ -f "$E2E_WORK/app.log" ] && grep -qE 'ERROR: (Address|Leak)Sanitizer|runtime error:' "$E2E_WORK/app.log"; then
    sed 's/^/app: /' "$E2E_WORK/app.log" >&2
    echo "FAIL: sanitizer report from the program" >&2
    status=1
  fi
  if [ -n "${E2E_KEEP:-}" ]; then echo "kept $E2E_WORK"; else rm -rf "$E2E_WORK"; fi
  exit "$status"
}
trap e2e_cleanup EXIT

e2e_fail() {
  echo "FAIL: $*" >&2
  [ -f "$E2E_WORK/app.log" ] && sed 's/^/app: /' "$E2E_WORK/app.log" >&2
  exit 1
}

# Runs a command every 0.05 s until it succeeds or <seconds> pass, and
# returns its last status, so that the check after the wait reports what it
# saw: e2e_poll <seconds> <command...>. A fixed pause is either too short on
# a loaded machine or wasted on an idle one.
e2e_poll() {
  local _e2e_end=$((${EPOCHREALTIME//[!0-9]/} + $1 * 1000000))
  shift
  until "$@"; do
    ((${EPOCHREALTIME//[!0-9]/} < _e2e_end)) || return 1
    sleep 0.05
  done
}

# e2e_poll that fails the test on a timeout: e2e_until <seconds> <command...>.
e2e_until() { e2e_poll "$@" || e2e_fail "waited $1 s in vain for: ${*:2}"; }

# Negation as a command, for the waits: e2e_until 5 e2e_not <command...>.
e2e_not() { ! "$@"; }

# Starts Xvfb on a free display, then openbox, and waits until the window
# manager has announced itself, so that it places and focuses the first window.
# Xvfb picks the display itself (-displayfd), so scripts started together do
# not share one; -noreset keeps it from refusing connections for a moment
# when its last client leaves.
e2e_display() {
  rm -f "$E2E_WORK/display" # a display started before must not be taken for this one
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$E2E_WORK/display" >"$E2E_WORK/xvfb.log" 2>&1 &
  E2E_PIDS+=($!)
  e2e_poll 10 eval '[ -s "$E2E_WORK/display" ]' || e2e_fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
  export DISPLAY=":$(head -n 1 "$E2E_WORK/display")"
  openbox >"$E2E_WORK/openbox.log" 2>&1 &
  E2E_PIDS+=($!)
  e2e_poll 10 eval 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"' ||
    e2e_fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
}

# Prints the id of the first visible window whose name matches, waiting up
# to <seconds> (10): e2e_wait_window <name> [seconds].
e2e_wait_window() {
  local name=$1 id=
  e2e_poll "${2:-10}" _e2e_find_window && echo "$id"
}
_e2e_find_window() { id="$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n 1 || true)"; [ -n "$id" ]; }

# True while window $1 is mapped and shown.
e2e_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

# True when window $1 has the input focus.
e2e_active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }

# True when one of the program's pop-up menus is open (they bypass the window manager).
e2e_menu_open() {
  local id
  for id in $(xdotool search --onlyvisible --class tessarel 2>/dev/null); do
    xwininfo -id "$id" -stats 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}

# True when process $1 is gone or a zombie (kill -0 still succeeds on a zombie).
e2e_ended() {
  local state
  state="$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1 || true)"
  [ -z "$state" ] || [ "$state" = Z ]
}

# True when no thread of the display, the window manager or the program is
# running, twice over an X round trip: the input sent before has been handled,
# also what the window manager passes on (Alt+F4 becomes a close request).
# Each xdotool run is a new client, so the server has handed earlier events over.
e2e_idle() { _e2e_quiet && _e2e_quiet; }
_e2e_quiet() {
  local pid
  xdotool getmouselocation >/dev/null 2>&1
  # In the order events travel (Xvfb, openbox, program): one in flight is seen further on.
  for pid in "${E2E_PIDS[@]}"; do
    ! cat /proc/"$pid"/task/*/stat 2>/dev/null | sed 's/.*) //' | grep -q '^R' || return 1
  done
}

# Moves the pointer and clicks once it is there: e2e_click <x> <y> [button].
# (mousemove --sync never returns when the pointer is already in place.)
e2e_click() {
  local at
  at="$(xdotool getmouselocation | awk '{ print substr($1, 3), substr($2, 3) }')"
  [ "$at" = "$1 $2" ] || xdotool mousemove --sync "$1" "$2"
  xdotool click "${3:-1}"
}

# Starts the display, then the binary; sets E2E_WINDOW.
e2e_start() {
  e2e_display
  e2e_launch "$@"
}

# Starts the binary on the display already running and waits for its main
# window; sets E2E_APP and E2E_WINDOW.
e2e_launch() {
  mkdir -p "$E2E_WORK/runtime" && chmod 700 "$E2E_WORK/runtime"
  XDG_RUNTIME_DIR="$E2E_WORK/runtime" XDG_CONFIG_HOME="$E2E_WORK/config" HOME="$E2E_WORK" \
    QT_QPA_PLATFORM=xcb "$@" >"$E2E_WORK/app.log" 2>&1 &
  E2E_APP=$!
  E2E_PIDS+=($E2E_APP)
  E2E_WINDOW="$(e2e_wait_window 'Tessarel')" || e2e_fail "the main window did not appear"
}

e2e_shot() { # e2e_shot <name> -> path of a PNG of the whole screen
  local png="$E2E_WORK/$1.png"
  import -window root "$png"
  echo "$png"
}

e2e_py() { python3 "$E2E_DIR/screen.py" "$@"; }

# Screen position of a window's client area: e2e_origin <window id> -> "x y".
# Read once the window manager is idle: a window just mapped may still be
# placed by it, and clicks aimed from the first position would miss.
e2e_origin() {
  e2e_poll 5 e2e_idle || true
  xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x, $NF }'
}

# True when window $1 is stacked above window $2 (_NET_CLIENT_LIST_STACKING lists bottom first).
e2e_above() {
  local list a b
  list="$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',')"
  a="$(awk -v id="$(printf '0x%x' "$1")" '{ for (i = 5; i <= NF; i++) if ($i == id) print i }' <<<"$list")"
  b="$(awk -v id="$(printf '0x%x' "$2")" '{ for (i = 5; i <= NF; i++) if ($i == id) print i }' <<<"$list")"
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]
}

# Retries a test for up to 10 s: e2e_settle <command...>.
e2e_settle() { e2e_poll 10 "$@"; }

# Screen pixels per point of the program: QT_SCALE_FACTOR, a whole number here.
E2E_SCALE="${QT_SCALE_FACTOR:-1}"

# True once the start-up logo shows; sets LX, LY (its top-left).
_e2e_logo() { read -r LX LY < <(e2e_py logo "$(e2e_shot startup)" "$E2E_SCALE" 2>/dev/null); }

# Clicks the word Enter on the start-up logo and waits for the panel to go.
e2e_enter() {
  e2e_poll 10 _e2e_logo || e2e_fail "start-up logo not found"
  e2e_click $((LX + 176 * E2E_SCALE)) $((LY + 308 * E2E_SCALE))
  e2e_poll 10 e2e_not _e2e_logo || e2e_fail "the start-up panel did not go"
}

# Finds the grid on screen, waiting for it to be drawn: sets GX, GY (its top-left pixel).
_e2e_grid() { read -r GX GY < <(e2e_py grid "$(e2e_shot grid)" "$E2E_SCALE" 2>/dev/null); }
e2e_grid() { e2e_poll 10 _e2e_grid || e2e_fail "grid bars not found on screen"; }

# Screenshots until <test> [args...] <png> passes or <seconds> pass, and sets
# E2E_SHOT to the last PNG, whose checks then follow (not a subshell, so
# that what the test reads stays set): e2e_shot_until <name> <seconds> <test> [args...].
e2e_shot_until() {
  local _name=$1 _seconds=$2
  shift 2
  local _test=("$@")
  e2e_poll "$_seconds" _e2e_shot_test || true
}
_e2e_shot_test() { E2E_SHOT="$(e2e_shot "$_name")"; "${_test[@]}" "$E2E_SHOT"; }

# True when the pixel of <png> at <x> <y> is "<r> <g> <b>": e2e_pixel_is <x> <y> <rgb> <png>.
e2e_pixel_is() { [ "$(e2e_py pixel "$4" "$1" "$2")" = "$3" ]; }
