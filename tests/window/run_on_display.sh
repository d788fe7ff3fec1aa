#!/usr/bin/env bash
# Runs a Windows test program under Wine on a display of its own (Xvfb), in a Wine prefix and with
# a server of its own started once the display is there: Wine makes a top-level window only on
# the display its desktop opened with, and the Windows suite's shared prefix has none.
# Usage: [KORVU_WINE_DPI="96 144"] run_on_display.sh WINE64 PROGRAM [ARGUMENTS...]
# runs PROGRAM once at each density listed (its KORVU_WINE_DPI names the one of its run).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../e2e/xharness.sh"
. "$here/../e2e/wine_prefix.sh"

wine=$1
shift
work=
cleanup() {
  set +e
  wine_prefix_stop
  xh_cleanup
  [ -z "$work" ] || rm -rf "$work"
}
xh_start 2>/dev/null
trap cleanup EXIT
work=$(mktemp -d /tmp/korvu-display.XXXXXX)
wine_prefix_start "$work" "$wine"
# Tahoma, the window's typeface, as on Windows (else Wine draws it with a wider stand-in).
cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
status=0
for dpi in ${KORVU_WINE_DPI:-96}; do  # each process reads the density as it starts
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  KORVU_WINE_DPI=$dpi "$wine" "$@" || status=$?
done
exit $status
