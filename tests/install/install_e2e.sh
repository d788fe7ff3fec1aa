#!/usr/bin/env bash
# The per-user install as a person meets it: cmake --install into ~/.local of a temporary HOME;
# the desktop entry and the metainfo pass their validators; the window, started through the
# entry's Exec line from another folder, loads the Korvu.ini of the install folder (its encoder
# is the installed korvu-enc) and writes its job script there; a second install keeps a changed
# Korvu.ini byte for byte; the README's uninstall line removes everything but Korvu.ini.
# Usage: install_e2e.sh CMAKE BUILD_DIR APP_ID CONTROL_POINTS
set -euo pipefail
. "$(dirname "$0")/../e2e/korvu_e2e.sh"
cmake=$1 build=$2 id=$3
e2e_start Xvfb openbox xdotool xclip wmctrl xterm ffmpeg desktop-file-validate appstreamcli
read_points "$4"
home=$work

# The test's install must not replace the manifest of the build's own install, which the README's
# uninstall line reads.
manifest=$build/install_manifest.txt
[ ! -e "$manifest" ] || cp -p "$manifest" "$home.manifest"
restore_manifest() {
  if [ -e "$home.manifest" ]; then mv -f "$home.manifest" "$manifest"; else rm -f "$manifest"; fi
}
on_exit restore_manifest
prefix=$home/.local
folder=$prefix/lib/korvu
install() { HOME=$home "$cmake" --install "$build" --prefix "$prefix" >"$home/install.log" ||
  { cat "$home/install.log" >&2; fail "cmake --install failed"; }; }

install
entry=$prefix/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >&2 ||
  fail "appstreamcli validate: $prefix/share/metainfo/$id.metainfo.xml"
for size in 32 48 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" ] || fail "no ${size}px icon"
done
[ "$(readlink "$prefix/bin/korvu")" = ../lib/korvu/Korvu ] || fail "bin/korvu is no link to the program"
grep -qx "Encoder=$folder/korvu-enc"$'\r' "$folder/Korvu.ini" || fail "Korvu.ini names no installed encoder"
grep -q Korvu.ini "$manifest" && fail "Korvu.ini is in the install manifest"

# The Exec line as a launcher reads it: the value's escapes first, then the quoting (the rules of
# the shell's double quotes).
exec_line=$(sed -n 's/^Exec=//p' "$entry")
exec_line=${exec_line//\\\\/\\}
eval "command=($exec_line)"
[ "${command[0]}" = "$prefix/bin/korvu" ] || fail "Exec runs '${command[0]}', not the link"

ffmpeg -loglevel error -f lavfi -i testsrc2=size=160x120:rate=25 -t 1 -c:v mpeg4 "$home/clip.avi"
# A launcher starts the program in the entry's Path: the install folder.
path=$(sed -n 's/^Path=//p' "$entry")
[ "$path" = "$folder" ] || fail "the entry's Path is '$path', not $folder"
xh_launch "$path" env HOME="$home" XDG_CONFIG_HOME="$home/.config" TERMINAL=xterm \
  ASAN_OPTIONS=detect_leaks=0 "${command[@]}"
korvu=$XH_APP_PID
window_ready "$korvu"
# The menu finds its running window by the window's class.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
class=$(xprop -id "$XH_WID" WM_CLASS)
[[ $class == *\"$wm_class\" ]] || fail "the window's class is not $wm_class: $class"

# The preview's encoder is the one of the install folder's Korvu.ini. "Encode" waits for a bitrate.
xh_replace_text ${at[jveBitrate]} 300
xh_click ${at[jveInput]}
xh_type "$home/clip.avi"
sleep 0.5                     # the path suggestions open a moment after the last key
xh_key Escape                 # and are closed, else they take the next click
preview=$(xh_read_preview) || fail "empty preview"
expected="$folder/korvu-enc  -br 300 -aqo 1 -I 4 -ref 4 -bf 2 -bref"
expected+=" -i $home/clip.avi -o $home/clip.264"
[ "$preview" = "$expected" ] || fail "preview: '$preview', expected '$expected'"

# "Encode" writes the job script beside the program's real path, not beside the link or in the
# folder the program was started from.
xh_click ${at[jvbEncode]}
xh_wait_for_file "$folder/Korvu.bat" 30 || fail "no job script in $folder"
for stray in "$prefix/bin/Korvu.bat" "$home/Korvu.bat" "$home/Korvu.ini" "$prefix/bin/Korvu.ini"; do
  [ ! -e "$stray" ] || fail "$stray was written"
done
xh_cleanup || true            # ends the window, its console and the display

# A second install keeps the user's Korvu.ini.
printf '%s\r\n' "[Korvu]" "Encoder=/opt/mine/korvu-enc" "Bitrate=777" "" >"$folder/Korvu.ini"
cp "$folder/Korvu.ini" "$home/saved.ini"
install
cmp "$folder/Korvu.ini" "$home/saved.ini" || fail "the second install changed Korvu.ini"

# The README's uninstall line: what stays is Korvu.ini (and the job script and statistics that the
# window's encode wrote).
(cd "$build" && xargs -d '\n' rm -f <install_manifest.txt)
left=$(cd "$home" && find .local ! -type d ! -name 'divx264_stat.dat*' | sort | tr '\n' ' ')
[ "$left" = ".local/lib/korvu/Korvu.bat .local/lib/korvu/Korvu.ini " ] || fail "left after the uninstall: $left"
echo "install_e2e: passed"
