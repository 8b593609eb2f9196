#!/usr/bin/env bash
# Draws the add-in's icons with ImageMagick: each design once at 256 by 256 pixels, scaled down
# to the sizes an icon carries. Writes win/com/dll/icons/*.ico (the DLL's icon resources) and
# package/pictures/cal16.ico (the tag's icon). Run again after changing a design; commit the results.
set -euo pipefail
cd "$(dirname "$0")/.."
IM=/usr/bin/convert  # Debian's ImageMagick 6, not a convert elsewhere on the path
out=win/com/dll/icons
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# A calendar page: white sheet, red binding band, two rings, a grid of day squares.
calendar() {
  local draw="-stroke \"#3a3a3a\" -strokewidth 8 -fill white -draw 'roundrectangle 24,40 232,236 18,18'"
  draw+=" -stroke none -fill \"#d9363e\" -draw 'rectangle 28,44 228,96'"
  draw+=" -fill \"#3a3a3a\" -draw 'roundrectangle 70,18 90,66 8,8' -draw 'roundrectangle 166,18 186,66 8,8'"
  local x y
  for y in 116 156 196; do
    for x in 52 100 148 196; do
      draw+=" -fill \"#2f6db5\" -draw 'rectangle $((x - 12)),$((y - 12)) $((x + 12)),$((y + 12))'"
    done
  done
  echo "$draw"
}

# The base drawing of each design, on a transparent 256 by 256 canvas.
design() {
  local name=$1 file=$2 extra=""
  case $name in
    app) ;;
    display) extra="-fill \"#1e8c3a\" -stroke white -strokewidth 6 -draw 'polygon 150,150 246,198 204,208 236,246 220,254 188,216 160,244'" ;;
    enable) extra="-fill none -stroke \"#1e8c3a\" -strokewidth 30 -draw 'polyline 120,180 160,222 240,130'" ;;
    disable) extra="-fill none -stroke \"#c8102e\" -strokewidth 22 -draw 'circle 188,188 188,248' -draw 'line 146,146 230,230'" ;;
    about | help)
      local glyph="i"
      [ "$name" = help ] && glyph="?"
      eval "$IM -size 256x256 xc:none -fill '#2f6db5' -stroke '#1b4a80' -strokewidth 8 -draw 'circle 128,128 128,8' \
        -stroke none -fill white -font DejaVu-Sans-Bold -pointsize 190 -gravity center -annotate +0+8 '$glyph' '$file'"
      return ;;
    setting)
      local teeth="" a
      for a in 0 45 90 135; do
        teeth+=" -draw 'rotate $a rectangle -22,-118 22,118'"
      done
      eval "$IM -size 256x256 xc:none -fill '#6b6b6b' -stroke none \
        -draw 'translate 128,128 circle 0,0 0,88' $(echo "$teeth" | sed "s/rotate/translate 128,128 rotate/g") \
        -fill none -stroke white -strokewidth 22 -draw 'circle 128,128 128,94' \
        -fill white -stroke none -draw 'circle 128,128 128,158' '$file'"
      return ;;
  esac
  eval "$IM -size 256x256 xc:none $(calendar) $extra '$file'"
}

# ico <design> <output> <sizes...>: the design scaled to each size, in that order, in one icon.
ico() {
  local name=$1 target=$2 base="$work/$1.png" s
  shift 2
  [ -f "$base" ] || design "$name" "$base"
  local frames=()
  for s in "$@"; do
    "$IM" "$base" -filter Lanczos -resize "${s}x${s}" "PNG32:$work/$name-$s.png"
    frames+=("$work/$name-$s.png")
  done
  "$IM" "${frames[@]}" "$target"
}

# The ribbon loads a resource at its first size: large buttons first, 32 pixels.
ico about "$out/about.ico" 32 16
ico app "$out/app.ico" 32 16 48
ico app "$out/app16.ico" 16
ico app "$out/app32.ico" 32
ico app "$out/app48.ico" 48
ico disable "$out/disable.ico" 32 16
ico display "$out/display.ico" 32 16
ico enable "$out/enable.ico" 32 16
ico help "$out/help.ico" 32 16
ico setting "$out/setting16.ico" 16
ico setting "$out/setting32.ico" 32
ico app package/pictures/cal16.ico 16
# A look at all of them side by side, for a person.
"$IM" "$work"/*-32.png -background white -flatten +append -scale 400% "${1:-/tmp}/tessaly_icons.png" 2>/dev/null || true
echo "drawn"
