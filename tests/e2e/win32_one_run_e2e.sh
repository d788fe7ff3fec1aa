#!/usr/bin/env bash
# One run at a time per installation, Korvu.exe under Wine, driven from outside on a virtual display
# with a window manager: two Korvu.exe started from one folder. The first one's "Encode" runs both
# passes of the stub encoder, and while its console waits at the script's final pause, "Encode" in
# the second window shows the error box naming Korvu.bat (the text the job core gives for the same
# click, told by the probe) and starts nothing; Korvu.bat stays as the first run wrote it. Once
# that console has ended, the second window's "Encode" runs. The hold lasts as long as the run:
# after a Korvu.exe killed during its run (taskkill /F), a new one is refused the same way while
# the killed one's console still runs, and runs once that console has ended.
# Usage: win32_one_run_e2e.sh KORVU_EXE PROBE_EXE STUB_ENCODER_EXE CONTROL_POINTS_EXE [WINE64]
# Wine runs in a prefix and with a server of the test's own, started once the display is there (see
# win32_window_e2e.sh).
set -euo pipefail
. "$(dirname "$0")/korvu_e2e.sh"
. "$e2e/wine_prefix.sh"
wine=${5:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
e2e_start Xvfb openbox xdotool xclip wmctrl xprop xwininfo "$wine"
wine_korvu_start "$wine" "${@:1:4}"
script=$app/Korvu.bat
# Korvu.ini beside the registered program names the clip and a bitrate, so that both windows start
# ready to encode.
printf '[Korvu]\r\nInput=%s\r\nBitrate=1500\r\n' "$(win "$work/clip.avi")" >"$app/Korvu.ini"

# launch - starts Korvu.exe; its pid in `korvu`, its window in XH_WID.
launch() { korvu_exe && window_ready "$korvu"; }
# box_text - the text of the shown message box with the window's caption.
box_text() { (cd "$work/probe" && "$wine" probe.exe box "$title") | sed -n 's/^text://p'; }
consoles() { wmctrl -l | awk '/Korvu\.bat/ {print $1}'; }
passes() { grep -c '^end$' "$record" 2>/dev/null || true; }
# encode_until_pause PASSES - presses "Encode" in XH_WID and waits until the record holds PASSES
# passes and the script waits at its final pause; the console's window id in `console`.
encode_until_pause() {
  local want=$1
  xh_click ${at[jvbEncode]}
  xh_wait_minimised 20 || fail "the window was not minimised during its run"
  xh_wait_for 30 eval '[ "$(consoles | wc -l)" = 1 ]' || fail "not one console"
  console=$(consoles)
  xh_wait_for 30 eval '[ "$(passes)" = "$want" ]' || fail "passes run: $(passes), expected $want"
  sleep 1 # the script rings the bell and reaches PAUSE
}
end_console() {
  xh_activate "$((console))" || fail "the console did not take the focus"
  xh_key Return
  xh_wait_for 10 xh_window_gone "$((console))" || fail "the console stayed after its key"
}

launch
first=$korvu first_window=$XH_WID
encode_until_pause 2
cp "$script" "$work/first.bat"
# The job core refuses the same click while the first run holds the script.
expected=$( (cd "$work/probe" && "$wine" probe.exe "$exe" encode "$exe" 2>&1 >/dev/null) || true)
[ -n "$expected" ] || fail "the probe's Encode was not refused"
cmp -s "$script" "$work/first.bat" || fail "the probe's refused Encode changed Korvu.bat"

# refused - presses "Encode" in XH_WID and expects the error box with the probe's text, and nothing
# started: no second console, Korvu.bat as the running job's.
refused() {
  cp "$script" "$work/running.bat"
  xh_click ${at[jvbEncode]}
  box=$(xh_wait_for 10 one_dialog) || fail "no error box in window $XH_WID"
  [ "$(xh_title "$box")" = "$title" ] || fail "error box titled '$(xh_title "$box")'"
  shown=$(box_text)
  [ "$shown" = "$expected" ] || fail "error box: '$shown', expected '$expected'"
  xh_activate "$box"
  xh_key Return
  xh_wait_for 5 xh_window_gone "$box" || fail "the error box stayed"
  xh_is_minimised && fail "the refused window was minimised"
  [ "$(consoles | wc -l)" = 1 ] || fail "a second console"
  cmp -s "$script" "$work/running.bat" || fail "Korvu.bat changed during the run"
}

# The second window, with a bitrate of its own: refused in its error box, nothing runs.
launch
second=$korvu second_window=$XH_WID
xh_replace_text ${at[jveBitrate]} 700
xh_key Tab
refused
cmp -s "$script" "$work/first.bat" || fail "Korvu.bat is not the first run's"

# The first run ends after its two passes alone; then the second window's job runs.
run_ended "$first_window" first
[ "$(passes)" = 2 ] || fail "passes after the first run: $(passes)"
run_in "$second_window" second 4
grep -q -- ' -br 700 ' "$script" || fail "the second run's script: $(cat "$script")"

# Korvu.exe killed during a run: its console goes on alone and keeps the hold; a new Korvu.exe is
# refused until that console has ended, and then runs.
XH_WID=$first_window
xh_close_window
xh_wait_pid_exit "$first" 20 || fail "the first Korvu.exe did not end"
XH_WID=$second_window
xh_activate
encode_until_pause 6
"$wine" taskkill /F /IM Korvu.exe >/dev/null 2>&1 || fail "taskkill /F did not end Korvu.exe"
xh_wait_pid_exit "$second" 20 || fail "Korvu.exe did not end on taskkill /F"
[ "$(consoles | wc -l)" = 1 ] || fail "the console went with Korvu.exe"
launch
third=$korvu third_window=$XH_WID
refused
end_console
run_in "$third_window" third 8

xh_close_window
xh_wait_pid_exit "$third" 20 || fail "Korvu.exe did not end"
echo "win32_one_run_e2e: passed"
