#!/usr/bin/env bash
# Makes the clips of the Windows encoder tests in FOLDER with the host's ffmpeg: the real-world
# clip (MPEG-4 in AVI, 320x240, 100 frames), AVI files of uncompressed pictures in the forms
# AVIFile hands out, and an AviSynth script.
# Usage: win32_clips.sh FOLDER
set -euo pipefail
command -v ffmpeg >/dev/null || { echo "win32_clips: needs ffmpeg (scripts/test-windows)" >&2; exit 1; }
rm -rf "$1"
mkdir -p "$1"
cd "$1"
make() { ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25 "$@"; }
make -frames:v 100 -c:v mpeg4 -q:v 3 clip.avi
make -frames:v 10 -c:v rawvideo -pix_fmt yuv420p -vtag I420 i420.avi
make -frames:v 10 -c:v rawvideo -pix_fmt bgr24 bgr24.avi
make -frames:v 10 -c:v rawvideo -pix_fmt yuyv422 yuy2.avi
printf 'ColorBars()\r\n' >script.avs
