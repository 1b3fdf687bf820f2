#!/usr/bin/env bash
# Remakes the AVI fixtures of the video tests with ffmpeg (not needed for building or testing).
# ZMBV is lossless and codes frames as differences to the previous one, with a key frame every
# fourth frame, so decoded colours are exact and a frame past a key frame needs the frames before it.
set -euo pipefail
cd "$(dirname "$0")"

# 30 x 22 pixels, 10 frames per second, 12 frames. Frame n: the upper 11 rows are
# (255 - 20 n, 20 n, 60 (n mod 4)) in red, green, blue; the lower 11 rows are black.
ffmpeg -hide_banner -loglevel error -y -f lavfi \
  -i "color=c=black:s=30x22:r=10:d=1.2,format=rgb24,geq=r='lt(Y\,11)*(255-20*N)':g='lt(Y\,11)*20*N':b='lt(Y\,11)*60*mod(N\,4)'" \
  -c:v zmbv -keyint_min 4 -g 4 -pix_fmt bgr0 -an colours.avi

# A video stream without frames.
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "color=c=red:s=16x16:r=10:d=1" \
  -frames:v 0 -c:v zmbv -pix_fmt bgr0 -an no_frames.avi

# Three frames at 2000 frames per second (half a millisecond each). The muxer will not write such a
# rate, so the stream header's scale and rate (and the main header's microseconds per frame) are set
# afterwards.
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "color=c=red:s=16x16:r=10:d=0.3" \
  -c:v zmbv -pix_fmt bgr0 -an too_fast.avi
python3 - too_fast.avi <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, 'rb').read())
avih = data.find(b'avih') + 8
struct.pack_into('<I', data, avih, 500)
strh = data.find(b'strh') + 8
struct.pack_into('<II', data, strh + 20, 1, 2000)
open(path, 'wb').write(bytes(data))
PY
