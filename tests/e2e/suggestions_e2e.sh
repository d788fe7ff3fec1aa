#!/usr/bin/env bash
# The path suggestions from outside, as a person meets them on a virtual display with a window
# manager: with the list open under the input field, one click elsewhere acts there at once (the
# keys that follow land in that field, a click on "Load settings" opens its dialog) and leaves the
# input's text as it was; Escape closes the list and keeps the text; Down and Return choose.
# Usage: suggestions_e2e.sh KORVU CONTROL_POINTS
set -euo pipefail
. "$(dirname "$0")/korvu_e2e.sh"
e2e_start Xvfb openbox xdotool xclip
read_points "$2"
mkdir "$work/bin" "$work/takes"
cp "$1" "$work/bin/"
for name in take1.avi take2.avi take3.avs; do : >"$work/takes/$name"; done
korvu_window
main=$XH_WID

# The list is a window of the program's own beside the main one.
list_shown() { [ "$(xdotool search --onlyvisible --pid "$korvu" 2>/dev/null | wc -l)" -ge 2 ]; }
# open_list TEXT - types TEXT into the emptied input field and waits for the list
open_list() {
  xh_replace_text ${at[jveInput]} "$1"
  xh_wait_for 10 list_shown || fail "no suggestions for '$1'"
}
# The preview names the input (-i) and the bitrate (-br).
preview_has() { local p; p=$(xh_read_preview) && [[ "$p" == *"$1"* ]] || { echo "$p"; return 1; }; }

open_list "$work/takes/tak"
xh_replace_text ${at[jveBitrate]} 42
xh_wait_for 5 eval '! list_shown' || fail "the list stayed after a click elsewhere"
preview_has " -br 42 " || fail "the keys after the click did not reach the bitrate field"
preview_has " -i $work/takes/tak " || fail "the click elsewhere changed the input's text"

open_list "$work/takes/take"
xh_click ${at[jvbLoadIni]}
dialog=$(xh_dialog_id 10 "$main") || fail "one click on Load settings with the list open opened no dialog"
[ "$(xh_title "$dialog")" = "Load settings" ] || fail "dialog '$(xh_title "$dialog")'"
xh_key Escape
xh_wait_for 5 eval '[ -z "$(xh__find_dialog "$main")" ]' || fail "the dialog stayed"
XH_WID=$main

open_list "$work/takes/take"
xh_key Escape
xh_wait_for 5 eval '! list_shown' || fail "Escape left the list open"
preview_has " -i $work/takes/take " || fail "Escape changed the input's text"
open_list "$work/takes/take"
xh_key Down Return
preview_has " -i $work/takes/take1.avi " || fail "Down and Return did not choose the first entry"

xh_close_window
xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"
echo "suggestions_e2e: passed"
