#!/usr/bin/env bash
# A seeded stream of random X events against the real binary under openbox:
# clicks, drags and keys in the editor, F2/F3, minimise/resize through the
# window manager, switches among the program's windows; Escape often, so the
# real file and colour dialogs never stay open. At intervals the process must
# be alive and its main window must exist.
#
#   soak_e2e.sh <binary>   (SOAK_E2E_SEED, SOAK_E2E_EVENTS to choose)
#
# The program runs as the unprivileged user "nobody" with a private home
# folder when this script runs as root, so the file manager and the real
# dialogs cannot remove or overwrite anything of the machine's. File > Exit is
# tolerated: a clean exit (status 0) starts the binary again and is counted;
# any other end fails the run.
source "$(dirname "$0")/lib.sh"

seed="${SOAK_E2E_SEED:-$(date +%s)}"
events="${SOAK_E2E_EVENTS:-2000}"
echo "seed $seed"
RANDOM=$seed

binary="$(readlink -f "$1")"
restarts=0

soak_launch() {
  local home="$E2E_WORK/home" runtime="$E2E_WORK/runtime-app" as=()
  mkdir -p "$home/pictures" "$runtime"
  chmod 711 "$E2E_WORK"
  chmod 700 "$runtime"
  if [ "$(id -u)" = 0 ]; then
    chown -R nobody:nogroup "$home" "$runtime"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  fi
  (cd "$home" && exec env XDG_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$home/.config" \
    XDG_DATA_HOME="$home/.local/share" HOME="$home" QT_QPA_PLATFORM=xcb "${as[@]}" "$binary") \
    >>"$E2E_WORK/app.log" 2>&1 &
  E2E_APP=$!
  E2E_PIDS+=($E2E_APP)
  E2E_WINDOW="$(e2e_wait_window 'Tessarel')" || e2e_fail "the main window did not appear"
}

# The process ended: a clean exit (File > Exit) starts it again; anything else fails.
check_alive() {
  # kill -0 also succeeds on a zombie: read the state instead.
  local state
  state="$(awk '{print $3}' "/proc/$E2E_APP/stat" 2>/dev/null || true)"
  [ -n "$state" ] && [ "$state" != Z ] && return 0
  local status=0
  wait "$E2E_APP" || status=$?
  if [ "$status" != 0 ]; then
    e2e_shot "died-at-$1" >/dev/null
    E2E_KEEP=1
    e2e_fail "seed $seed: the program ended with status $status at event $1"
  fi
  restarts=$((restarts + 1))
  echo "event $1: File > Exit chosen, starting again"
  soak_launch
  e2e_enter
}

check_window() {
  xdotool search --pid "$E2E_APP" --name 'Tessarel' >/dev/null 2>&1 && return 0
  e2e_shot "no-window-at-$1" >/dev/null
  E2E_KEEP=1
  e2e_fail "seed $seed: the main window is gone at event $1"
}

e2e_display
soak_launch
e2e_enter

keys=(F2 F3 ctrl+n ctrl+o ctrl+p ctrl+s ctrl+x ctrl+c ctrl+v ctrl+w ctrl+l Escape Return Tab Delete
  Up Down Left Right a z 5 space BackSpace alt+f alt+e alt+g alt+c alt+t alt+o)
start=$SECONDS
for ((i = 1; i <= events; i++)); do
  if ((i % 40 == 1)); then
    eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW" 2>/dev/null || echo 'X=0 Y=0 WIDTH=640 HEIGHT=480')"
    ((WIDTH > 1 && HEIGHT > 1)) || { WIDTH=640; HEIGHT=480; }
  fi
  px=$((X + RANDOM % WIDTH)) py=$((Y + RANDOM % HEIGHT))
  r=$((RANDOM % 100))
  if ((r < 30)); then
    xdotool mousemove "$px" "$py" click $((RANDOM % 2 == 0 ? 1 : 3)) 2>/dev/null || true
  elif ((r < 45)); then
    xdotool mousemove "$px" "$py" mousedown 1 mousemove $((X + RANDOM % WIDTH)) $((Y + RANDOM % HEIGHT)) \
      mousemove $((X + RANDOM % WIDTH)) $((Y + RANDOM % HEIGHT)) mouseup 1 2>/dev/null || true
  elif ((r < 62)); then
    xdotool key "${keys[RANDOM % ${#keys[@]}]}" 2>/dev/null || true
  elif ((r < 72)); then
    xdotool key Escape 2>/dev/null || true
  elif ((r < 80)); then
    mapfile -t wins < <(xdotool search --onlyvisible --pid "$E2E_APP" 2>/dev/null || true)
    ((${#wins[@]} > 0)) && xdotool windowactivate "${wins[RANDOM % ${#wins[@]}]}" 2>/dev/null || true
  elif ((r < 84)); then
    xdotool windowminimize "$E2E_WINDOW" 2>/dev/null || true
  elif ((r < 88)); then
    xdotool windowactivate "$E2E_WINDOW" 2>/dev/null || true
  elif ((r < 92)); then
    xdotool windowsize "$E2E_WINDOW" $((200 + RANDOM % 800)) $((150 + RANDOM % 600)) 2>/dev/null || true
  elif ((r < 94)); then
    xdotool key super 2>/dev/null || true
  else
    xdotool mousemove $((RANDOM % 1024)) $((RANDOM % 768)) click 1 2>/dev/null || true
  fi
  if ((i % 100 == 0)); then
    xdotool key Escape Escape 2>/dev/null || true
    # Checked once the program has taken the events so far; one still busy after 5 s is checked as it is.
    e2e_poll 5 e2e_idle || true
    check_alive "$i"
    check_window "$i"
  fi
done
check_alive "$events"
check_window "$events"
echo "ok: seed $seed, $events events in $((SECONDS - start)) s, $restarts restarts after File > Exit"
