#!/usr/bin/env bash
# Keystroke to repainted preview: Korvu against the bare window (bench-bare-window, whose line
# edits echo into a read-only box of the preview's size), measured from outside with XTest and
# XDamage (bench-keystroke-latency) on an Xvfb display with openbox. Two fields: the bitrate, and
# the input field holding the name of an existing file (each "1" typed makes it name none, each
# BackSpace names the file again: "Encode" flips every time). Rounds alternate which program goes
# first; the medians and 95th percentiles are over all keystrokes of all rounds. The goal is a
# ratio Korvu / bare window of at most 1.1 for both figures in both fields. The slowest twentieth
# of the keys is where the machine's own hiccups land; short rounds spread them over both programs.
#
# Usage: bench/app/keystrokes.sh [keys per field and program]   (default 400, in rounds of 50)
# Environment: KORVU_BIN, BARE_BIN, LATENCY_BIN, POINTS_BIN: the programs (default: built here in
# Release, in build/bench-app); POINTS_BIN (korvu-control-points) tells where the controls stand.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/bench-app
keys=${1:-400}
per_round=50
rounds=$(((keys + per_round - 1) / per_round))

if [ -z "${KORVU_BIN:-}" ] || [ -z "${BARE_BIN:-}" ] || [ -z "${LATENCY_BIN:-}" ] ||
  [ -z "${POINTS_BIN:-}" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVU_SANITIZE=OFF -DKORVU_TESTS=OFF \
    -DKORVU_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target Korvu korvu-cmd korvu-enc bench-bare-window \
    bench-keystroke-latency korvu-control-points >/dev/null
fi
korvu=${KORVU_BIN:-$build/bin/Korvu}
bare=${BARE_BIN:-$build/bin/bench-bare-window}
latency=${LATENCY_BIN:-$build/bin/bench-keystroke-latency}
points=$("${POINTS_BIN:-$build/bin/korvu-control-points}")
[ -n "${KORVU_BIN:-}" ] || "$root/scripts/stage" "$build/bin" >/dev/null

. "$root/tests/e2e/xharness.sh"
xh_start --wm openbox
work=$(mktemp -d)
trap 'xh_cleanup; [ -z "${KEEP:-}" ] || cp "$work"/*-* "$KEEP"/; rm -rf "$work"' EXIT
touch "$work/clip.avi"
# control NAME - "X Y LEFT TOP WIDTH HEIGHT" of the control NAME: its centre and its box
control() { awk -v name="$1" '$1 == name { $1 = ""; print }' <<<"$points"; }
read -r _ _ preview_box <<<"$(control jvtParams)"

# measure PROGRAM NAME FIELD [TEXT] - starts the program, puts TEXT into the field (a control's
# name), appends per_round latencies to $work/NAME.
measure() {
  local program=$1 name=$2 x y text=${4:-}
  read -r x y _ <<<"$(control "$3")"
  xh_launch "$work" env XDG_CONFIG_HOME="$work/config" "$program"
  xh_find_window "Korvu - making Pimbrosse!" 30 "$XH_APP_PID" >/dev/null
  sleep 1.5                    # the first activation and its preview
  xh_replace_text "$x" "$y" "${text:-300}"
  sleep 1
  xh_key Escape                # a suggestion list would take the keys
  "$latency" "$XH_WID" "$x" "$y" $preview_box "$per_round" >>"$work/$name"
  kill "$XH_APP_PID"
  wait "$XH_APP_PID" 2>/dev/null || true
}

# A round that counts for nothing: for about the first minute after the display has started, keys
# often took several times the usual latency, whichever program was measured then.
for program in "$korvu" "$bare"; do
  measure "$program" warm-up jveBitrate
  measure "$program" warm-up jveInput "$work/clip.avi"
done

for round in $(seq "$rounds"); do
  order=("$korvu:Korvu" "$bare:bare")
  [ $((round % 2)) = 1 ] || order=("$bare:bare" "$korvu:Korvu")
  for entry in "${order[@]}"; do
    program=${entry%%:*} name=${entry##*:}
    measure "$program" "$name-bitrate" jveBitrate
    measure "$program" "$name-input" jveInput "$work/clip.avi"
  done
done

stats() {  # FILE: "median p95" in milliseconds; a missed repaint (-1) counts as one second
  sed 's/^-1$/1000000/' "$1" | sort -n |
    awk '{ v[NR] = $1 } END { printf "%.2f %.2f %d\n", v[int((NR + 1) / 2)] / 1000, v[int(NR * 0.95 + 0.5)] / 1000, NR }'
}
echo "Keystroke to repainted preview on $DISPLAY, load $(cut -d' ' -f1-3 /proc/loadavg):"
printf '%-8s %14s %14s %14s %14s %7s %7s\n' field "Korvu median" "Korvu p95" "bare median" \
  "bare p95" ratio "p95"
for field in bitrate input; do
  read -r km kp kn <<<"$(stats "$work/Korvu-$field")"
  read -r bm bp bn <<<"$(stats "$work/bare-$field")"
  awk -v f="$field" -v km="$km" -v kp="$kp" -v bm="$bm" -v bp="$bp" -v n="$kn" 'BEGIN {
    printf "%-8s %11.2f ms %11.2f ms %11.2f ms %11.2f ms %7.3f %7.3f  (%d keys each)\n",
      f, km, kp, bm, bp, km / bm, kp / bp, n }'
done
