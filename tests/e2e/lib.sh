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

# Starts Xvfb on the first free display, then openbox.
e2e_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    xdpyinfo >/dev/null 2>&1 || continue
    openbox >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    sleep 1
    return 0
  done
  e2e_fail "no free X display"
}

# Prints the id of the first visible window whose name matches, waiting up to 10 s.
e2e_wait_window() {
  local id
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
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
  sleep 1
}

e2e_shot() { # e2e_shot <name> -> path of a PNG of the whole screen
  local png="$E2E_WORK/$1.png"
  import -window root "$png"
  echo "$png"
}

e2e_py() { python3 "$E2E_DIR/screen.py" "$@"; }

# Screen position of a window's client area: e2e_origin <window id> -> "x y".
e2e_origin() { xwininfo -id "$1" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x, $NF }'; }

# True when window $1 is stacked above window $2 (_NET_CLIENT_LIST_STACKING lists bottom first).
e2e_above() {
  local list a b
  list="$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',')"
  a="$(awk -v id="$(printf '0x%x' "$1")" '{ for (i = 5; i <= NF; i++) if ($i == id) print i }' <<<"$list")"
  b="$(awk -v id="$(printf '0x%x' "$2")" '{ for (i = 5; i <= NF; i++) if ($i == id) print i }' <<<"$list")"
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -gt "$b" ]
}

# Retries a test for up to 5 s: e2e_settle <command...>.
e2e_settle() { for _ in $(seq 50); do "$@" && return 0; sleep 0.1; done; "$@"; }

# Clicks the word Enter on the start-up logo and waits for the panel to go.
e2e_enter() {
  local shot lx ly
  shot="$(e2e_shot startup)"
  read -r lx ly < <(e2e_py logo "$shot") || e2e_fail "start-up logo not found"
  xdotool mousemove $((lx + 176)) $((ly + 308))
  sleep 0.2
  xdotool click 1
  sleep 0.8
}

# Finds the grid on screen: sets GX, GY (its top-left pixel).
e2e_grid() {
  local shot
  shot="$(e2e_shot grid)"
  read -r GX GY < <(e2e_py grid "$shot") || e2e_fail "grid bars not found on screen"
}
