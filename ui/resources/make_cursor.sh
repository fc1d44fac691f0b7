#!/usr/bin/env bash
# Writes a 32 x 32 monochrome Windows cursor (.cur) from a text picture:
#   make_cursor.sh picture.txt out.cur
# The picture holds a "hotspot X Y" line and 32 rows of 32 characters:
# '#' black, 'o' white, '.' transparent; lines starting with '#' and a space are comments.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 picture.txt out.cur" >&2; exit 2; }

size=32
rows=()
hot_x="" hot_y=""
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in
    "# "*|"") ;;
    hotspot\ *) read -r _ hot_x hot_y <<<"$line" ;;
    *) rows+=("$line") ;;
  esac
done <"$1"

[ -n "$hot_x" ] || { echo "$1: no hotspot line" >&2; exit 1; }
[ "${#rows[@]}" -eq "$size" ] || { echo "$1: ${#rows[@]} rows, want $size" >&2; exit 1; }
for r in "${!rows[@]}"; do
  row="${rows[$r]}"
  [ "${#row}" -eq "$size" ] || { echo "$1: row $r has ${#row} characters, want $size" >&2; exit 1; }
  [[ "$row" =~ ^[#o.]+$ ]] || { echo "$1: row $r has a character other than # o ." >&2; exit 1; }
done

byte() { printf "\\x$(printf '%02x' "$1")"; }
le16() { byte $(($1 & 255)); byte $(($1 >> 8 & 255)); }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }

# One mask: rows bottom-up, 4 bytes per row, leftmost pixel in the high bit.
# The XOR mask's bit picks the palette colour (0 black, 1 white); the AND
# mask's bit set leaves the screen as it is (transparent).
mask() {
  local set_for="$1" r c bits
  for ((r = size - 1; r >= 0; r--)); do
    for ((c = 0; c < size; c += 8)); do
      bits=0
      for ((b = 0; b < 8; b++)); do
        [ "${rows[$r]:c+b:1}" = "$set_for" ] && bits=$((bits | 128 >> b))
      done
      byte "$bits"
    done
  done
}

header=40 palette=8 mask_bytes=$((size * size / 8))
image=$((header + palette + 2 * mask_bytes))
{
  le16 0; le16 2; le16 1                                # file header: a cursor with one image
  byte $size; byte $size; byte 2; byte 0                # width, height, colours, reserved
  le16 "$hot_x"; le16 "$hot_y"; le32 $image; le32 22    # hot spot, image size, image offset
  le32 $header; le32 $size; le32 $((2 * size))          # bitmap header: height counts both masks
  le16 1; le16 1; le32 0; le32 $((2 * mask_bytes))      # planes, 1 bit per pixel, uncompressed
  le32 0; le32 0; le32 2; le32 0
  le32 0x000000; le32 0xffffff                          # palette: black, white
  mask o
  mask .
} >"$2"
