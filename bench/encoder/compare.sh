#!/usr/bin/env bash
# Encodes one clip in two passes with korvu-enc and with Debian's x264 tool on the same settings,
# alternately over several rounds, and reports the CPU and wall time of each (medians of the
# rounds, both passes together), their ratios, and the quality of both streams (SSIM against the
# source, ffmpeg's ssim filter). korvu-enc comes from a Release tree of its own.
#
# Usage: bench/encoder/compare.sh [rounds]        (default 5; also ROUNDS, SECONDS_OF_VIDEO, SIZE)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/bench-release
work=$build/encoder-compare
rounds=${1:-${ROUNDS:-5}}
seconds=${SECONDS_OF_VIDEO:-20}
size=${SIZE:-640x360}
bitrate=1200

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVU_SANITIZE=OFF \
  -DKORVU_TESTS=OFF -DKORVU_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target korvu-enc >/dev/null
korvu=$build/bin/korvu-enc

mkdir -p "$work"
cd "$work"
clip=clip.avi
if [ ! -f "$clip" ]; then
  echo "Making a ${seconds}-second ${size} clip ..."
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=s=${size}:r=25:d=${seconds}" \
    -f lavfi -i "sine=d=${seconds}" -c:v mpeg4 -q:v 2 -c:a pcm_s16le "$clip"
fi

# The window's defaults: balanced quality, 4 s GOP, 4 references, 2 B frames, no B references.
korvu_pass() {
  "$korvu" -npass "$1" -sf korvu.stats -br $bitrate -aqo 1 -I 4 -ref 4 -bf 2 -i "$clip" \
    -o korvu.264 >/dev/null
}
# The same for x264's front end: what korvu-enc's option table sets, in x264's words.
x264_pass() {
  local out=x264.264
  [ "$1" = 1 ] && out=/dev/null
  x264 --quiet --no-progress --demuxer lavf --force-cfr --preset medium --pass "$1" \
    --stats x264.stats --bitrate $bitrate --keyint 100 --ref 4 --bframes 2 --b-pyramid none \
    --level 4.0 --vbv-maxrate 20000 --vbv-bufsize 25000 -o "$out" "$clip" 2>/dev/null
}

# Appends "wall cpu" of both passes of one tool to its file.
measure() {
  local tool=$1 times
  times=$( { /usr/bin/time -f "%e %U %S" bash -c "$(declare -f "${tool}_pass"); \
             korvu=$korvu clip=$clip bitrate=$bitrate; ${tool}_pass 1 && ${tool}_pass 2" ; } 2>&1 \
           | tail -1)
  echo "$times" | awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' >>"$tool.times"
}

median() {  # column $2 of file $1
  sort -n -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ssim() {
  ffmpeg -nostdin -i "$1" -i "$clip" -lavfi "[0:v][1:v]ssim" -f null - 2>&1 \
    | sed -n 's/.*All:\([0-9.]*\).*/\1/p' | tail -1
}

rm -f korvu.times x264.times
for round in $(seq 1 "$rounds"); do
  # Alternate which goes first, so that neither always meets a warmer machine.
  if [ $((round % 2)) = 1 ]; then measure korvu; measure x264; else measure x264; measure korvu; fi
  echo "round $round: korvu-enc $(tail -1 korvu.times)   x264 $(tail -1 x264.times)   (wall cpu, s)"
done

kw=$(median korvu.times 1); kc=$(median korvu.times 2)
xw=$(median x264.times 1); xc=$(median x264.times 2)
ks=$(ssim korvu.264); xs=$(ssim x264.264)
options() { strings -n 40 "$1" | sed -n 's/.*options: //p' | head -1; }
same=no
[ "$(options korvu.264)" = "$(options x264.264)" ] && same=yes

echo
echo "clip: $size, ${seconds} s, 25 fps, MPEG-4 in AVI; -br $bitrate, two passes; $rounds rounds"
printf "%-10s %10s %10s %10s %10s\n" "" "wall s" "cpu s" "SSIM" "kbit/s"
for tool in korvu x264; do
  w=$([ $tool = korvu ] && echo "$kw" || echo "$xw"); c=$([ $tool = korvu ] && echo "$kc" || echo "$xc")
  s=$([ $tool = korvu ] && echo "$ks" || echo "$xs")
  rate=$(awk -v b="$(stat -c %s $tool.264)" -v s="$seconds" 'BEGIN { printf "%.1f", b * 8 / s / 1000 }')
  printf "%-10s %10s %10s %10s %10s\n" "$tool" "$w" "$c" "$s" "$rate"
done
awk -v kw="$kw" -v kc="$kc" -v xw="$xw" -v xc="$xc" -v ks="$ks" -v xs="$xs" 'BEGIN {
  printf "ratio korvu-enc / x264: wall %.3f, cpu %.3f; SSIM difference %+.5f\n", kw / xw, kc / xc, ks - xs
}'
echo "same x264 settings in both streams: $same"
