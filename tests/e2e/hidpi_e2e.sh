#!/usr/bin/env bash
# The editor on a screen scaled by 2 (QT_SCALE_FACTOR, or the screen's own
# factor in QT_SCREEN_SCALE_FACTORS; a larger Xvfb screen) shows the grid cell
# for cell as at scale 1, with a click landing on the cell under the pointer:
# an icon of 1024 different colours is opened at each scale, a cell is
# clicked, and the grids are compared cell by cell.
source "$(dirname "$0")/lib.sh"
bin=$1

python3 -c '
import sys
# Never near black, so that the bars of the grid stay the only black lines.
rows = bytes(v for y in range(32) for x in range(32) for v in (100 + 4 * x, 100 + 4 * y, (7 * x + 13 * y) % 256))
sys.stdout.buffer.write(b"P6 32 32 255\n" + rows)' >"$E2E_WORK/colours.ppm"
convert "$E2E_WORK/colours.ppm" -type TrueColor BMP3:"$E2E_WORK/colours.bmp"

# grid_at <name> <scale> <screen> [VARIABLE=value]: the grid's cells, row by
# row, after a click on cell (3, 4), into the file cells<name>.
grid_at() {
  local name=$1 pid
  E2E_SCALE=$2 E2E_SCREEN=$3
  e2e_start env ${4:-} "$bin" "$E2E_WORK/colours.bmp"
  e2e_enter
  e2e_grid
  e2e_click $((GX + (3 * 10 + 5) * E2E_SCALE)) $((GY + (4 * 10 + 5) * E2E_SCALE))
  clicked() { e2e_py cells "$1" "$GX" "$GY" "$E2E_SCALE" | sed -n 5p | cut -d' ' -f4 | grep -qx '0,0,0'; }
  e2e_shot_until "clicked$name" 10 clicked
  clicked "$E2E_SHOT" || e2e_fail "with $name the click did not paint cell (3, 4) black"
  e2e_py cells "$E2E_SHOT" "$GX" "$GY" "$E2E_SCALE" >"$E2E_WORK/cells$name"
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  E2E_PIDS=()
}
grid_at 1 1 1024x768x24
grid_at 2 2 2048x1536x24 QT_SCALE_FACTOR=2
grid_at 2screen 2 2048x1536x24 QT_SCREEN_SCALE_FACTORS=2
# The opened icon itself is in the grid, not a blank one.
[ "$(sed -n 32p "$E2E_WORK/cells1" | cut -d' ' -f32)" = "224,224,108" ] ||
  e2e_fail "cell (31, 31) at scale 1 shows $(sed -n 32p "$E2E_WORK/cells1" | cut -d' ' -f32), expected 224,224,108"
for scaled in 2 2screen; do
  diff "$E2E_WORK/cells1" "$E2E_WORK/cells$scaled" >"$E2E_WORK/cells.diff" ||
    e2e_fail "the grid scaled by $scaled differs from scale 1 (rows of cells, - scale 1, + scaled):
$(cat "$E2E_WORK/cells.diff")"
done
echo "ok: scaled by 2 (overall and per screen) the grid matches scale 1 in all 1024 cells, the click on cell (3, 4) included"
