#!/usr/bin/env bash
# Times Korvu.exe's start-up under Wine against a bare Win32 window with the same controls
# (korvu-bare-window-win32): the whole process from its start to the first painted frame, both
# in one hyperfine invocation, on an Xvfb display of its own with openbox as the window manager.
# Both programs end themselves right after their first paint when KORVU_QUIT_AFTER_FIRST_PAINT is
# set. The goal is a ratio Korvu.exe / bare window of at most 1.1.
#
# A fresh Wine prefix with Tahoma installed (else Wine draws Tahoma with DejaVu Sans) and one
# wineserver for the whole run, so that no run pays a server start. Each program runs from a
# folder of its own, stripped as the download ships it.
#
# On an idle machine Wine's own start swings: every round trip to the server wakes an idle
# processor first, and a run pays for that or not. A busy loop at the lowest priority on one
# processor keeps it awake during the measurement, for both programs alike (STEADY=0: none).
#
# Usage: bench/app/win32/startup.sh [KORVU_EXE [BARE_EXE]]
#   default: build/windows/bin/Korvu.exe and korvu-bare-window-win32.exe, built here first by the
#   MinGW cross build. Environment: RUNS (default 30) and WARMUP (default 3) per program and
#   round, ROUNDS (default 1: one hyperfine invocation; see below).
set -euo pipefail
# Paths relative to the caller's folder, resolved before the move to the source tree.
korvu=${1:+$(realpath "$1")}
bare=${2:+$(realpath "$2")}
cd "$(dirname "$0")/../../.."

packages=(hyperfine xvfb openbox x11-utils wine64 fonts-wine)
[ $# -gt 0 ] || packages+=(g++-mingw-w64-x86-64-posix)
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" = 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi

if [ $# -eq 0 ]; then
  cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/windows -j2 --target Korvu korvu-bare-window-win32 >/dev/null
fi
korvu=${korvu:-$PWD/build/windows/bin/Korvu.exe}
bare=${bare:-$PWD/build/windows/bin/korvu-bare-window-win32.exe}
runs=${RUNS:-30}
warmup=${WARMUP:-3}
rounds=${ROUNDS:-1}

wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)

work=$(mktemp -d /tmp/korvu-startup.XXXXXX)
server_pid='' server_dir='' xvfb_pid='' openbox_pid='' steady_pid=''
cleanup() {
  [ -z "$steady_pid" ] || kill "$steady_pid" 2>/dev/null || true
  [ -z "$openbox_pid" ] || kill "$openbox_pid" 2>/dev/null || true
  if [ -n "$server_pid" ]; then
    "$wineserver" -k 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$server_pid" 2>/dev/null || true
  fi
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  [ -z "$server_dir" ] || rm -rf "$server_dir"
  rm -rf "$work"
}
trap cleanup EXIT

# Each program in a folder of its own.
mkdir "$work/korvu" "$work/bare"
staged_korvu=$work/korvu/Korvu.exe
staged_bare=$work/bare/$(basename "$bare")
cp "$korvu" "$staged_korvu"
cp "$bare" "$staged_bare"
if command -v x86_64-w64-mingw32-strip >/dev/null; then
  x86_64-w64-mingw32-strip "$staged_korvu" "$staged_bare"
fi

# A display of its own: Xvfb picks a free number and writes it to the descriptor it is given.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "startup.sh: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
DISPLAY=:$(head -1 "$work/display")
export DISPLAY
openbox >"$work/openbox.log" 2>&1 &
openbox_pid=$!
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

# Quiet, and without the Mono and Gecko installers a new prefix would offer.
unset WAYLAND_DISPLAY
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 WINEPREFIX=$work/prefix
mkdir "$WINEPREFIX"
# In the foreground (to the shell, in the background) so that its process id is known; clients
# must find it listening, or each would start a server of its own.
"$wineserver" -f -p &
server_pid=$!
# Its socket: in /tmp/.wine-UID, or with Debian's Wine in the /tmp/wine-XXXXXX that the prefix's
# file "wineserver" names.
server=server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")
for _ in $(seq 100); do
  [ ! -f "$WINEPREFIX/wineserver" ] || server_dir=/tmp/$(cat "$WINEPREFIX/wineserver")
  [ -S "${server_dir:-/tmp/.wine-$(id -u)}/$server/socket" ] && break
  sleep 0.1
done
# With the display: the desktop process it starts draws every window of the prefix.
"$wine" wineboot --init >/dev/null 2>&1
cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# Wine closes the desktop about a second after its last program ended, and the next start pays for
# a new one. A command interpreter waiting on a pipe that this script holds keeps it up, as a
# Windows desktop is; it ends with the script.
exec 4> >("$wine" cmd >/dev/null 2>&1)

# Each program must end by itself after its first paint, or hyperfine would wait forever.
for program in "$staged_korvu" "$staged_bare"; do
  status=0
  KORVU_QUIT_AFTER_FIRST_PAINT=1 timeout 60 "$wine" "$program" >"$work/first.log" 2>&1 || status=$?
  [ "$status" = 0 ] && continue
  echo "startup.sh: $program did not end by itself with status 0 after its first paint" \
    "(status $status):" >&2
  cat "$work/first.log" >&2
  exit 1
done

command_of() {  # hyperfine splits a command into words as a shell does
  printf 'env KORVU_QUIT_AFTER_FIRST_PAINT=1 %q %q' "$wine" "$1"
}
korvu_command=(--command-name Korvu.exe "$(command_of "$staged_korvu")")
bare_command=(--command-name "bare window" "$(command_of "$staged_bare")")
# hyperfine runs one command's runs after the other's; on a busy machine the load drifts meanwhile.
# With ROUNDS above 1 the invocation is repeated, the order swapped each time, and the figures are
# taken over the runs of all rounds.
if [ "${STEADY:-1}" != 0 ]; then
  nice -n 19 taskset -c 0 sh -c 'while :; do :; done' &
  steady_pid=$!
fi
echo "Load before: $(uptime)"
echo "Start-up to the first painted frame under Wine on Xvfb $DISPLAY with openbox:"
for round in $(seq "$rounds"); do
  pair=("${korvu_command[@]}" "${bare_command[@]}")
  [ $((round % 2)) = 1 ] || pair=("${bare_command[@]}" "${korvu_command[@]}")
  # A Wine process now and then fails to start at all (status 1, no output); hyperfine stops at
  # such a run, and the round is run again, twice at most.
  for attempt in 1 2 3; do
    hyperfine -N --style basic --warmup "$warmup" --runs "$runs" \
      --export-json "$work/round$round.json" "${pair[@]}" && break
    [ "$attempt" != 3 ] || exit 1
    echo "startup.sh: a run failed to start; round $round again"
  done
done
echo "Load after: $(uptime)"

echo
python3 - "$work"/round*.json <<'EOF'
import json, statistics, sys
times, cpu = {}, {}
for path in sys.argv[1:]:
    for r in json.load(open(path))["results"]:
        times.setdefault(r["command"], []).extend(r["times"])
        cpu.setdefault(r["command"], []).extend([r["user"] + r["system"]] * len(r["times"]))
korvu, bare = "Korvu.exe", "bare window"
rows = [(name, f(times[korvu]), f(times[bare])) for name, f in
        (("mean", statistics.mean), ("median", statistics.median), ("min", min))]
rows.append(("CPU user+sys (mean)", statistics.mean(cpu[korvu]), statistics.mean(cpu[bare])))
print(f"{len(times[korvu]):3} runs each{'':14} {'Korvu.exe':>12} {'bare window':>12} {'ratio':>8}")
for name, k, b in rows:
    print(f"{name:26} {k * 1000:9.1f} ms {b * 1000:9.1f} ms {k / b:8.3f}")
met = rows[0][1] / rows[0][2] <= 1.1 and rows[1][1] / rows[1][2] <= 1.1
print("Goal (time to first frame at most 1.1x the bare window, mean and median):",
      "met" if met else "missed")
EOF
