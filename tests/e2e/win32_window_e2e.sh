#!/usr/bin/env bash
# Korvu.exe under Wine, driven from outside on a virtual display with a window manager, as a person
# uses it: the start-up from the registry and Korvu.ini, typing, the settings dialogs, a two-pass
# run of the stub encoder in a console, the error boxes of a typed name and of a registry value of
# the wrong kind. What the window shows and writes is compared with what the job core computes for
# the same job (the probe), run in the same Wine prefix. Then the download as a user unpacks it
# (KORVU_WINDOWS_ZIP, which scripts/test-windows packs): "Encode" on a clip runs korvu-enc.exe's
# two passes in Wine's cmd, and ffprobe reads the stream whole.
# Usage: win32_window_e2e.sh KORVU_EXE PROBE_EXE STUB_ENCODER_EXE CONTROL_POINTS_EXE [WINE64]
# Wine runs in a prefix and with a server of the test's own, started once the display is there
# (wine_prefix.sh): in a prefix shared with tests that run without a display, the window would come
# up on no driver at all.
set -euo pipefail
. "$(dirname "$0")/korvu_e2e.sh"
. "$e2e/wine_prefix.sh"
wine=${5:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
e2e_start Xvfb openbox xdotool xclip wmctrl xprop xwininfo import convert unzip ffmpeg "$wine"
wine_korvu_start "$wine" "${@:1:4}"
clip=$(win "$work/clip.avi")
# The probe does what the window does for the job at Korvu.exe's place: probe STEP...
probe() { (cd "$work/probe" && "$wine" probe.exe "$exe" "$@"); }
# probe_error STEP... - the error box text that the steps end in
probe_error() { (cd "$work/probe" && "$wine" probe.exe "$exe" "$@" 2>&1 >/dev/null) || true; }
# check_box TEXT - the shown box with the window's caption holds TEXT, the stop sign (the red
# one of the system's icons) and a single button, OK.
check_box() {
  local lines x y w h red
  mapfile -t lines < <(cd "$work/probe" && "$wine" probe.exe box "$title")
  [ "${lines[0]:-}" = "text:$1" ] || fail "box text '${lines[0]:-}', expected '$1'"
  [ "${lines[*]:2}" = "button:OK" ] || fail "box buttons '${lines[*]:2}', expected OK alone"
  read -r x y w h <<<"${lines[1]#icon:}"
  red=$(import -window root -crop "${w}x${h}+${x}+${y}" +repage png:- |
        convert png:- -fx 'r > 0.6 && g < 0.3 && b < 0.3 ? 1 : 0' -format '%[fx:mean]' info:)
  awk -v red="$red" 'BEGIN { exit !(red > 0.1) }' || fail "the box's icon is not the stop sign"
}

# The installation in the registry; Korvu.ini beside the program adds a frame limit.
printf '[Korvu]\r\nMaxFrames=250\r\n' >"$app/Korvu.ini"

# accept_typed BUTTON TITLE NAME - opens a dialog (its id in `dialog`), types NAME and Return.
accept_typed() {
  xh_click ${at[$1]}
  dialog=$(xh_wait_for 10 one_dialog) || fail "no dialog '$2'"
  [ "$(xh_title "$dialog")" = "$2" ] || fail "dialog titled '$(xh_title "$dialog")', expected '$2'"
  xh_type "$3"
  xh_key Return
}

# Start-up: the encoder from the registry, the threads from the processor count, Korvu.ini.
korvu_exe
window_ready "$korvu"
main=$XH_WID
[ "$(xh_client_size)" = "529 313" ] || fail "client area $(xh_client_size), expected 529 313"
! xprop -id "$main" _NET_WM_ALLOWED_ACTIONS | grep -q MAXIMIZE || fail "a maximise button"
expected=$(probe preview)
preview=$(xh_read_preview)
[ "$preview" = "$expected" ] || fail "preview after the start: '$preview', expected '$expected'"

# Hints: the disabled Encode's over its box on the window, then a field's. The message loop
# relays the pointer's moves to them.
tip() { (cd "$work/probe" && "$wine" probe.exe tip) | head -1; }
tip_is() { [ "$(tip)" = "$1" ]; }
xh_hover ${at[jvbEncode]}
hint="Creates and executes a batch file for 2 pass encoding"
xh_wait_for 10 tip_is "$hint" || fail "hint over the disabled Encode: '$(tip)', expected '$hint'"
xh_hover ${at[jveMaxFrames]}
hint="To limit the number of frames to be encoded."
xh_wait_for 10 tip_is "$hint" || fail "hint over Max. frames: '$(tip)', expected '$hint'"

# A typed input path: the output follows. A bitrate typed as 007 reads 7 once the field is left.
xh_click ${at[jveInput]}
xh_type "$clip"
xh_replace_text ${at[jveBitrate]} 007
xh_key Tab
steps=(input "$clip" bitrate 7)
expected=$(probe "${steps[@]}" preview)
preview=$(xh_read_preview)
[ "$preview" = "$expected" ] || fail "preview after typing: '$preview', expected '$expected'"

# "Save settings" over a file with a section of its own: the overwrite question, then the bytes
# that the job core writes into the same file.
printf '[Other]\r\nkept=1\r\n' | tee "$work/saved.ini" >"$work/probe/saved.ini"
accept_typed jvbSaveIni "Save settings" "$(win "$work/saved.ini")"
question=$(xh_wait_for 10 one_dialog "$dialog") || fail "no question before replacing the file"
xh_activate "$question"
xh_key Return
xh_wait_for 10 no_dialog || fail "a dialog stayed after saving"
probe "${steps[@]}" save "$(win "$work/probe/saved.ini")"
cmp "$work/saved.ini" "$work/probe/saved.ini" || fail "saved settings differ from the job core's"

# "Load settings": the preview is the job core's for the same load.
printf '[Korvu]\r\nBitrate=1500\r\nSourceType=1\r\nPyramide=1\r\nfps=25\r\n' >"$work/load.ini"
accept_typed jvbLoadIni "Load settings" "$(win "$work/load.ini")"
xh_wait_for 10 no_dialog || fail "a dialog stayed after loading"
steps+=(load "$(win "$work/load.ini")")
expected=$(probe "${steps[@]}" preview)
preview=$(xh_read_preview)
[ "$preview" = "$expected" ] || fail "preview after loading: '$preview', expected '$expected'"

# "Encode": Korvu.bat beside the program as the job core writes it; the window minimised while
# the console runs both passes, restored after the key that the final pause waits for.
console_id() { wmctrl -l | awk '/Korvu\.bat/ {print $1; exit}'; }
console_shown() { [ -n "$(console_id)" ]; }
passes_run() { [ "$(grep -c '^end$' "$record" 2>/dev/null)" = 2 ]; }
xh_click ${at[jvbEncode]}
xh_wait_minimised 20 || fail "the window was not minimised during the run"
xh_wait_for 30 console_shown || fail "no console window"
xh_wait_for 30 passes_run || fail "the encoder did not run twice: $(cat "$record" 2>/dev/null)"
probe "${steps[@]}" script "$(win "$work/probe/Korvu.bat")"
cmp "$app/Korvu.bat" "$work/probe/Korvu.bat" || fail "Korvu.bat differs from the job core's script"
# What the encoder heard: the script's words after the (quoted) encoder, each "<bytes> <word>".
expected_record=$(sed -n '2p;4p' "$work/probe/Korvu.bat" | tr -d '\r' | while read -r line; do
  read -ra words <<<"${line#\"*\" }"
  for word in "${words[@]}"; do printf '%s %s\n' "${#word}" "$word"; done
  echo end
done)
[ "$(cat "$record")" = "$expected_record" ] || fail "the encoder heard: $(cat "$record")"
xh_is_minimised || fail "the window came back before the console ended"
xh_activate "$(($(console_id)))" || fail "the console did not take the focus"
xh_key Return
xh_wait_restored 20 || fail "the window was not restored after the console ended"

# A name typed into the input whose output name is invalid: one error box per such keystroke.
# Each must be confirmed before the next key, which it would take otherwise.
xh_click ${at[jveInput]}
xh_key ctrl+a
boxes=0 typed=
for char in a '*' b; do
  typed+=$char
  xh_type "$char"
  if [ "$typed" = a ]; then
    sleep 1
    no_dialog || fail "an error box for the valid name '$typed'"
    continue
  fi
  box=$(xh_wait_for 10 one_dialog) || fail "no error box for '$typed'"
  boxes=$((boxes + 1))
  [ "$(xh_title "$box")" = "$title" ] || fail "error box titled '$(xh_title "$box")'"
  check_box "$(probe_error input "$typed")"
  xh_activate "$box"
  xh_key Return
  xh_wait_for 5 xh_window_gone "$box" || fail "the error box stayed"
done
sleep 1
no_dialog || fail "more error boxes than keystrokes with an invalid name"
[ "$boxes" = 2 ] || fail "$boxes error boxes, expected 2"

xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"
wait "$korvu" && status=0 || status=$?
[ "$status" = 0 ] || fail "Korvu ended with status $status"

# A number where the installation folder belongs: one error box at start-up, owned by the window,
# and no preview.
"$wine" reg add "$key" /v Install_Dir /t REG_DWORD /d 1 /f >/dev/null
korvu_exe
# The box carries the window's caption and takes the focus from it: the window is the one of the
# two that names no owner.
titled() { xdotool search --onlyvisible --pid "$korvu" --name "^$title\$" 2>/dev/null; }
both_shown() { [ "$(titled | wc -l)" -ge 2 ]; }
xh_wait_for 60 both_shown || fail "no window with an error box for a number in the registry"
for w in $(titled); do
  xprop -id "$w" WM_TRANSIENT_FOR | grep -q '# 0x' || main=$w
done
XH_WID=$main
box=$(one_dialog) || fail "the error box is not the window's"
check_box "$(probe_error)"
xh_activate "$box"
xh_key Return
xh_wait_for 5 xh_window_gone "$box" || fail "the start-up error box stayed"
sleep 1
no_dialog || fail "a second error box at start-up"
xh_activate
! preview=$(XH_CLIP_TIMEOUT=1 xh_read_preview) || fail "a preview after the error: '$preview'"
xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"

# The download, unpacked and started in its own folder as Explorer starts it, with no encoder in
# the registry: its Korvu.ini names korvu-enc.exe beside it.
[ -n "${KORVU_WINDOWS_ZIP:-}" ] || fail "KORVU_WINDOWS_ZIP names no download (scripts/test-windows)"
"$wine" reg delete "$key" /f >/dev/null 2>&1 || true
download="$work/Korvu download"
unzip -q "$KORVU_WINDOWS_ZIP" -d "$download"
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25 -frames:v 100 \
  -c:v mpeg4 -q:v 3 "$work/real.avi"
xh_launch "$download" "$wine" "$download/Korvu.exe"
korvu=$XH_APP_PID
xh_find_window "$title" 60 "$korvu" || fail "no window from the download"
main=$XH_WID
xh_replace_text ${at[jveInput]} "$(win "$work/real.avi")"
xh_replace_text ${at[jveBitrate]} 1000
xh_click ${at[jvbEncode]}
# The output is named after the input, beside it; the statistics land in the current folder.
stream_written() { [ -s "$work/real.264" ]; }
xh_wait_for 30 console_shown || fail "no console window for the download's run"
xh_wait_for 120 stream_written || fail "korvu-enc.exe wrote no stream: $(ls "$work")"
xh_activate "$(($(console_id)))" || fail "the console did not take the focus"
xh_key Return
xh_wait_restored 20 || fail "the window was not restored after the download's run"
probed=$(ffprobe -v error -count_frames -select_streams v:0 \
  -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$work/real.264")
[ "$probed" = "h264,100" ] || fail "ffprobe read '$probed' from the stream, expected h264,100"
[ -s "$download/divx264_stat.dat" ] || fail "no statistics beside the download's programs"
xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"
echo "win32_window_e2e: passed"
