#!/usr/bin/env bash
# Draws the two program icons from the terminal face:
#   fwk400.ico  the designer (the terminal itself)
#   fwprg.ico   the editor sheet (a program sheet with the terminal on it)
# Needs ImageMagick. Run from anywhere; writes into resources/icons.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/resources/icons"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The face as the designer draws it: make_face from a native build
# (cmake --build build/native --target make_face).
face="$tmp/face"
"${MAKE_FACE:-$root/build/native/tools/artwork/make_face}" "$face" 100 >/dev/null
mkdir -p "$out"

# The sizes Windows asks for, up to the 256-pixel image of large icon views
# (stored compressed in the icon file).
sizes="16 32 48 256"

# The face cut to its outline (the body's corners are transparent), scaled
# into a square.
convert "$face/body.bmp" -alpha set -fuzz 0% -transparent "#000000" \
    -resize 256x256 -background none -gravity center -extent 256x256 "$tmp/terminal.png"
icons=()
for s in $sizes; do
    convert "$tmp/terminal.png" -resize ${s}x${s} -depth 8 "$tmp/t$s.png"
    icons+=("$tmp/t$s.png")
done
convert "${icons[@]}" "$out/fwk400.ico"

# A white sheet with a folded corner, the terminal standing on it.
convert -size 256x256 xc:none -fill white -stroke "#404040" -strokewidth 8 \
    -draw "polygon 37,11 171,11 224,64 224,245 37,245 37,11" \
    -fill "#d0d0d0" -draw "polygon 171,11 171,64 224,64" \
    -stroke "#6080a0" -strokewidth 8 \
    -draw "line 59,80 133,80" -draw "line 59,112 133,112" -draw "line 59,144 133,144" "$tmp/sheet.png"
convert "$tmp/terminal.png" -resize 160x160 "$tmp/small.png"
convert "$tmp/sheet.png" "$tmp/small.png" -gravity southeast -geometry +0+0 -composite "$tmp/prg.png"
icons=()
for s in $sizes; do
    convert "$tmp/prg.png" -resize ${s}x${s} -depth 8 "$tmp/p$s.png"
    icons+=("$tmp/p$s.png")
done
convert "${icons[@]}" "$out/fwprg.ico"
echo "wrote $out/fwk400.ico $out/fwprg.ico"
