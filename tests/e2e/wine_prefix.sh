# wine_prefix.sh - a Wine prefix and server of a test's own, started on the display that xh_start
# opened: a Wine desktop takes the display (or none) of the process that opened it, and so do its
# clipboard and every window of its later processes. Sourced after xharness.sh.
#
#   wine_prefix_start FOLDER WINE64   # WINEPREFIX=FOLDER/wine, its server up, the prefix made
#   wine_prefix_stop                  # the server ended (for the caller's cleanup)
#   win PATH                          # PATH as Windows names it (drive Z:)
#   wine_korvu_start WINE64 KORVU PROBE STUB POINTS   # (korvu_e2e.sh) all that Korvu.exe needs
#   korvu_exe                         # Korvu.exe started; window_ready follows
#   one_dialog [WINDOW], no_dialog    # the dialog or box of XH_WID, or none

WP_SERVER= WP_SERVER_PID=

wine_prefix_start() {
  local wine=$2 server_dir
  WP_SERVER=$(dirname "$wine")/wineserver
  [ -x "$WP_SERVER" ] || WP_SERVER=$(command -v wineserver)
  export WINEPREFIX=$1/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
  mkdir "$WINEPREFIX"
  # In the foreground (to the shell, in the background) so that its process id is known; clients
  # must find it listening, or each would start a server of its own.
  "$WP_SERVER" -f -p &
  WP_SERVER_PID=$!
  # Its socket lies in a folder named after the prefix's device and inode, under /tmp/.wine-UID
  # upstream and under a /tmp/wine-XXXXXX of its own in Debian's Wine.
  server_dir=server-$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")
  wp__listening() { compgen -G "/tmp/*wine*/$server_dir/socket" >/dev/null; }
  xh_wait_for 10 wp__listening || { echo "wine_prefix: the Wine server did not start" >&2; return 1; }
  "$wine" wineboot --init >/dev/null 2>&1
}

wine_prefix_stop() {
  [ -n "$WP_SERVER_PID" ] || return 0
  "$WP_SERVER" -k 2>/dev/null
  xh_wait_pid_exit "$WP_SERVER_PID" 5 || kill -9 "$WP_SERVER_PID" 2>/dev/null
  WP_SERVER_PID=
}

# Wine's drive Z: is the root of the host's file system: win PATH prints PATH as Windows names it.
win() { printf 'Z:%s' "${1//\//\\}"; }

# wine_korvu_start WINE64 KORVU_EXE PROBE_EXE STUB_ENCODER_EXE POINTS_EXE - for a script of
# korvu_e2e.sh: the prefix in $work/wine and its server, ended at the end; Korvu.exe in $work/app
# (`app`, and `exe` as Windows names it), the job core's probe in $work/probe, the stub encoder as
# the encoder of an installation in "$work/DivX Inst" (`install`) that the registry's `key` names,
# a clip $work/clip.avi, `at` read; the stub encoder's calls will be recorded in `record`.
key='HKCU\Software\DivXNetworks\DivX Codec H.264'
wine_korvu_start() {
  wine_prefix_start "$work" "$1" || fail "the Wine server did not start"
  on_exit wine_prefix_stop
  app=$work/app
  install="$work/DivX Inst"
  mkdir "$app" "$work/probe"
  cp "$2" "$app/Korvu.exe"
  cp "$3" "$work/probe/probe.exe"
  mkdir -p "$install/DivX H.264 Codec CLI/bin"
  cp "$4" "$install/DivX H.264 Codec CLI/bin/DivX264.exe"
  printf 'RIFF' >"$work/clip.avi"
  exe=$(win "$app/Korvu.exe")
  "$1" reg add "$key" /v Install_Dir /t REG_SZ /d "$(win "$install")" /f >/dev/null
  read_points "$1" "$5"
  record=$work/record.txt
}
# korvu_exe - starts Korvu.exe of $work/app, the stub encoder recording its calls into `record`;
# its pid in `korvu`.
korvu_exe() {
  xh_launch "$work" env KORVU_STUB_RECORD="$(win "$record")" "$wine" "$app/Korvu.exe"
  korvu=$XH_APP_PID
}

# The dialogs and boxes of a window (default XH_WID): the window manager's windows that are
# transient for it. Wine marks its tool tips transient too, but they are override-redirect windows,
# which no window manager lists. one_dialog prints the one there is, and fails unless there is one.
dialogs() {
  local w owner
  owner=$(printf '0x%x' "${1:-$XH_WID}")
  for w in $(xprop -root _NET_CLIENT_LIST | sed 's/.*#//; s/,/ /g'); do
    xprop -id "$w" WM_TRANSIENT_FOR 2>/dev/null | grep -q "# $owner\$" && echo "$((w))"
  done
}
one_dialog() {
  local d
  d=$(dialogs "$@") && [ -n "$d" ] && [ "$(wc -l <<<"$d")" = 1 ] && echo "$d"
}
no_dialog() { [ -z "$(dialogs)" ]; }
