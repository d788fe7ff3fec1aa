#!/usr/bin/env bash
# One run at a time per installation, and nothing left in the temporary folder after a run, seen
# from outside on a virtual display with a window manager. Two Korvu windows are started from one
# folder (Korvu, korvu-cmd and korvu-enc staged there, a Korvu.ini naming a clip): the first one's
# "Encode" runs, and while its console waits at the script's final pause, "Encode" in the second
# window shows the error box naming Korvu.bat and starts nothing; Korvu.bat stays as the first run
# wrote it, and the first run's stream is whole. Once that console has ended, the second window's
# "Encode" runs. The hold lasts as long as the run: after a Korvu killed (SIGKILL) during a run,
# a new Korvu's "Encode" is refused the same way while the killed one's console still runs, and
# runs once it has ended. During a run the temporary folder holds no korvu-run-* folder, nor after
# Korvu has been killed during one; the next run removes the folder that an ended Korvu left.
# Usage: one_run_e2e.sh KORVU KORVU_CMD KORVU_ENC CONTROL_POINTS
set -euo pipefail
. "$(dirname "$0")/korvu_e2e.sh"
e2e_start Xvfb openbox xdotool xclip wmctrl xprop xterm ffmpeg ffprobe
read_points "$4"
# Consoles whose Korvu was ended are no child of ours, and a lock holder: ended by their pid at the
# end.
consoles=()
on_exit 'kill "${consoles[@]}" 2>/dev/null'
mkdir "$work/bin" "$work/temp"
cp "$1" "$2" "$3" "$work/bin/"
ffmpeg -loglevel error -f lavfi -i testsrc2=size=160x120:rate=25 -t 1 -c:v mpeg4 "$work/clip.avi"
# Both windows start ready to encode: Korvu.ini names the encoder beside them and the clip.
printf '%s\r\n' "[Korvu]" "Encoder=$work/bin/korvu-enc" "Stats=divx264_stat.dat" \
  "Input=$work/clip.avi" "Output=$work/clip.264" "Threads=1" "Bitrate=300" "" >"$work/bin/Korvu.ini"
script=$work/bin/Korvu.bat

# launch - starts Korvu from its folder, as ./run does; its pid in `korvu`, its window in XH_WID.
launch() { korvu_window TERMINAL=xterm TMPDIR="$work/temp"; }
# The consoles are xterms titled by the command line, the job script's path.
consoles_shown() { wmctrl -lp | awk '/Korvu\.bat/ {print $1}'; }
console_pid() { xprop -id "$1" _NET_WM_PID | awk '{print $NF}'; }
run_folders() { find "$work/temp" -mindepth 1 -maxdepth 1 -name 'korvu-run-*'; }
# encode_until_pause - presses "Encode" in XH_WID and waits until the stream is written and the
# script waits at its final pause; the console's window id in `console`.
encode_until_pause() {
  rm -f "$work/clip.264"
  xh_click ${at[jvbEncode]}
  xh_wait_minimised 20 || fail "the window was not minimised while its job ran"
  xh_wait_for 30 eval '[ "$(consoles_shown | wc -l)" = 1 ]' || fail "not one console"
  console=$(consoles_shown)
  xh_wait_for_file "$work/clip.264" 120 || fail "no output stream"
  sleep 1 # the script rings the bell and reaches PAUSE
}
end_console() {
  wmctrl -i -a "$console" # xterm takes no synthetic keys: the key must come with the focus
  xh_wait_for 5 eval '[ "$(xdotool getwindowfocus)" = "$((console))" ]' ||
    fail "the console did not take the focus"
  xh_key Return
  xh_wait_for 10 xh_window_gone "$console" || fail "the console stayed after its key"
}
check_stream() {
  local frames
  frames=$(ffprobe -v error -select_streams v:0 -count_frames \
    -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$work/clip.264")
  [ "$frames" = "h264,25" ] || fail "ffprobe: '$frames', expected h264 with 25 frames"
}

# The first window runs its job; the run's folder went once korvu-cmd had opened the FIFO.
launch
first=$korvu first_window=$XH_WID
encode_until_pause
[ -z "$(run_folders)" ] || fail "during the run: $(run_folders)"
cp "$script" "$work/first.bat"

# refused - presses "Encode" in XH_WID and expects the error box naming Korvu.bat, and nothing
# started: no second console, Korvu.bat as the running job's.
refused() {
  cp "$script" "$work/running.bat"
  xh_click ${at[jvbEncode]}
  box=$(xh_dialog_id 10) || fail "no error box in window $XH_WID"
  local window=$XH_WID
  # The box's text is selectable: read as the preview is, from a point on its first lines (of the
  # box, no control of the window).
  XH_WID=$box
  shown=$(xh_read_preview 150 40) || fail "the error box's text cannot be read"
  [ "$shown" = "$expected" ] || fail "error box: '$shown', expected '$expected'"
  xh_activate "$box"
  xh_key Return
  xh_wait_for 5 xh_window_gone "$box" || fail "the error box stayed"
  XH_WID=$window
  xh_is_minimised && fail "the refused window was minimised"
  [ "$(consoles_shown | wc -l)" = 1 ] || fail "a second console"
  cmp -s "$script" "$work/running.bat" || fail "Korvu.bat changed during the run"
}
expected="Datei \"$script\" kann nicht erstellt werden. Der Prozess kann nicht auf die Datei"
expected+=" zugreifen, da sie von einem anderen Prozess verwendet wird."

# The second window, with a bitrate of its own, is refused in its error box and runs nothing.
launch
second=$korvu second_window=$XH_WID
xh_replace_text ${at[jveBitrate]} 700
refused
cmp -s "$script" "$work/first.bat" || fail "Korvu.bat is not the first run's"

# The first run ends whole; then the second window's job runs, with its own bitrate.
run_ended "$first_window" first
check_stream
run_in "$second_window" second
grep -q -- ' -br 700 ' "$script" || fail "the second run's script: $(cat "$script")"
check_stream

# Korvu killed during a run leaves no run folder; its console goes on alone and keeps the hold: a
# new Korvu is refused until that console has ended, and then runs.
encode_until_pause
consoles+=("$(console_pid "$console")")
kill -KILL "$second"
xh_wait_pid_exit "$second" 20 || fail "Korvu did not end on SIGKILL"
[ -z "$(run_folders)" ] || fail "after SIGKILL: $(run_folders)"
launch
third=$korvu third_window=$XH_WID
refused
end_console
run_in "$third_window" third
check_stream

# A folder that an ended Korvu left before its console started goes with the next run; one whose
# run holds its lock stays, whatever process id its name holds (another PID namespace's).
sh -c 'exit 0' &
ended=$!
wait "$ended"
mkdir "$work/temp/korvu-run-$ended-aB3xY9" "$work/temp/korvu-run-$ended-lock00"
mkfifo "$work/temp/korvu-run-$ended-aB3xY9/status" "$work/temp/korvu-run-$ended-lock00/status"
flock --no-fork "$work/temp/korvu-run-$ended-lock00" sleep 300 &
consoles+=("$!")
XH_WID=$first_window
xh_activate
encode_until_pause
[ "$(run_folders)" = "$work/temp/korvu-run-$ended-lock00" ] ||
  fail "after the next run: $(run_folders | tr '\n' ' ')"
run_ended "$first_window" first
echo "one_run_e2e: passed"
