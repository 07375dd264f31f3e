#!/usr/bin/env bash
# Draws the two program icons from the terminal face:
#   fwk400.ico  the designer (the terminal itself)
#   fwprg.ico   the editor sheet (a program sheet with the terminal on it)
# Needs ImageMagick. Run from anywhere; writes into resources/icons.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
face="$root/resources/face"
out="$root/resources/icons"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# The face cut to its outline (the body's corners are transparent), scaled
# into a square.
convert "$face/body.bmp" -alpha set -fuzz 0% -transparent "#000000" \
    -resize 96x96 -background none -gravity center -extent 96x96 "$tmp/terminal.png"
for s in 16 32 48; do
    convert "$tmp/terminal.png" -resize ${s}x${s} "$tmp/t$s.png"
done
convert "$tmp/t16.png" "$tmp/t32.png" "$tmp/t48.png" "$out/fwk400.ico"

# A white sheet with a folded corner, the terminal standing on it.
convert -size 96x96 xc:none -fill white -stroke "#404040" -strokewidth 3 \
    -draw "polygon 14,4 64,4 84,24 84,92 14,92 14,4" \
    -fill "#d0d0d0" -draw "polygon 64,4 64,24 84,24" \
    -stroke "#6080a0" -strokewidth 3 \
    -draw "line 22,30 50,30" -draw "line 22,42 50,42" -draw "line 22,54 50,54" "$tmp/sheet.png"
convert "$tmp/terminal.png" -resize 60x60 "$tmp/small.png"
convert "$tmp/sheet.png" "$tmp/small.png" -gravity southeast -geometry +0+0 -composite "$tmp/prg.png"
for s in 16 32 48; do
    convert "$tmp/prg.png" -resize ${s}x${s} "$tmp/p$s.png"
done
convert "$tmp/p16.png" "$tmp/p32.png" "$tmp/p48.png" "$out/fwprg.ico"
echo "wrote $out/fwk400.ico $out/fwprg.ico"
