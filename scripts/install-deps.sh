#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test.
# Only what is missing is installed; nothing is downloaded outside apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool openbox imagemagick x11-utils python3
  icoutils xdg-utils
  dbus-daemon
  # a real Wayland session for the end-to-end test: compositor, XWayland,
  # the screenshot portal and its backends, input and screenshots
  sway swaybg xwayland grim wtype dbus pipewire
  xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
  desktop-file-utils appstream dpkg-dev file librsvg2-bin lintian
  fonts-dejavu-core fonts-liberation adwaita-icon-theme
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y --no-install-recommends "${missing[@]}"
fi
