#!/usr/bin/env bash
# korvu-enc.exe under Wine and korvu-enc on Linux, both passes of the same clip with the same
# arguments (Korvu's defaults, one thread: x264's threads do not repeat themselves): the two
# streams are the same bytes. Windows reads the clip and writes every file under names holding an
# "é" and a blank, and encodes twice, the second time over the files of the first; ffprobe reads
# the stream as H.264 with the clip's frame count.
# Usage: win32_stream_e2e.sh KORVU_ENC_EXE LINUX_KORVU_ENC CLIPS [WINE64]
set -euo pipefail
exe=$1 linux=$2 clips=$3 wine=${4:-/usr/lib/wine/wine64}
fail() { echo "win32_stream_e2e: $*" >&2; exit 1; }
if [ ! -x "$linux" ]; then
  echo "win32_stream_e2e: skipped, no Linux korvu-enc to compare with (KORVU_LINUX_ENC)"
  exit 77
fi
work=$(mktemp -d /tmp/korvu-stream.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$clips/clip.avi" "$work/clip é x.avi"
cp "$clips/clip.avi" "$work/clip.avi"
options=(-aqo 1 -br 1000 -threads 1 -I 4 -bf 2 -ref 4 -bref)
win() { printf 'Z:%s' "${1//\//\\}"; }

# Wine reads its arguments in the locale's encoding.
export LC_ALL=C.UTF-8
for round in 1 2; do
  for pass in 1 2; do
    "$wine" "$exe" -i "$(win "$work/clip é x.avi")" -o "$(win "$work/out é x.264")" \
      -sf "$(win "$work/stats é x.dat")" -npass $pass "${options[@]}" >/dev/null ||
      fail "korvu-enc.exe, round $round, pass $pass"
  done
done
(cd "$work" && for pass in 1 2; do
  "$linux" -i clip.avi -o linux.264 -sf linux.dat -npass $pass "${options[@]}" >/dev/null ||
    fail "korvu-enc, pass $pass"
done)

windows_hash=$(sha256sum <"$work/out é x.264" | cut -d' ' -f1)
linux_hash=$(sha256sum <"$work/linux.264" | cut -d' ' -f1)
[ "$windows_hash" = "$linux_hash" ] ||
  fail "the streams differ: Windows $windows_hash, Linux $linux_hash"
probed=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$work/out é x.264")
[ "$probed" = "h264,100" ] || fail "ffprobe read '$probed', expected h264,100"
echo "win32_stream_e2e: passed ($windows_hash)"
