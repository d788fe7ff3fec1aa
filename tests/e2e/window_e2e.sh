#!/usr/bin/env bash
# The window program from outside, as a person uses it, on a virtual display with a window
# manager: Korvu, korvu-cmd and korvu-enc staged in one folder with a Korvu.ini naming the encoder;
# an input path typed, the preview read back through the clipboard, "Encode" pressed, the window
# minimised while the console runs and restored after its final key, the stream checked with
# ffprobe; then a second run during which the window is closed, which hides it at once and ends
# the program (status 0) only once the console has ended. Dialogs are accepted by typing, keys
# typed during a run are dropped, and an error box at start-up belongs to the window.
# Usage: window_e2e.sh KORVU KORVU_CMD KORVU_ENC CONTROL_POINTS
set -euo pipefail
. "$(dirname "$0")/korvu_e2e.sh"
e2e_start Xvfb openbox xdotool xclip wmctrl xterm ffmpeg ffprobe
read_points "$4"
mkdir "$work/bin"
cp "$1" "$2" "$3" "$work/bin/"
"$e2e/../../scripts/stage" "$work/bin" >/dev/null
ffmpeg -loglevel error -f lavfi -i testsrc2=size=160x120:rate=25 -t 1 -c:v mpeg4 "$work/clip.avi"

# No registry file: the encoder comes from Korvu.ini alone. Leak reports would only hide the
# exit status that this test checks. The first activation builds the preview; the staged encoder
# exists, so it also puts the focus in the input field, which reading the preview takes away again.
korvu_window TERMINAL=xterm

# Dialogs accepted by typing a name and Return while their suggestion list shows leave nothing on
# screen: the next click and keys reach the window. "Load settings" opens in the program's folder.
main=$XH_WID
printf '[Korvu]\r\nThreads=1\r\n' >"$work/bin/job.ini"
accept_typed() {   # accept_typed NAME - types NAME into the open dialog and presses Return
  XH_WID=$(xh_dialog_id 10 "$main") || fail "no dialog"
  xh_type "$1"
  sleep 1                       # the suggestion list opens once the folder has been read
  xh_key Return
  XH_WID=$main
  xh_wait_for 5 eval '[ -z "$(xh__find_dialog "$main")" ]' || fail "the dialog stayed"
}
xh_click ${at[jvbLoadIni]}
accept_typed job.ini
xh_click ${at[jveInput.browse]}
accept_typed "$work/clip.avi"
xh_replace_text ${at[jveBitrate]} 300
preview=$(xh_read_preview) || fail "empty preview"
expected="$work/bin/korvu-enc  -threads 1 -br 300 -aqo 1 -I 4 -ref 4 -bf 2 -bref"
expected+=" -i $work/clip.avi -o $work/clip.264"
[ "$preview" = "$expected" ] || fail "preview: '$preview', expected '$expected'"

# The console's title is the command line: the job script's path.
console_id() { wmctrl -l | awk '/Korvu\.bat/ {print $1; exit}'; }
console_shown() { [ -n "$(console_id)" ]; }
console_focused() { [ "$(xdotool getwindowfocus)" = "$(($(console_id)))" ]; }

# Presses "Encode" and waits, with the window minimised, until the encoder has written the stream
# and the script waits at its final PAUSE.
encode_until_pause() {
  rm -f "$work/clip.264"
  xh_click ${at[jvbEncode]}
  xh_wait_minimised 20 || fail "the window was not minimised while the job ran"
  xh_wait_for 30 console_shown || fail "no console window"
  xh_wait_for_file "$work/clip.264" 120 || fail "no output stream"
  sleep 1                       # the script rings the bell and reaches PAUSE
  xh_is_minimised || fail "the window came back before the console ended"
}
end_console() {
  wmctrl -i -a "$(console_id)"  # xterm takes no synthetic keys: the key must come with the focus
  xh_wait_for 5 console_focused || fail "the console did not take the focus"
  xh_key Return                 # the key that PAUSE waits for
}

encode_until_pause
# Brought back during the run, the window takes no input: keys typed into it are dropped.
xh_activate
xh_click ${at[jveBitrate]}
xh_type 1234
end_console
xh_wait_restored 20 || fail "the window was not restored after the console ended"
preview=$(xh_read_preview) || fail "empty preview after the run"
[ "$preview" = "$expected" ] || fail "keys typed during the run changed the preview: '$preview'"
frames=$(ffprobe -v error -select_streams v:0 -count_frames \
  -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$work/clip.264")
[ "$frames" = "h264,25" ] || fail "ffprobe: '$frames', expected h264 with 25 frames"
[ -f "$work/bin/Korvu.bat" ] || fail "no job script beside the program"
[ -f "$work/bin/divx264_stat.dat" ] || fail "no statistics beside the program"
[ ! -e "$work/divx264_stat.dat" ] || fail "statistics in the folder the program was started from"

# A close asked for while the job runs hides the window at once; the program ends when the job
# has ended.
encode_until_pause
# A minimised window stays on the window manager's list; one that went is withdrawn from it.
listed() { wmctrl -l | awk '{print $1}' | grep -qix "$(printf '0x%08x' "$XH_WID")"; }
listed || fail "the minimised window is not on the window manager's list"
xh_close_window
xh_wait_for 5 eval '! listed' || fail "the window stayed after a close during the run"
sleep 1
xh_alive "$korvu" || fail "Korvu ended while its job ran"
end_console
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after the job that its close waited for"
wait "$korvu" && status=0 || status=$?
[ "$status" = 0 ] || fail "Korvu ended with status $status"
# An error box raised by the first activation (a number where the encoder's folder belongs) is
# owned by the window and shows the message.
mkdir -p "$work/config/korvu"
printf '%s\r\n' "Windows Registry Editor Version 5.00" "" \
  "[HKEY_CURRENT_USER\\Software\\DivXNetworks\\DivX Codec H.264]" \
  '"Install_Dir"=dword:00000001' >"$work/config/korvu/registry.reg"
rm "$work/bin/Korvu.ini"
xh_launch "$work" env XDG_CONFIG_HOME="$work/config" ASAN_OPTIONS=detect_leaks=0 \
  "$e2e/../../scripts/open-window" "$work/bin"
korvu=$XH_APP_PID
# The box carries the window's caption: it is the one of the two that names an owner.
windows() { xdotool search --onlyvisible --pid "$korvu" --name '^Korvu - making Pimbrosse!$' 2>/dev/null; }
both_shown() { [ "$(windows | wc -l)" -ge 2 ]; }
xh_wait_for 30 both_shown || fail "no window with an error box at start-up"
box= owner= XH_WID=
for w in $(windows); do
  if xprop -id "$w" WM_TRANSIENT_FOR | grep -q '# 0x'; then
    box=$w owner=$(xprop -id "$w" WM_TRANSIENT_FOR | awk '{print $NF}')
  else
    XH_WID=$w
  fi
done
[ -n "$box" ] && [ "$owner" = "$(printf '0x%x' "$XH_WID")" ] || fail "the error box is not the window's"
xh_activate "$box"
xh_key Return
xh_wait_for 5 xh_window_gone "$box" || fail "the error box stayed"
xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"
echo "window_e2e: passed"
