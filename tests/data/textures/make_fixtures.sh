#!/usr/bin/env bash
# Remakes the texture fixtures (not run by the build; the files are committed). Each is four
# quadrants: red, green, blue and white, the white one with alpha 0x88 where the file keeps alpha.
# Needs ImageMagick 6 and, for the DXT3 file, GIMP 2.10 (ImageMagick writes no DXT3).
set -euo pipefail
cd "$(dirname "$0")"
quad=(-size 4x4 xc:red xc:lime +append '(' -size 4x4 xc:blue 'xc:rgba(255,255,255,0.53333)' +append ')' -append)

convert "${quad[@]}" -depth 8 -define png:color-type=6 quad.png
# ImageMagick writes TGA rows top first whatever its header says, so the orientation is set (and
# the picture flipped for a file stored bottom row first).
convert quad.png -flip -orient BottomLeft quad.tga
convert quad.png -orient TopLeft -compress RLE quad_rle.tga
convert -size 3x2 xc:red xc:lime +append '(' -size 3x2 xc:blue xc:white +append ')' -append \
    -alpha off -type TrueColor BMP3:quad.bmp
convert -size 8x8 xc:red xc:lime +append '(' -size 8x8 xc:blue xc:white +append ')' -append \
    -quality 100 -sampling-factor 1x1 quad.jpg
convert "${quad[@]}" -alpha off -define dds:compression=dxt1 quad_dxt1.dds
convert "${quad[@]}" -define dds:compression=dxt5 quad_dxt5.dds
convert "${quad[@]}" -define dds:compression=none quad_argb.dds
gimp -i -d -f -b '(let* ((image (car (gimp-file-load RUN-NONINTERACTIVE "quad.png" "quad.png")))
                         (drawable (car (gimp-image-get-active-drawable image))))
                    (file-dds-save RUN-NONINTERACTIVE image drawable "quad_dxt3.dds" "quad_dxt3.dds"
                                   2 1 0 0 -1 0 0 0 0 2.2 0 0 0.5)
                    (gimp-quit 0))'
