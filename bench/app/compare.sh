#!/usr/bin/env bash
# Times Korvu's start-up against a bare Qt window with the same controls (bench-bare-window): the
# whole process from its start to the first painted frame, side by side in hyperfine runs, and
# the peak memory of each (median over several runs, alternating), on an Xvfb display of its own.
# Both programs end themselves right after their first paint when KORVU_QUIT_AFTER_FIRST_PAINT is
# set. The goal is a ratio Korvu / bare window of at most 1.1 in time, CPU time and memory.
#
# Usage: bench/app/compare.sh [runs]     (default 60; memory takes a fifth of them, at least 5)
# Environment: KORVU_BIN, BARE_BIN: the two programs (default: Korvu and bench-bare-window, built
# here in a Release tree of their own, build/bench-app).
set -euo pipefail

for tool in hyperfine /usr/bin/time Xvfb; do
  command -v "$tool" >/dev/null || { echo "compare.sh needs $tool (Debian packages hyperfine, time, xvfb)" >&2; exit 1; }
done

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/bench-app
runs=${1:-60}
memory_runs=$((runs / 5 < 5 ? 5 : runs / 5))

targets=()
[ -n "${KORVU_BIN:-}" ] || targets+=(Korvu korvu-cmd korvu-enc)
[ -n "${BARE_BIN:-}" ] || targets+=(bench-bare-window)
if [ ${#targets[@]} -gt 0 ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVU_SANITIZE=OFF -DKORVU_TESTS=OFF \
    -DKORVU_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
fi
korvu=${KORVU_BIN:-$build/bin/Korvu}
# Korvu as ./run leaves it: its start-up also loads the Korvu.ini beside it.
[ -n "${KORVU_BIN:-}" ] || "$root/scripts/stage" "$build/bin" >/dev/null
bare=${BARE_BIN:-$build/bin/bench-bare-window}

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "compare.sh: Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
export XDG_RUNTIME_DIR=$work
export KORVU_QUIT_AFTER_FIRST_PAINT=1
unset WAYLAND_DISPLAY

for program in "$korvu" "$bare"; do
  timeout 30 "$program" >/dev/null 2>&1 || { echo "compare.sh: $program did not end by itself with status 0 after its first paint" >&2; exit 1; }
done

# hyperfine times one command after the other; on a busy machine the load drifts meanwhile. So the
# runs are split into rounds that alternate which program goes first, and the medians are taken
# over all runs of all rounds.
rounds=4
per_round=$(((runs + rounds - 1) / rounds))
echo "Start-up to the first painted frame, on Xvfb $DISPLAY ($rounds rounds of $per_round runs each):"
korvu_command=$(printf %q "$korvu")  # hyperfine splits a command into words as a shell does
bare_command=$(printf %q "$bare")
for round in $(seq "$rounds"); do
  pair=(--command-name Korvu "$korvu_command" --command-name "bare window" "$bare_command")
  [ $((round % 2)) = 1 ] ||
    pair=(--command-name "bare window" "$bare_command" --command-name Korvu "$korvu_command")
  hyperfine -N --style basic --warmup 3 --runs "$per_round" --export-json "$work/round$round.json" \
    "${pair[@]}"
done

times_of() {  # command name: every run's wall time in seconds, one a line, from all rounds
  awk -v name="$1" '
    /"command":/ { mine = index($0, "\"" name "\"") > 0 }
    /"times": \[/ { inside = mine; next }
    inside && /\]/ { inside = 0 }
    inside { gsub(/[ ,]/, ""); print }' "$work"/round*.json
}
cpu_of() {  # command name: its mean CPU time (user + system) in seconds over the rounds
  awk -v name="$1" '
    /"command":/ { mine = index($0, "\"" name "\"") > 0 }
    mine && /"(user|system)":/ { gsub(/[^0-9.e-]/, "", $2); sum += $2 }
    END { print sum / rounds }' rounds="$rounds" "$work"/round*.json
}
peak_kib() {  # program: its peak resident memory in KiB
  /usr/bin/time -f %M -o "$work/peak" "$1" >/dev/null 2>&1
  cat "$work/peak"
}
median() {
  sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
: >"$work/korvu.kib"
: >"$work/bare.kib"
for _ in $(seq "$memory_runs"); do
  peak_kib "$korvu" >>"$work/korvu.kib"
  peak_kib "$bare" >>"$work/bare.kib"
done

korvu_s=$(times_of Korvu | median)
bare_s=$(times_of "bare window" | median)
korvu_cpu=$(cpu_of Korvu)
bare_cpu=$(cpu_of "bare window")
korvu_kib=$(median <"$work/korvu.kib")
bare_kib=$(median <"$work/bare.kib")

echo
awk -v ks="$korvu_s" -v bs="$bare_s" -v kc="$korvu_cpu" -v bc="$bare_cpu" -v km="$korvu_kib" -v bm="$bare_kib" -v n="$memory_runs" 'BEGIN {
  printf "%-26s %12s %12s %8s\n", "median", "Korvu", "bare window", "ratio"
  printf "%-26s %9.1f ms %9.1f ms %8.3f\n", "time to first frame", ks * 1000, bs * 1000, ks / bs
  printf "%-26s %9.1f ms %9.1f ms %8.3f\n", "(CPU time, mean)", kc * 1000, bc * 1000, kc / bc
  printf "%-26s %8d KiB %8d KiB %8.3f\n", "peak memory (" n " runs)", km, bm, km / bm
  verdict = (ks / bs <= 1.1 && kc / bc <= 1.1 && km / bm <= 1.1) ? "met" : "missed"
  print "Goal (every ratio at most 1.1): " verdict
}'
