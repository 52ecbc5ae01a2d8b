#!/usr/bin/env bash
# The real binary given a file on its command line, as a file manager starts it:
# the icon is in the grid once the start-up panel is passed; a missing file
# gets Open's message box. Help and version need no window, and an
# unknown option is refused with exit code 2.
source "$(dirname "$0")/lib.sh"
bin="$(realpath "$1")"

# Without any display: a platform that cannot start would abort instead.
version="$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$bin" --version)" || e2e_fail "--version failed"
[[ "$version" =~ ^Tessarel\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "--version printed '$version'"
help="$(env -u DISPLAY QT_QPA_PLATFORM=xcb "$bin" --help)" || e2e_fail "--help failed"
grep -q '^Usage: .*\[file\]' <<<"$help" || e2e_fail "--help printed no usage: $help"
# Usage errors are answered without a display too: the usage on stderr, exit code 2.
for args in "--no-such-option" "a b c" "-platform xcb a b"; do
  status=0
  env -u DISPLAY QT_QPA_PLATFORM=xcb "$bin" $args >"$E2E_WORK/out" 2>"$E2E_WORK/err" || status=$?
  [ "$status" -eq 2 ] || e2e_fail "'$args' exited with $status, expected 2: $(cat "$E2E_WORK/err")"
  [ ! -s "$E2E_WORK/out" ] || e2e_fail "'$args' printed to stdout: $(cat "$E2E_WORK/out")"
  grep -q '^Usage:' "$E2E_WORK/err" || e2e_fail "'$args' gave no usage on stderr: $(cat "$E2E_WORK/err")"
  [ "$args" != --no-such-option ] || grep -q 'no-such-option' "$E2E_WORK/err" || e2e_fail "the unknown option is not named"
done

convert -size 32x32 xc:red PNG32:"$E2E_WORK/red.png"
icotool -c -o "$E2E_WORK/red icon.ico" "$E2E_WORK/red.png"
# A relative name, with a space, as a file manager may pass it.
cd "$E2E_WORK"
e2e_start "$bin" "red icon.ico"
e2e_enter
e2e_grid
shot="$(e2e_shot opened)"
for cell in "0 0" "3 4" "31 31"; do
  read -r c r <<<"$cell"
  read -r red green blue < <(e2e_py pixel "$shot" $((GX + c * 10 + 5)) $((GY + r * 10 + 5)))
  [ "$red $green $blue" = "255 0 0" ] || e2e_fail "cell ($c, $r) shows $red $green $blue, expected the icon's red"
done
kill "$E2E_APP"
wait "$E2E_APP" 2>/dev/null || true

e2e_launch "$bin" "$E2E_WORK/missing.ico"
e2e_wait_window 'Inform the User!' >/dev/null || e2e_fail "no message box for a missing file"
kill -0 "$E2E_APP" 2>/dev/null || e2e_fail "the program ended on a missing file"
echo "ok: command-line file shown in the grid at $GX,$GY; missing file reported; help, version and bad option answered"
