#!/usr/bin/env bash
# What screen readers hear of the window, read over AT-SPI from outside on a virtual display with a
# session bus and the accessibility bus of its own: every control named by its label's caption (or
# its own), lists included, and the spin fields as spin buttons with their value and limits. Then
# on Wayland (weston on a screen in memory), which lets no program bring back a window it minimised:
# "Encode" pressed as a screen reader does, the window stays on the screen during the run with only
# the preview taking input, and takes input again once the run's console has ended.
# Usage: atspi_e2e.sh KORVU KORVU_CMD KORVU_ENC CONTROL_POINTS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${KORVU_ATSPI_BUS:-}" ]; then
  # A session bus of the test's own, which starts the accessibility bus when asked for it.
  exec env KORVU_ATSPI_BUS=1 dbus-run-session -- "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
. "$here/korvu_e2e.sh"
e2e_start Xvfb openbox xdotool xclip
read_points "$4"
mkdir "$work/bin"
cp "$1" "$work/bin/"
export DBUS_SESSION_BUS_ADDRESS=$bus
korvu_window QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
korvu_pid=$(xdotool getwindowpid "$XH_WID")
heard() {  # heard [--press NAME | --state]: against the golden file without arguments
  [ $# -gt 0 ] || set -- "$here/../window/fixtures/main_form.txt"
  /usr/bin/python3 "$here/atspi_names.py" "$korvu_pid" "$@" >"$work/heard.txt" 2>&1
}
xh_wait_for 20 heard || fail "what screen readers hear differs: $(cat "$work/heard.txt")"
cat "$work/heard.txt"
xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"

cp "$2" "$3" "$work/bin/"
printf RIFF >"$work/clip.avi"  # the encoder refuses it: the run still goes to its end
printf '%s\r\n' "[Korvu]" "Encoder=$work/bin/korvu-enc" "Input=$work/clip.avi" \
  "Output=$work/clip.264" "Stats=divx264_stat.dat" "Threads=1" "Bitrate=300" >"$work/bin/Korvu.ini"
# The console: the script run without a window, then kept until the test ends it.
printf '#!/bin/sh\nshift\n"$@" </dev/null\nuntil [ -e "%s/end" ]; do sleep 0.1; done\n' "$work" \
  >"$work/console"
chmod +x "$work/console"
# The shell fades the screen in as it starts: a screenshot taken while it fades sees other colours.
printf '[shell]\nstartup-animation=none\nanimation=none\n' >"$work/weston.ini"
xh_launch "$work" weston --config="$work/weston.ini" --backend=headless-backend.so --use-pixman \
  --debug --socket=korvu-e2e --idle-time=0
xh_launch "$work" env -u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=korvu-e2e \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 TERMINAL="$work/console" ASAN_OPTIONS=detect_leaks=0 \
  "$here/../../scripts/open-window" "$work/bin"
korvu_pid=$XH_APP_PID
takes() { heard --state && grep -qx "shown on: $1" "$work/heard.txt"; }
# Shown: the screen holds the window's face (a minimised window leaves the desktop alone).
on_screen() {
  rm -f "$work"/wayland-screenshot*.png
  (cd "$work" && WAYLAND_DISPLAY=korvu-e2e weston-screenshooter) >/dev/null 2>&1
  [ "$(convert "$work"/wayland-screenshot*.png -fill black +opaque '#efefef' -fill white \
    -opaque '#efefef' -format '%[fx:int(mean*w*h)]' info:)" -gt 50000 ]
}
all_on="CLI Encoder location, \.\.\., .*, Save settings, Encode, Encoder command line"
xh_wait_for 30 takes "$all_on" || fail "not ready on Wayland: $(cat "$work/heard.txt")"
heard --press Encode || fail "$(cat "$work/heard.txt")"
xh_wait_for 20 takes "Encoder command line" || fail "during the run: $(cat "$work/heard.txt")"
on_screen || fail "the window left the screen during the run"
touch "$work/end"
xh_wait_for 20 takes "$all_on" || fail "after the run: $(cat "$work/heard.txt")"
on_screen || fail "the window is not on the screen after the run"
echo "atspi_e2e: passed"
