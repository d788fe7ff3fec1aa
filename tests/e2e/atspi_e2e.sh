#!/usr/bin/env bash
# What screen readers hear of the window, read over AT-SPI from outside on a virtual display with a
# session bus and the accessibility bus of its own: every control named by its label's caption (or
# its own), lists included, and the spin fields as spin buttons with their value and limits.
# Usage: atspi_e2e.sh KORVU
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${KORVU_ATSPI_BUS:-}" ]; then
  # A session bus of the test's own, which starts the accessibility bus when asked for it.
  exec env KORVU_ATSPI_BUS=1 dbus-run-session -- "$0" "$@"
fi
bus=$DBUS_SESSION_BUS_ADDRESS
. "$here/xharness.sh"

fail() {
  echo "atspi_e2e: $*" >&2
  [ -z "${XH_WID:-}" ] || xh_screenshot "${KORVU_E2E_SHOT:-/tmp/atspi_e2e.png}" root || true
  exit 1
}
xh_start --wm openbox
work=$(mktemp -d)
trap 'xh_cleanup; rm -rf "$work"' EXIT
mkdir "$work/bin"
cp "$1" "$work/bin/"
export DBUS_SESSION_BUS_ADDRESS=$bus
xh_launch "$work" env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_CONFIG_HOME="$work/config" \
  ASAN_OPTIONS=detect_leaks=0 "$here/../../scripts/open-window" "$work/bin"
korvu=$XH_APP_PID
xh_find_window "Korvu - making Pimbrosse!" 30 "$korvu"
korvu_pid=$(xdotool getwindowpid "$XH_WID")
heard() { /usr/bin/python3 "$here/atspi_names.py" "$korvu_pid" \
  "$here/../window/fixtures/main_form.txt" >"$work/heard.txt" 2>&1; }
xh_wait_for 20 heard || fail "what screen readers hear differs: $(cat "$work/heard.txt")"
cat "$work/heard.txt"
xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"
echo "atspi_e2e: passed"
