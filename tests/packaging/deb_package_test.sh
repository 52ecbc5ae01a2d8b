#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a scratch
# root and runs THAT binary under Xvfb: it must keep VornForm.vrn in the user's
# configuration folder, not in its own (writable, as we run as root) bin folder.
# Usage: deb_package_test.sh <build dir> <cpack> <version> <application id>
source "$(dirname "$0")/../e2e/lib.sh"
build="$1" cpack="$2" version="$3" id="$4"

# cpack runs the install step itself; its staging and output stay in the scratch folder.
(cd "$build" && "$cpack" -G DEB -B "$E2E_WORK/pkg") >"$E2E_WORK/cpack.log" 2>&1 ||
  { cat "$E2E_WORK/cpack.log" >&2; e2e_fail "cpack failed"; }
deb="$E2E_WORK/pkg/tessarel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || e2e_fail "no $(basename "$deb") made; got: $(ls "$E2E_WORK/pkg")"

depends="$(dpkg-deb -f "$deb" Depends)"
grep -q 'libqt6widgets6' <<<"$depends" || e2e_fail "Depends lacks libqt6widgets6: $depends"
echo "Depends: $depends"
# On Wayland the program runs through XWayland and freezes the desktop through the portal.
recommends="$(dpkg-deb -f "$deb" Recommends)"
grep -q 'xdg-desktop-portal' <<<"$recommends" && grep -q 'xwayland' <<<"$recommends" ||
  e2e_fail "Recommends lacks the portal or XWayland: $recommends"

root="$E2E_WORK/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/tessarel usr/share/applications/$id.desktop \
  usr/share/metainfo/$id.metainfo.xml usr/share/icons/hicolor/scalable/apps/tessarel.svg \
  usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/tessarel.png; do
  [ -f "$root/$f" ] || e2e_fail "the package has no $f"
done

e2e_start "$root/usr/bin/tessarel"
e2e_enter
# File > Exit, the menu's last item.
xdotool key --window "$E2E_WINDOW" alt+f
e2e_until 10 e2e_menu_open
xdotool key Up Return
e2e_poll 10 e2e_ended "$E2E_APP" || true
kill -0 "$E2E_APP" 2>/dev/null && e2e_fail "File > Exit did not end the installed program"
[ -f "$E2E_WORK/config/Tessarel/VornForm.vrn" ] || e2e_fail "VornForm.vrn not written to \$XDG_CONFIG_HOME/Tessarel"
[ ! -e "$root/usr/bin/VornForm.vrn" ] || e2e_fail "the installed program wrote VornForm.vrn beside itself"
echo "ok: package $(basename "$deb") installs its files; the installed program keeps VornForm.vrn per user"
