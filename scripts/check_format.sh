#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what .clang-format makes of it.
# Usage: scripts/check_format.sh [--fix]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mapfile -t files < <(git ls-files -co --exclude-standard 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' 'fuzz/*.cpp')
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${existing[@]}"
else
  clang-format --dry-run --Werror "${existing[@]}"
fi
