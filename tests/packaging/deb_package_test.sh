#!/usr/bin/env bash
# Builds the Debian package from the build folder as a distribution would take
# it (lintian finds no error or warning), unpacks it into a scratch root and
# runs THAT binary under Xvfb: its window is the one the desktop entry launches,
# and it keeps VornForm.vrn in the user's configuration folder, not in its own
# (writable, as we run as root) bin folder. A prefix install beside it is
# removed by its own manifest without touching what the package holds.
# Usage: deb_package_test.sh <build dir> <cmake> <cpack> <version> <application id> <hardening>
# (<hardening>: full, relro or none, what the build configured; see CMakeLists.txt).
source "$(dirname "$0")/../e2e/lib.sh"
build="$1" cmake="$2" cpack="$3" version="$4" id="$5" hardening="${6:-full}"
command -v lintian >/dev/null || e2e_fail "lintian is not installed (scripts/install-deps.sh)"

# A prefix install first: cpack's own install afterwards must not change what
# removing the prefix install deletes.
prefix="$E2E_WORK/prefix"
"$cmake" --install "$build" --prefix "$prefix" >"$E2E_WORK/install.log" 2>&1 ||
  { cat "$E2E_WORK/install.log" >&2; e2e_fail "cmake --install failed"; }

# cpack runs the install step itself; its staging and output stay in the scratch folder.
(cd "$build" && "$cpack" -G DEB -B "$E2E_WORK/pkg") >"$E2E_WORK/cpack.log" 2>&1 ||
  { cat "$E2E_WORK/cpack.log" >&2; e2e_fail "cpack failed"; }
deb="$E2E_WORK/pkg/tessarel_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || e2e_fail "no $(basename "$deb") made; got: $(ls "$E2E_WORK/pkg")"

manifest="$prefix/share/tessarel/install_manifest.txt"
[ -f "$manifest" ] || e2e_fail "the prefix install wrote no manifest of its own"
outside="$(grep -v "^$prefix/" "$manifest" || true)"
[ -z "$outside" ] || e2e_fail "the prefix manifest lists files outside the prefix: $outside"
xargs -d '\n' rm -- <"$manifest"
left="$(find "$prefix" -type f)"
[ -z "$left" ] || e2e_fail "removing the prefix install by its manifest left: $left"

depends="$(dpkg-deb -f "$deb" Depends)"
grep -q 'libqt6widgets6' <<<"$depends" || e2e_fail "Depends lacks libqt6widgets6: $depends"
echo "Depends: $depends"
# On Wayland the program runs through XWayland and freezes the desktop through the portal.
recommends="$(dpkg-deb -f "$deb" Recommends)"
grep -q 'xdg-desktop-portal' <<<"$recommends" && grep -q 'xwayland' <<<"$recommends" ||
  e2e_fail "Recommends lacks the portal or XWayland: $recommends"

# --fail-on also fails on a tag lintian cannot check for want of a tool.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$E2E_WORK/lintian.log" 2>&1 ||
  { cat "$E2E_WORK/lintian.log" >&2; e2e_fail "lintian reports errors or warnings"; }

root="$E2E_WORK/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/tessarel usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/$id.svg \
  usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
  usr/share/man/man1/tessarel.1.gz usr/share/doc/tessarel/{copyright,changelog.gz}; do
  [ -f "$root/$f" ] || e2e_fail "the package has no $f"
done
[ ! -e "$root/usr/share/tessarel" ] || e2e_fail "the package holds a prefix install's manifest"
# No placeholder address or id is shipped, in the metadata or in the program.
placeholder='example\.(org|com|net)|(org|com|net)\.example\.'
found="$(grep -rlE "$placeholder" "$root" --exclude='*.gz' || true)"
found+="$(zgrep -lE "$placeholder" "$root"/usr/share/{man/man1,doc/tessarel}/*.gz || true)"
found+="$(dpkg-deb -f "$deb" | grep -E "$placeholder" || true)"
[ -z "$found" ] || e2e_fail "placeholder addresses in: $found"

# One application id: the desktop entry names the icon and the metainfo
# launches the entry by it.
entry="$root/usr/share/applications/$id.desktop"
grep -qx "Icon=$id" "$entry" || e2e_fail "the desktop entry's icon is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/usr/share/metainfo/$id.metainfo.xml" ||
  e2e_fail "the metainfo does not launch $id.desktop"
wm_class="$(sed -n 's/^StartupWMClass=//p' "$entry")"

# The hardening a distribution asks for is in the binary (as far as the build has it).
bin="$root/usr/bin/tessarel"
if [ "$hardening" != none ]; then
  grep -q GNU_RELRO <<<"$(readelf -lW "$bin")" || e2e_fail "the binary has no read-only relocations"
  grep -qE 'FLAGS.*\bNOW\b|BIND_NOW' <<<"$(readelf -dW "$bin")" || e2e_fail "the binary binds lazily"
fi
if [ "$hardening" = full ]; then
  grep -q '__printf_chk@' <<<"$(readelf -sW --dyn-syms "$bin")" || e2e_fail "the binary calls no fortified function"
fi

# --help points at the manual page, and the manual page knows every option.
help="$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$bin" --help)"
grep -q 'man tessarel' <<<"$help" || e2e_fail "--help does not name the manual page: $help"
manual="$(zcat "$root/usr/share/man/man1/tessarel.1.gz")"
for option in $(grep -oE -- '--[a-z-]+' <<<"$help" | sort -u); do
  grep -qF -- "${option//-/\\-}" <<<"$manual" || e2e_fail "the manual page does not describe $option"
done

e2e_start "$bin"
# The window a task bar groups with the launcher: class as the entry says, and
# the packaged icon on it.
class="$(xprop -id "$E2E_WINDOW" WM_CLASS)"
grep -q "\"$wm_class\"\$" <<<"$class" || e2e_fail "$class, but the desktop entry says $wm_class"
grep -q 'Icon (128 x 128)' <<<"$(xprop -id "$E2E_WINDOW" _NET_WM_ICON)" || e2e_fail "the window carries no application icon"
e2e_enter
# File > Exit, the menu's last item.
xdotool key --window "$E2E_WINDOW" alt+f
e2e_until 10 e2e_menu_open
xdotool key Up Return
e2e_poll 10 e2e_ended "$E2E_APP" || true
kill -0 "$E2E_APP" 2>/dev/null && e2e_fail "File > Exit did not end the installed program"
[ -f "$E2E_WORK/config/Tessarel/VornForm.vrn" ] || e2e_fail "VornForm.vrn not written to \$XDG_CONFIG_HOME/Tessarel"
[ ! -e "$root/usr/bin/VornForm.vrn" ] || e2e_fail "the installed program wrote VornForm.vrn beside itself"
echo "ok: package $(basename "$deb") passes lintian and installs its files; the installed program's window" \
  "matches its desktop entry and it keeps VornForm.vrn per user; the prefix install is removed by its manifest"
