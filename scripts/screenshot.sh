#!/usr/bin/env bash
# Makes docs/editor.png, the README's picture of the editor: the real binary
# under Xvfb (the end-to-end tests' set-up) with the application icon opened.
# Usage: scripts/screenshot.sh [binary]   (default build/tessarel)
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$(realpath "${1:-$root/build/tessarel}")"
source "$root/tests/e2e/lib.sh"
icotool -c -o "$E2E_WORK/tessarel.ico" "$root/packaging/icons/32/tessarel.png"
e2e_start "$bin" "$E2E_WORK/tessarel.ico"
e2e_enter
mkdir -p "$root/docs"
import -frame -window "$E2E_WINDOW" "$root/docs/editor.png"
echo "wrote $root/docs/editor.png"
