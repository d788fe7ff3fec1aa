# korvu_e2e.sh - the start that the end-to-end scripts of the window share, sourced after
# `set -euo pipefail`: xharness.sh, `fail` (with a screenshot of the screen), the tools checked, a
# display of the script's own (Xvfb, openbox), a work folder that goes at the end with everything
# the script started, and where each control of the window stands.
#
#   e2e_start TOOL...         # the tools checked, the display up, an empty folder in `work`
#   read_points COMMAND...    # `at` from korvu-control-points, which COMMAND... runs
#   xh_click ${at[jvbEncode]} # "X Y": a control's centre (at[jveInput.browse]: its browse button)
#   on_exit COMMAND           # COMMAND run at the end, before the display goes
#   korvu_window [ENV...]     # Korvu of $work/bin started from $work as ./run starts it, its pid in
#                             # `korvu`; window_ready follows
#   window_ready PID          # the window of PID found (XH_WID) and its first preview shown

e2e=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$e2e/xharness.sh"
title="Korvu - making Pimbrosse!"
e2e_name=$(basename "$0" .sh)
e2e_exits=() e2e_shot= work=
declare -A at
XH_NO_TRAP=1

fail() {
  echo "$e2e_name: $*" >&2
  if [ -n "$XH_DIR" ] && [ -z "$e2e_shot" ]; then
    e2e_shot=1
    xh_screenshot "${KORVU_E2E_SHOT:-/tmp/$e2e_name-failure.png}" root || true
  fi
  exit 1
}

e2e_start() {
  local tool
  for tool; do
    command -v "$tool" >/dev/null || fail "needs $tool (scripts/install-deps, scripts/test-windows)"
  done
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  xh_start --wm openbox
  work=$(mktemp -d /tmp/korvu-e2e.XXXXXX)
}
on_exit() { e2e_exits+=("$1"); }
e2e_cleanup() {
  set +e # a child's status must not end the cleanup half-way
  local step
  for step in "${e2e_exits[@]}"; do eval "$step"; done
  xh_cleanup
  [ -z "$work" ] || rm -rf "$work"
}

read_points() {
  local name x y
  while read -r name x y _; do at[$name]="$x $y"; done < <("$@" | tr -d '\r')
  [ -n "${at[jvtParams]:-}" ] || fail "no control points from $*"
  read -r XH_PREVIEW_X XH_PREVIEW_Y <<<"${at[jvtParams]}"
}

korvu_window() {
  xh_launch "$work" env XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0 "$@" \
    "$e2e/../../scripts/open-window" "$work/bin"
  korvu=$XH_APP_PID
  window_ready "$korvu"
}
window_ready() {
  xh_find_window "$title" 60 "$1" || fail "no window of Korvu $1"
  xh_wait_for 30 eval 'xh_read_preview >/dev/null' || fail "no preview in Korvu $1"
}

# For the one-run scripts, whose encode_until_pause [ARGS] runs "Encode" in XH_WID until the job
# script waits at its final pause, and whose end_console presses the key it waits for:
# run_ended WINDOW WHICH - WINDOW's run ended with its console's key, and the window back;
# run_in WINDOW WHICH [ARGS] - "Encode" in WINDOW run to its pause, then run_ended.
run_ended() {
  XH_WID=$1
  end_console
  xh_wait_restored 20 || fail "the $2 window was not restored"
}
run_in() {
  XH_WID=$1
  xh_activate
  encode_until_pause "${@:3}"
  run_ended "$1" "$2"
}
