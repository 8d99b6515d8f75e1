#!/usr/bin/env bash
# Makes the small pictures the decoding tests read (ImageMagick 6). Every
# picture but the JPEG carries the same known pixels: a 6 x 3 colour pattern
# (an odd row size, so that 24-bit rows need padding) and a 6 x 3 grey pattern
# that serves as alpha channel and as "-m" mask. Run it from anywhere; the
# pictures land beside the script.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cat >"$tmp/colour.ppm" <<'PPM'
P3
6 3
255
255 0 0   0 255 0   0 0 255   255 255 255   0 0 0   12 34 56
10 20 30  200 100 50  128 128 128  255 255 0  0 255 255  99 88 77
60 70 80  250 240 230  17 34 51  90 0 90  33 66 99  240 15 160
PPM
cat >"$tmp/grey.pgm" <<'PGM'
P2
6 3
255
0 64 128 192 255 32
255 192 128 64 0 16
255 255 0 0 255 100
PGM
colour="$tmp/colour.ppm"
grey="$tmp/grey.pgm"
png=(-strip -define png:exclude-chunks=date,time,gAMA,cHRM,sRGB,bKGD)
with_alpha=("$colour" "$grey" -alpha off -compose CopyOpacity -composite)

convert "$colour" "${png[@]}" -define png:color-type=2 -define png:bit-depth=8 rgb.png
convert "$colour" "${png[@]}" -depth 16 -define png:color-type=2 -define png:bit-depth=16 rgb16.png
convert "${with_alpha[@]}" "${png[@]}" -define png:color-type=6 -define png:bit-depth=8 rgba.png
convert "${with_alpha[@]}" "${png[@]}" -depth 16 -define png:color-type=6 \
    -define png:bit-depth=16 rgba16.png
convert "$colour" "${png[@]}" -define png:color-type=3 palette.png
convert "$grey" "$grey" -alpha off -compose CopyOpacity -composite "${png[@]}" \
    -define png:color-type=4 -define png:bit-depth=8 grey_alpha.png
convert "$grey" "${png[@]}" -define png:color-type=0 -define png:bit-depth=8 grey.png
convert "$grey" "${png[@]}" -depth 16 -define png:color-type=0 -define png:bit-depth=16 grey16.png

convert "$colour" -type TrueColor BMP3:rgb24.bmp
convert "$colour" -type Palette -compress none BMP3:palette8.bmp
convert "$colour" -type Palette -compress RLE BMP3:palette8_rle.bmp
convert "${with_alpha[@]}" -type TrueColorAlpha BMP:rgba32.bmp
convert "$grey" -type Palette -compress none BMP3:grey4.bmp

# ImageMagick writes no palette transparency, so these are written by hand:
# the colour pattern as a palette whose entries carry the grey pattern as
# alpha (every entry used once), and the same palette with only black
# transparent, which the decoder turns into a colour key.
COLOUR="$colour" GREY="$grey" python3 - <<'PY'
import os, struct, zlib

def numbers(path):
    return [int(word) for word in open(path).read().split()[4:]]

def chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data +
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

def write_palette_png(name, width, height, palette, alphas):
    rows = b"".join(b"\0" + bytes(range(y * width, (y + 1) * width)) for y in range(height))
    with open(name, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)))
        out.write(chunk(b"PLTE", b"".join(bytes(c) for c in palette)))
        out.write(chunk(b"tRNS", bytes(alphas)))
        out.write(chunk(b"IDAT", zlib.compress(rows)))
        out.write(chunk(b"IEND", b""))

rgb = numbers(os.environ["COLOUR"])
palette = [tuple(rgb[i:i + 3]) for i in range(0, len(rgb), 3)]
write_palette_png("palette_alpha.png", 6, 3, palette, numbers(os.environ["GREY"]))
write_palette_png("palette_key.png", 6, 3, palette,
                  [0 if colour == (0, 0, 0) else 255 for colour in palette])
PY
# Four flat 8 x 8 blocks, so that a lossy decoder still gives the block
# colours exactly enough in each block's middle.
convert -size 8x8 xc:'rgb(255,0,0)' xc:'rgb(0,255,0)' +append "$tmp/top.ppm"
convert -size 8x8 xc:'rgb(0,0,255)' xc:'rgb(255,255,255)' +append "$tmp/bottom.ppm"
convert "$tmp/top.ppm" "$tmp/bottom.ppm" -append -strip -quality 95 -sampling-factor 1x1 blocks.jpg

# A PNG cut off in the middle of its picture data.
head -c 120 rgba.png >truncated.png

# WebP, lossless, with and without alpha.
convert rgb.png -define webp:lossless=true rgb.webp
convert rgba.png -define webp:lossless=true rgba.webp
