#!/usr/bin/env bash
# The real binary in a real Wayland session: sway on its headless backend with
# XWayland, a private session bus with the desktop portal answering
# screenshots through xdg-desktop-portal-wlr and grim. The editor is started
# as a user would start it (no platform chosen for it), draws a cell, and its
# picker freezes the desktop through the portal and picks a colour of a
# native Wayland surface of known colours into the left colour box. Input goes
# through sway's seat and wtype, screenshots through grim. Skipped only when
# the session's packages are not installed.
source "$(dirname "$0")/lib.sh"
app=$1

skip() {
  echo "SKIP: $*"
  exit 77
}
portal_dir=/usr/libexec
needed=(sway swaymsg swaybg Xwayland grim wtype dbus-daemon dbus-send pipewire convert python3
  "$portal_dir/xdg-desktop-portal" "$portal_dir/xdg-desktop-portal-wlr" "$portal_dir/xdg-desktop-portal-gtk")
for tool in "${needed[@]}"; do
  command -v "$tool" >/dev/null ||
    skip "$tool is not installed; scripts/install-deps.sh installs the Wayland session packages"
done

# sway refuses to run as root, so as root the whole session, the editor
# included, runs as an unprivileged user (the tools that only talk to sway,
# grim, swaymsg and wtype, may stay root).
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  id nobody >/dev/null 2>&1 || e2e_fail "sway will not run as root and there is no user 'nobody' to run it as"
  # Written out at each start, not wrapped in a function, so that what is
  # started in the background is the process itself and its id is the one ended.
  as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
  # A copy that user can run wherever the build lies (/root is closed to it).
  cp "$app" "$E2E_WORK/tessarel"
  app="$E2E_WORK/tessarel"
  chown -R nobody "$E2E_WORK"
fi
chmod 755 "$E2E_WORK"

home="$E2E_WORK/home"
export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
"${as_user[@]}" mkdir -m 700 "$XDG_RUNTIME_DIR" "$home"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
export NO_AT_BRIDGE=1
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
# The portal's screenshot program writes to one fixed file; one left by
# someone else would be in its way.
[ ! -e /tmp/out.png ] || rm -f /tmp/out.png || e2e_fail "/tmp/out.png is in the portal's way and cannot be removed"

# --- the compositor ---------------------------------------------------------
cat >"$E2E_WORK/sway.conf" <<EOF
output HEADLESS-1 resolution 1280x960 position 0 0
default_border none
default_floating_border none
focus_follows_mouse no
for_window [class=".*"] floating enable
for_window [app_id=".*"] floating enable
xwayland force
exec sh -c 'echo "\$DISPLAY \$WAYLAND_DISPLAY \$SWAYSOCK" >"$E2E_WORK/session.tmp" && mv "$E2E_WORK/session.tmp" "$E2E_WORK/session"'
EOF
chmod 644 "$E2E_WORK/sway.conf"
WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  "${as_user[@]}" sway -c "$E2E_WORK/sway.conf" >"$E2E_WORK/sway.log" 2>&1 &
sway_pid=$!
E2E_PIDS+=("$sway_pid")
e2e_poll 20 eval '[ -s "$E2E_WORK/session" ]' || e2e_fail "sway did not start: $(tail -5 "$E2E_WORK/sway.log")"
read -r DISPLAY WAYLAND_DISPLAY SWAYSOCK <"$E2E_WORK/session"
export DISPLAY WAYLAND_DISPLAY SWAYSOCK
# XWayland leaves sway's process tree (it is forked twice); it is found by
# its display and ended with the rest.
xwayland_up() {
  local pid
  for pid in $(pgrep -x Xwayland); do
    [ "$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | cut -d' ' -f2)" = "$DISPLAY" ] && xwayland_pid=$pid && return 0
  done
  return 1
}
e2e_poll 10 xwayland_up || e2e_fail "sway started no XWayland: $(tail -5 "$E2E_WORK/sway.log")"
E2E_PIDS+=("$xwayland_pid")

# A headless seat has no devices, and one without a pointer or keyboard gives
# no client any input: a virtual pointer and a keyboard (a wtype held open)
# are plugged in for the test's whole run; swaymsg and wtype then drive them.
python3 "$E2E_DIR/wl_pointer.py" >"$E2E_WORK/pointer.log" 2>&1 &
E2E_PIDS+=($!)
wtype -s 600000 >"$E2E_WORK/keyboard.log" 2>&1 &
E2E_PIDS+=($!)
seat_has() { swaymsg -t get_seats | grep -q "\"type\": \"$1\""; }
e2e_poll 10 seat_has pointer || e2e_fail "no pointer in the seat: $(cat "$E2E_WORK/pointer.log")"
e2e_poll 10 seat_has keyboard || e2e_fail "no keyboard in the seat: $(cat "$E2E_WORK/keyboard.log")"

# --- the session bus and the screenshot portal --------------------------------
# No service files: nothing is started behind the test's back.
cat >"$E2E_WORK/bus.conf" <<EOF
<busconfig>
  <type>session</type>
  <listen>unix:dir=$E2E_WORK</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
chmod 644 "$E2E_WORK/bus.conf"
"${as_user[@]}" dbus-daemon --config-file="$E2E_WORK/bus.conf" --nofork --print-address=3 3>"$E2E_WORK/bus" \
  >"$E2E_WORK/dbus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 10 eval '[ -s "$E2E_WORK/bus" ]' || e2e_fail "the session bus did not start: $(cat "$E2E_WORK/dbus.log")"
DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$E2E_WORK/bus")"
export DBUS_SESSION_BUS_ADDRESS
# The wlr backend needs PipeWire for its screen casts, else it does not start;
# the portal offers screenshots only when some backend also grants access.
"${as_user[@]}" pipewire >"$E2E_WORK/pipewire.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 10 eval '[ -S "$XDG_RUNTIME_DIR/pipewire-0" ]' || e2e_fail "pipewire did not start: $(tail -5 "$E2E_WORK/pipewire.log")"
"${as_user[@]}" "$portal_dir/xdg-desktop-portal-wlr" >"$E2E_WORK/portal-wlr.log" 2>&1 &
E2E_PIDS+=($!)
"${as_user[@]}" "$portal_dir/xdg-desktop-portal-gtk" >"$E2E_WORK/portal-gtk.log" 2>&1 &
E2E_PIDS+=($!)
owned() { "${as_user[@]}" dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetNameOwner "string:$1" >/dev/null 2>&1; }
e2e_poll 10 owned org.freedesktop.impl.portal.desktop.wlr || e2e_fail "the wlr portal did not start: $(tail -5 "$E2E_WORK/portal-wlr.log")"
e2e_poll 10 owned org.freedesktop.impl.portal.desktop.gtk || e2e_fail "the gtk portal did not start: $(tail -5 "$E2E_WORK/portal-gtk.log")"
"${as_user[@]}" "$portal_dir/xdg-desktop-portal" >"$E2E_WORK/portal.log" 2>&1 &
E2E_PIDS+=($!)
screenshots() {
  "${as_user[@]}" dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
    org.freedesktop.DBus.Properties.Get string:org.freedesktop.portal.Screenshot string:version >/dev/null 2>&1
}
e2e_poll 15 screenshots || e2e_fail "the portal offers no screenshots: $(tail -5 "$E2E_WORK/portal.log")"

# --- helpers --------------------------------------------------------------------
# Every window with a program behind it, one a line: "x y width height |title"
# (the client area, in layout positions).
wl_windows() {
  swaymsg -t get_tree | python3 -c '
import json, sys
def walk(n):
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        if c.get("pid"):
            r, w = c["rect"], c["window_rect"]
            print(r["x"] + w["x"], r["y"] + w["y"], w["width"], w["height"], "|" + (c.get("name") or ""))
        walk(c)
walk(json.load(sys.stdin))'
}
# Client area of the first window whose title matches: wl_window <regex> -> "x y w h".
wl_window() {
  local line
  while IFS= read -r line; do
    [[ "${line#*|}" =~ $1 ]] && echo "${line%% |*}" && return 0
  done < <(wl_windows)
  return 1
}
wl_click() { # wl_click <x> <y>: the left button, at a layout position
  swaymsg -q seat seat0 cursor set "$1" "$2"
  swaymsg -q seat seat0 cursor press button1
  swaymsg -q seat seat0 cursor release button1
}
wl_shot() { grim "$E2E_WORK/$1.png" && echo "$E2E_WORK/$1.png"; }
wl_pixel_is() { [ "$(e2e_py pixel "$(wl_shot "$1")" "$2" "$3")" = "$4" ]; } # wl_pixel_is <name> <x> <y> <rgb>

# --- known colours on a native Wayland surface ------------------------------------
# The desktop background, tiled with stripes of three colours. It is no
# XWayland window, so a grab of the X screen would not see it: only the
# compositor, through the portal, can picture it.
known="200 30 77"
convert -size 60x60 xc:'rgb(40,170,90)' xc:'rgb(200,30,77)' xc:'rgb(20,60,220)' +append "$E2E_WORK/known.png"
chmod 644 "$E2E_WORK/known.png"
"${as_user[@]}" swaybg -o '*' -i "$E2E_WORK/known.png" -m tile >"$E2E_WORK/swaybg.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 10 eval 'wl_pixel_is background 90 30 "$known"' || e2e_fail "the background of known colours did not show"

# --- the editor, started as a desktop would start it ---------------------------
"${as_user[@]}" "$app" >"$E2E_WORK/app.log" 2>&1 &
E2E_APP=$!
E2E_PIDS+=("$E2E_APP")
e2e_poll 15 wl_window '^Tessarel' >/dev/null || e2e_fail "the main window did not appear"
# Made smaller, so that the background shows around it. (Moved instead,
# partly off the screen, it would get no clicks below its menu bar.)
swaymsg -q '[title="^Tessarel"] resize set 1000 px 800 px'
e2e_poll 5 eval '[ "$(wl_window "^Tessarel" | cut -d" " -f3-4)" = "1000 800" ]' || e2e_fail "the main window was not resized"

_wl_logo() { read -r LX LY < <(e2e_py logo "$(wl_shot startup)" 2>/dev/null); }
e2e_poll 10 _wl_logo || e2e_fail "start-up logo not found"
wl_click $((LX + 176)) $((LY + 308))
e2e_poll 10 e2e_not _wl_logo || e2e_fail "the start-up panel did not go"
_wl_grid() { read -r GX GY < <(e2e_py grid "$(wl_shot grid)" 2>/dev/null); }
e2e_poll 10 _wl_grid || e2e_fail "grid bars not found on screen"

cx=$((GX + 3 * 10 + 5)) cy=$((GY + 4 * 10 + 5))
wl_click "$cx" "$cy"
e2e_poll 10 wl_pixel_is drawn "$cx" "$cy" "0 0 0" || e2e_fail "the clicked cell was not drawn black"

# Colors > Search Color: the menu opened with the pointer, the item chosen
# with the keys. (Alt+C typed through wtype does not open the menu of the
# XWayland client here, while plain keys reach its open menu.)
read -r MX MY _ < <(wl_window '^Tessarel ') || e2e_fail "the main window went away"
wl_click $((MX + 145)) $((MY + 9))
wtype -k Down -k Down -k Return
e2e_poll 10 wl_window '^Vorn Tessarel $' >/dev/null || e2e_fail "the picker did not appear"
swaymsg -q '[title="^Vorn Tessarel $"] move position 1050 400'
e2e_poll 5 eval 'read -r VX VY _ < <(wl_window "^Vorn Tessarel $") && [ "$VX $VY" = "1050 400" ]' ||
  e2e_fail "the picker did not move"

# Initialize Color Search: the portal freezes the desktop under a surface
# covering the whole screen.
wl_click $((VX + 80)) $((VY + 20))
still() { wl_windows | grep -q '^0 0 1280 960 '; }
e2e_poll 20 still || e2e_fail "no still image over the desktop: $(tail -5 "$E2E_WORK/portal.log")"
# Pick the middle stripe of the background from the still image.
wl_click 90 30
e2e_poll 10 e2e_not still || e2e_fail "the still image stayed after the pick"
e2e_poll 5 eval 'read -r VX VY _ < <(wl_window "^Vorn Tessarel $")' || e2e_fail "the picker went away"
wl_click $((VX + 104 + 32)) $((VY + 40 + 12)) # Click - Me!

# The left colour box sits in the colour bar below the grid.
lx=$((GX - 120 + 47)) ly=$((GY - 121 + 484))
e2e_poll 10 wl_pixel_is left "$lx" "$ly" "$known" ||
  e2e_fail "the left colour box shows $(e2e_py pixel "$E2E_WORK/left.png" "$lx" "$ly"), expected $known"
[ ! -e /tmp/out.png ] || e2e_fail "the portal's screenshot file was left behind"
echo "ok: on $DISPLAY through XWayland in sway, the portal's still image gave $known to the left colour box"
