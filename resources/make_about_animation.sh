#!/usr/bin/env bash
# Renders about_animation.gif, the About window's animated picture: a 4 x 4
# grid of icon cells in which a coloured cell walks round the edge, one step
# per frame. Needs ImageMagick; the GIF it makes is committed.
set -euo pipefail
cd "$(dirname "$0")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
colours=(red orange yellow lime cyan dodgerblue blue magenta red orange yellow lime)
# The 12 edge cells of a 4 x 4 grid, clockwise from the top-left.
cells=("0 0" "1 0" "2 0" "3 0" "3 1" "3 2" "3 3" "2 3" "1 3" "0 3" "0 2" "0 1")
for f in $(seq 0 11); do
  draw=()
  for r in 0 1 2 3; do
    for c in 0 1 2 3; do
      draw+=(-fill gray20 -draw "rectangle $((2 + c * 12)),$((2 + r * 12)) $((11 + c * 12)),$((11 + r * 12))")
    done
  done
  for trail in 0 1 2; do
    i=$(((f - trail + 12) % 12))
    read -r c r <<<"${cells[$i]}"
    shade=$((100 - trail * 30))
    draw+=(-fill "${colours[$i]}" -draw "rectangle $((2 + c * 12)),$((2 + r * 12)) $((11 + c * 12)),$((11 + r * 12))")
    [ "$trail" -gt 0 ] && draw+=(-fill "rgba(0,0,0,0.$((100 - shade)))" -draw "rectangle $((2 + c * 12)),$((2 + r * 12)) $((11 + c * 12)),$((11 + r * 12))")
  done
  convert -size 50x50 xc:black "${draw[@]}" "$work/frame$(printf %02d "$f").png"
done
convert -delay 12 -loop 0 "$work"/frame*.png about_animation.gif
