#!/usr/bin/env bash
# Encodes one clip in two passes with korvu-enc and with Debian's x264 tool on the same settings,
# alternately over several rounds, and reports the CPU and wall time of each (medians of the
# rounds, both passes together), their ratios, and the quality of both streams (SSIM against the
# source, ffmpeg's ssim filter). korvu-enc comes from a Release tree of its own.
# With --windows: korvu-enc.exe of the Windows build (build/windows, as scripts/test-windows makes
# it) against x264.exe built from the same Debian sources (scripts/windows-libs: the same libx264,
# reading through the same FFmpeg), both under Wine in a prefix of their own.
#
# Usage: bench/encoder/compare.sh [--windows] [rounds]     (default 5)
# Environment: SIZE (default 640x360), SECONDS_OF_VIDEO (default 20), BITRATE (default 1200)
set -euo pipefail

for tool in /usr/bin/time x264 ffmpeg strings; do
  command -v "$tool" >/dev/null || { echo "compare.sh needs $tool (Debian packages time, x264, ffmpeg, binutils)" >&2; exit 1; }
done

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/bench-release
windows=
if [ "${1:-}" = --windows ]; then
  windows=1
  shift
fi
rounds=${1:-5}
size=${SIZE:-640x360}
seconds=${SECONDS_OF_VIDEO:-20}
bitrate=${BITRATE:-1200}

if [ -n "$windows" ]; then
  build=$root/build/windows
  [ -x "$build/bin/korvu-enc.exe" ] || { echo "compare.sh: no $build/bin/korvu-enc.exe (scripts/test-windows)" >&2; exit 1; }
  x264_exe=$("$root/scripts/windows-libs")/bin/x264.exe
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  WINEPREFIX=$(mktemp -d /tmp/korvu-bench-wine.XXXXXX)
  # x264.exe takes MinGW's thread library as a DLL, from MinGW's folder.
  export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    WINEPATH='Z:\usr\x86_64-w64-mingw32\lib'

  trap '"$(dirname "$wine")/wineserver" -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
  # One server for all the runs, as a user's session has.
  "$(dirname "$wine")/wineserver" -p
  "$wine" wineboot --init >/dev/null 2>&1
else
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVU_SANITIZE=OFF \
    -DKORVU_TESTS=OFF -DKORVU_BENCH=OFF >/dev/null
  cmake --build "$build" -j2 --target korvu-enc >/dev/null
fi

mkdir -p "$build/encoder-compare"
cd "$build/encoder-compare"
clip=clip-$size-${seconds}s.avi
if [ ! -f "$clip" ]; then
  echo "Making $clip ..."
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=s=$size:r=25:d=$seconds" \
    -f lavfi -i "sine=d=$seconds" -c:v mpeg4 -q:v 2 -c:a pcm_s16le "$clip"
fi

# The window's defaults: balanced quality, 4 s GOPs, 4 references, 2 B frames, no B references;
# for x264's own front end the same, in its words (the clip has 25 fps: 4 s are 100 frames).
korvu=("$build/bin/korvu-enc" -sf korvu.stats -br "$bitrate" -aqo 1 -I 4 -ref 4 -bf 2
       -i "$clip" -o korvu.264)
x264=(x264 --quiet --no-progress --demuxer lavf --force-cfr --preset medium --stats x264.stats
      --bitrate "$bitrate" --keyint 100 --ref 4 --bframes 2 --b-pyramid none --level 4.0
      --vbv-maxrate 20000 --vbv-bufsize 25000 "$clip")
null=/dev/null
if [ -n "$windows" ]; then
  korvu[0]=$build/bin/korvu-enc.exe
  korvu=("$wine" "${korvu[@]}")
  x264=("$wine" "$x264_exe" "${x264[@]:1}")
  null=NUL
fi

timed() {  # file, command...: appends "wall user system" of the command to the file
  local file=$1
  shift
  /usr/bin/time -a -o "$file" -f "%e %U %S" "$@" >/dev/null 2>&1
}

measure() {  # tool: appends "wall cpu" of its two passes to <tool>.times
  rm -f "$1.passes"
  if [ "$1" = korvu ]; then
    timed korvu.passes "${korvu[@]}" -npass 1
    timed korvu.passes "${korvu[@]}" -npass 2
  else
    timed x264.passes "${x264[@]}" --pass 1 -o "$null"
    timed x264.passes "${x264[@]}" --pass 2 -o x264.264
  fi
  awk '{ wall += $1; cpu += $2 + $3 } END { printf "%.2f %.2f\n", wall, cpu }' "$1.passes" >>"$1.times"
}

median() {  # file, column
  sort -n -k"$2" "$1" | awk -v c="$2" '{ v[NR] = $c }
    END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ssim() {
  ffmpeg -nostdin -i "$1" -i "$clip" -lavfi "[0:v][1:v]ssim" -f null - 2>&1 \
    | sed -n 's/.*All:\([0-9.]*\).*/\1/p' | tail -1
}

settings() {  # the option string x264 writes into its stream
  strings -n 40 "$1" | sed -n 's/.*options: //p' | head -1
}

rm -f korvu.times x264.times
for round in $(seq 1 "$rounds"); do
  # Alternate which goes first, so that neither always meets a warmer machine.
  if [ $((round % 2)) = 1 ]; then measure korvu; measure x264; else measure x264; measure korvu; fi
  echo "round $round: korvu-enc $(tail -1 korvu.times)   x264 $(tail -1 x264.times)   (wall, cpu s)"
done

echo
echo "$clip: $size, $seconds s at 25 fps, MPEG-4 in AVI; -br $bitrate, two passes, $rounds rounds${windows:+, under Wine}"
printf "%-10s %8s %8s %10s %8s\n" "" "wall s" "cpu s" "SSIM" "kbit/s"
for tool in korvu x264; do
  printf "%-10s %8s %8s %10s %8s\n" "$tool" "$(median $tool.times 1)" "$(median $tool.times 2)" \
    "$(ssim $tool.264)" "$(awk -v b="$(stat -c %s $tool.264)" -v s="$seconds" \
                           'BEGIN { printf "%.1f", b * 8 / s / 1000 }')"
done
awk -v kw="$(median korvu.times 1)" -v kc="$(median korvu.times 2)" \
    -v xw="$(median x264.times 1)" -v xc="$(median x264.times 2)" \
    -v ks="$(ssim korvu.264)" -v xs="$(ssim x264.264)" 'BEGIN {
  printf "korvu-enc / x264: wall %.3f, cpu %.3f; SSIM difference %+.5f\n", kw / xw, kc / xc, ks - xs
}'
if [ "$(settings korvu.264)" = "$(settings x264.264)" ]; then
  echo "Both streams carry the same x264 settings."
else
  echo "The streams carry different x264 settings:"
  diff <(settings korvu.264 | tr ' ' '\n') <(settings x264.264 | tr ' ' '\n') || true
fi
