# xharness.sh - drive a real X11 desktop window from outside, like a person would.
# (The window's end-to-end test sources it; no part of the build does.)
#
#   . path/to/xharness.sh
#   xh_start --wm openbox            # private Xvfb (+ window manager), cleanup on exit
#   xh_launch "$workdir" env FOO=1 /path/to/app
#   xh_find_window "Window title"    # sets XH_WID; all coordinates below are client-area pixels
#   xh_click X Y; xh_type "hello"; xh_key Tab Up alt+Down Escape
#   text=$(xh_read_preview)          # click into the read-only box, Ctrl+A, Ctrl+C, read clipboard
#   xh_screenshot shot.png
#
# Needs: Xvfb xdotool xclip xwininfo xprop import(imagemagick); optional openbox wmctrl.
# Only processes this file starts are ended, by pid (with their descendants).

XH_DIR=            # private folder for logs (kept when XH_KEEP=1)
XH_PIDS=()         # processes we started, in start order
XH_WID=            # window that clicks, reads and screenshots act on
XH_APP_PID=        # last process started by xh_launch
XH_APP_LOG=
XH_WM=none
XH_TIMEOUT=${XH_TIMEOUT:-10}        # default seconds for waits
XH_TYPE_DELAY=${XH_TYPE_DELAY:-20}  # ms between typed characters
XH_KEY_DELAY=${XH_KEY_DELAY:-40}    # ms between keys of one xh_key call
XH_PREVIEW_X=${XH_PREVIEW_X:-}      # default point inside the read-only preview box (korvu_e2e.sh
XH_PREVIEW_Y=${XH_PREVIEW_Y:-}      # reads it from the window's description)
# Keysyms put on spare keys before any program starts, so that xh_type can type them
# (one key per entry: "lower Upper" or a single keysym; see xh__premap_keys).
XH_EXTRA_KEYSYMS=${XH_EXTRA_KEYSYMS:-"adiaeresis Adiaeresis|odiaeresis Odiaeresis|udiaeresis Udiaeresis|ssharp|eacute Eacute|egrave Egrave|agrave Agrave|ccedilla Ccedilla|ntilde Ntilde|idiaeresis Idiaeresis|EuroSign|degree|section|mu"}

xh_log() { printf '[xh %s] %s\n' "$(date +%T.%3N)" "$*" >&2; }

# xh_wait_for SECONDS CMD [ARGS...] - poll CMD every 0.1 s until it succeeds; 1 on timeout.
xh_wait_for() {
  local t=$1; shift
  local end=$(( ${EPOCHREALTIME/./} + t * 1000000 ))
  until "$@"; do
    (( ${EPOCHREALTIME/./} < end )) || return 1
    sleep 0.1
  done
}

# ---------------------------------------------------------------- display, WM
# xh_start [--wm openbox|none] [--screen 1024x768x24]
xh_start() {
  local wm=none screen=1024x768x24
  while [ $# -gt 0 ]; do
    case $1 in
      --wm) wm=$2; shift 2 ;;
      --screen) screen=$2; shift 2 ;;
      *) xh_log "xh_start: unknown option $1"; return 1 ;;
    esac
  done
  XH_DIR=$(mktemp -d /tmp/xh.XXXXXX)
  mkdir -m 700 "$XH_DIR/runtime"
  [ -n "${XH_NO_TRAP:-}" ] || { trap xh_cleanup EXIT; trap 'exit 130' INT TERM; }
  # -displayfd: the server picks a free display number and writes it once it accepts clients.
  Xvfb -displayfd 3 -screen 0 "$screen" -dpi 96 -nolisten tcp -noreset \
       3>"$XH_DIR/display" >"$XH_DIR/xvfb.log" 2>&1 </dev/null &
  XH_PIDS+=($!)
  xh_wait_for 10 test -s "$XH_DIR/display" || { xh_log "Xvfb did not start: $XH_DIR/xvfb.log"; return 1; }
  export DISPLAY=":$(tr -dc 0-9 <"$XH_DIR/display")"
  xh__premap_keys
  # Environment for programs started later: plain xcb, 1:1 pixels, no stray session bus.
  export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 QT_ENABLE_HIGHDPI_SCALING=0
  export XDG_RUNTIME_DIR="$XH_DIR/runtime" XDG_SESSION_TYPE=x11
  unset WAYLAND_DISPLAY
  export DBUS_SESSION_BUS_ADDRESS=disabled: NO_AT_BRIDGE=1   # no auto-launched bus daemons
  XH_WM=$wm
  case $wm in
    none) ;;
    openbox)
      # Debian's default configuration (click to focus, new windows get focus, Alt+F4 closes)
      # without the iconify animation, which slides a restored window in for ~0.3 s.
      sed 's#<animateIconify>yes#<animateIconify>no#' /etc/xdg/openbox/rc.xml >"$XH_DIR/openbox.xml"
      openbox --sm-disable --config-file "$XH_DIR/openbox.xml" >"$XH_DIR/wm.log" 2>&1 </dev/null &
      XH_PIDS+=($!)
      xh_wait_for 10 xh__wm_ready || { xh_log "openbox did not take over: $XH_DIR/wm.log"; return 1; } ;;
    *) xh_log "xh_start: unknown window manager $wm"; return 1 ;;
  esac
  xh_log "display $DISPLAY ready (wm=$wm, logs in $XH_DIR)"
}
# xdotool types a character that is not on the keyboard map by remapping a spare key on the fly;
# Qt often reads that key with its old map (letters lost, doubled or wrong, later keys astray).
# Mapping the characters we need before the program starts avoids the remapping altogether.
xh__premap_keys() {
  command -v xmodmap >/dev/null || { xh_log "no xmodmap: typing non-ASCII text will be unreliable"; return 0; }
  local free entries args=() i=0
  free=($(xmodmap -pke | awk 'NF == 3 && $2 > 8 {print $2}'))   # keycodes without symbols
  IFS='|' read -ra entries <<<"$XH_EXTRA_KEYSYMS"
  while (( i < ${#entries[@]} && i < ${#free[@]} - 4 )); do     # leave 4 spare for xdotool
    args+=(-e "keycode ${free[i]} = ${entries[i]}"); i=$((i + 1))
  done
  (( i == ${#entries[@]} )) || xh_log "only $i of ${#entries[@]} extra keysyms mapped"
  (( i == 0 )) || xmodmap "${args[@]}"
}
xh__wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# xh_launch DIR CMD [ARGS...] - start CMD in folder DIR with the current environment
# (prefix CMD with `env VAR=value ...` for more). Sets XH_APP_PID and XH_APP_LOG.
xh_launch() {
  local dir=$1; shift
  XH_APP_LOG="$XH_DIR/app-${#XH_PIDS[@]}.log"
  ( cd "$dir" && exec "$@" ) >"$XH_APP_LOG" 2>&1 </dev/null &
  XH_APP_PID=$!
  XH_PIDS+=("$XH_APP_PID")
  xh_log "launched pid $XH_APP_PID in $dir: $*"
}

# ---------------------------------------------------------------- windows
# xh_window_id TITLE [TIMEOUT] [PID] - print the id of the visible window with exactly this
# title (xdotool matches case-insensitively), waiting up to TIMEOUT seconds.
xh_window_id() {
  local re t=${2:-$XH_TIMEOUT} pid=${3:-} wid
  re="^$(printf '%s' "$1" | sed 's/[][\\.^$*+?(){}|]/\\&/g')\$"
  if [ -n "$pid" ]; then
    wid=$(timeout "$t" xdotool search --sync --all --onlyvisible --pid "$pid" --name "$re" 2>/dev/null | head -1)
  else
    wid=$(timeout "$t" xdotool search --sync --onlyvisible --name "$re" 2>/dev/null | head -1)
  fi
  [ -n "$wid" ] && echo "$wid"
}

# xh_find_window TITLE [TIMEOUT] [PID] - wait for the window, make it XH_WID and give it focus.
# Call it directly (not inside $(...)), so that XH_WID is set in your shell.
xh_find_window() {
  local wid
  wid=$(xh_window_id "$@") || { xh_log "no visible window titled '$1' within ${2:-$XH_TIMEOUT}s"; return 1; }
  XH_WID=$wid
  xh_activate
}

# xh_activate [WID] - give the window keyboard focus (through the WM when there is one).
xh_activate() {
  local wid=${1:-$XH_WID}
  if [ "$XH_WM" = none ]; then
    timeout 5 xdotool windowfocus --sync "$wid" 2>/dev/null
  else
    timeout 5 xdotool windowactivate --sync "$wid" 2>/dev/null
  fi
  xh_wait_for 5 xh__has_focus "$wid"
}
xh__has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

# xh_dialog_id [TIMEOUT] [OWNER] - wait for a visible dialog (message box, file dialog) of OWNER
# (default XH_WID) and print its id. Found by WM_TRANSIENT_FOR, not by title: a message box
# may carry the very caption of its main window.
xh_dialog_id() { xh_wait_for "${1:-$XH_TIMEOUT}" xh__find_dialog "${2:-$XH_WID}"; }
xh__find_dialog() {
  local w owner
  owner=$(printf '0x%x' "$1")
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    if xprop -id "$w" WM_TRANSIENT_FOR 2>/dev/null | grep -q "# $owner\$"; then echo "$w"; return 0; fi
  done
  return 1
}

xh_title() { xdotool getwindowname "${1:-$XH_WID}"; }
# xh_client_origin [WID] - "X Y": screen position of the client area's top-left pixel.
xh_client_origin() {
  xwininfo -id "${1:-$XH_WID}" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}
# xh_client_size [WID] - "W H" of the client area (without the WM frame).
xh_client_size() { xwininfo -id "${1:-$XH_WID}" | awk '/  Width:/{w=$NF} /  Height:/{h=$NF} END{print w, h}'; }
xh_screen_size() { xdotool getdisplaygeometry; }
# xh_window_gone WID - true once the window is destroyed or unmapped
xh_window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }

# xh_is_minimised [WID] - 0 minimised (iconic), 1 not, 2 cannot tell (no window manager:
# without one, a program's minimise request goes unanswered and the window stays as it is).
xh_is_minimised() {
  local p
  p=$(xprop -id "${1:-$XH_WID}" WM_STATE _NET_WM_STATE 2>/dev/null) || return 2
  case $p in *"window state: Iconic"*|*_NET_WM_STATE_HIDDEN*) return 0 ;; esac
  case $p in *"window state: Normal"*) return 1 ;; esac
  return 2
}
xh__is_restored() {   # normal state, mapped, and no longer moving
  local a b
  xh_is_minimised "$1"; [ $? = 1 ] && xwininfo -id "$1" | grep -q IsViewable || return 1
  a=$(xh_client_origin "$1"); sleep 0.1; b=$(xh_client_origin "$1"); [ "$a" = "$b" ]
}
xh_wait_minimised() { xh_wait_for "${1:-$XH_TIMEOUT}" xh_is_minimised "${2:-$XH_WID}"; }
xh_wait_restored()  { xh_wait_for "${1:-$XH_TIMEOUT}" xh__is_restored "${2:-$XH_WID}"; }

# xh_close_window [WID] - close politely (WM_DELETE_WINDOW through the WM), like the title-bar X.
xh_close_window() {
  [ "$XH_WM" != none ] || { xh_log "xh_close_window needs a window manager"; return 1; }
  wmctrl -i -c "${1:-$XH_WID}"
}

# ---------------------------------------------------------------- mouse and keyboard
# xh_click X Y [BUTTON] - click at client-area pixel (X,Y) of XH_WID. When the window did not
# have focus, waits until the WM has given it (else the next keys could go elsewhere).
xh_click() {
  local had_focus=0
  xh__has_focus "$XH_WID" && had_focus=1
  xdotool mousemove --window "$XH_WID" "$1" "$2" click "${3:-1}"
  [ $had_focus = 1 ] || xh_wait_for 2 xh__has_focus "$XH_WID" || true
}
xh_double_click() { xdotool mousemove --window "$XH_WID" "$1" "$2" click --repeat 2 --delay 80 1; }
# xh_drag X1 Y1 X2 Y2 - press at one client point, release at another
xh_drag() {
  xdotool mousemove --window "$XH_WID" "$1" "$2" mousedown 1 sleep 0.1 \
          mousemove --window "$XH_WID" "$3" "$4" sleep 0.1 mouseup 1
}
# xh_hold X Y SECONDS - keep the left button down (e.g. on a spin arrow that repeats)
xh_hold() { xdotool mousemove --window "$XH_WID" "$1" "$2" mousedown 1 sleep "$3" mouseup 1; }
# xh_hover X Y - rest the pointer (e.g. for a tool tip)
xh_hover() { xdotool mousemove --window "$XH_WID" "$1" "$2"; }

# xh_type TEXT - type into whatever has keyboard focus (XTEST, like real keys). ASCII and the
# characters of XH_EXTRA_KEYSYMS are safe; for anything else use xh_paste_text.
xh_type() { xdotool type --delay "$XH_TYPE_DELAY" -- "$1"; }
# xh_key KEY... - e.g. Tab, shift+Tab, Up, Down, Escape, Return, alt+Down, ctrl+a, BackSpace
xh_key() { xdotool key --delay "$XH_KEY_DELAY" -- "$@"; }
# xh_replace_text X Y TEXT - click into a single-line field, select all, type TEXT
xh_replace_text() { xh_click "$1" "$2"; xh_key ctrl+a; xh_type "$3"; }

# ---------------------------------------------------------------- clipboard and preview
xh_clip_get() { timeout 5 xclip -o -selection "${1:-clipboard}" 2>/dev/null; }

# xh_read_preview [X Y] - print the text of a read-only box: click into it, Ctrl+A, Ctrl+C,
# read the clipboard. A marker put into the clipboard first tells a fresh copy from an old one.
# Returns 2 (and prints nothing) when nothing was copied: the box is empty or not selectable.
xh_read_preview() {
  local x=${1:-$XH_PREVIEW_X} y=${2:-$XH_PREVIEW_Y} mark="xh-marker-$$-$RANDOM$RANDOM" owner
  printf '%s' "$mark" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  owner=$!                       # exits as soon as another program takes the clipboard
  if ! xh_wait_for 3 xh__clip_is "$mark"; then
    kill "$owner" 2>/dev/null; xh_log "read_preview: could not set the clipboard"; return 1
  fi
  xh_click "$x" "$y"
  xh_key ctrl+a ctrl+c
  if ! xh_wait_for "${XH_CLIP_TIMEOUT:-3}" xh__gone "$owner"; then
    kill "$owner" 2>/dev/null; wait "$owner" 2>/dev/null
    xh_log "read_preview: nothing copied (empty box, or Ctrl+A/Ctrl+C not handled there)"
    return 2
  fi
  xh_clip_get clipboard
}
# xh_paste_text TEXT - put TEXT on the clipboard and press Ctrl+V into the focused field
# (one change event instead of one per key). Returns when the program has fetched the text.
xh_paste_text() {
  local log="$XH_DIR/paste.log" owner
  printf '%s' "$1" | xclip -verbose -quiet -loops 1 -selection clipboard -i >"$log" 2>&1 &
  owner=$!                       # serves one request, then exits
  if ! xh_wait_for 3 grep -q 'Waiting for' "$log"; then
    kill "$owner" 2>/dev/null; xh_log "paste: could not set the clipboard"; return 1
  fi
  xh_key ctrl+v
  xh_wait_for 3 xh__gone "$owner" && return 0
  kill "$owner" 2>/dev/null; xh_log "paste: the program did not fetch the clipboard"; return 1
}
xh__clip_is() { [ "$(xh_clip_get clipboard)" = "$1" ]; }

# ---------------------------------------------------------------- screenshots
# xh_screenshot FILE [WID|root] - PNG of the client area (default XH_WID) or the whole screen.
# Cut from the root window: shows what a person sees there (popups, tool tips, boxes on top),
# and avoids `import -window WID`, which failed now and then on a window just restored.
xh_screenshot() {
  local target=${2:-$XH_WID} x y w h
  if [ "$target" = root ]; then import -window root "$1"; return; fi
  read -r x y <<<"$(xh_client_origin "$target")" && read -r w h <<<"$(xh_client_size "$target")" || return 1
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$1"
}
# xh_pixel FILE X Y - colour of one pixel of a screenshot as RRGGBB (e.g. to tell a greyed caption)
xh_pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:; }

# ---------------------------------------------------------------- files and processes
# xh_wait_for_file PATH [TIMEOUT] - wait until PATH exists and its size stopped changing.
xh_wait_for_file() {
  xh_wait_for "${2:-$XH_TIMEOUT}" test -e "$1" && xh_wait_for "${2:-$XH_TIMEOUT}" xh__size_settled "$1"
}
xh__size_settled() { local a; a=$(stat -c %s "$1") && sleep 0.2 && [ "$a" = "$(stat -c %s "$1")" ]; }
xh__stat() {   # xh__stat PID - "STATE PPID" from /proc (the name field may hold blanks)
  local s; s=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  set -- ${s##*) }; echo "$1 $2"
}
xh__gone() { local st; st=$(xh__stat "$1") || return 0; [ "${st% *}" = Z ]; }
xh_alive() { ! xh__gone "$1"; }
xh_wait_pid_exit() { xh_wait_for "${2:-$XH_TIMEOUT}" xh__gone "$1"; }

# ---------------------------------------------------------------- cleanup
xh__tree() {   # a pid and all its descendants, parents first
  local c; echo "$1"
  for c in $(ps -o pid= --ppid "$1" 2>/dev/null); do xh__tree "$c"; done
}
# xh_cleanup - end everything xh_start/xh_launch started (newest first), then remove XH_DIR.
xh_cleanup() {
  local i pid tree p
  for (( i=${#XH_PIDS[@]}-1; i>=0; i-- )); do
    pid=${XH_PIDS[i]}
    # only our own live children: a pid that ended long ago may have been reused
    [ "$(xh__stat "$pid" | cut -d' ' -f2)" = "$$" ] || continue
    tree=$(xh__tree "$pid")
    # under set -e, a killed child's status must not end the cleanup half-way
    kill -TERM $tree 2>/dev/null || true
    for p in $tree; do xh_wait_for 3 xh__gone "$p" || kill -KILL "$p" 2>/dev/null || true; done
    wait "$pid" 2>/dev/null || true
  done
  XH_PIDS=()
  if [ -n "$XH_DIR" ] && [ -z "${XH_KEEP:-}" ]; then rm -rf "$XH_DIR"; XH_DIR=; fi
}
