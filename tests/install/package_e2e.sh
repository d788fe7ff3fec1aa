#!/usr/bin/env bash
# The Debian package as a person meets it: scripts/package-deb builds it, lintian has nothing to
# say, its Depends name the packages of every library its programs link, and unpacked
# (dpkg-deb -x) its desktop entry and metainfo pass their validators. The unpacked tree, made
# read-only, is then laid over /usr in a mount namespace of its own (an overlay: nothing is
# installed), and its Korvu runs from there as an ordinary user with a temporary HOME. Started
# through the desktop entry, the first start has the package's Korvu.ini and is ready to encode:
# "Encode" writes Korvu.bat and the statistics into the user's folder ~/.local/share/korvu and the
# two-pass encode ends with a stream that ffprobe reads; "Save settings" opens in that folder and
# saves Korvu.ini there, which the next start, from a terminal in another folder, loads. Nothing
# lands anywhere else, and the package's tree is unchanged. The package, `korvu --version` and the
# metainfo name the version of scripts/version; without a display `korvu --version` answers and
# `korvu` says why it cannot start, making nothing. Root, whose writes to /usr an upper layer of
# the overlay catches, encodes too: its files land in its own folder, none in /usr. Needs root
# (for the mount namespace; Korvu itself runs as "nobody", and then as root).
# Usage: package_e2e.sh SOURCE_DIR BUILD_DIR APP_ID CONTROL_POINTS
set -euo pipefail
. "$(dirname "$0")/../e2e/korvu_e2e.sh"
source_dir=$1 build=$2 id=$3
if [ "$(id -u)" != 0 ]; then
  echo "package_e2e: skipped: needs root for its mount namespace"
  exit 77
fi
e2e_start Xvfb openbox xdotool xclip wmctrl xterm ffmpeg ffprobe desktop-file-validate \
  appstreamcli lintian setpriv unshare
read_points "$4"
chmod 755 "$work"

# The package, built in a tree of this build's.
KORVU_DEB_BUILD=$build/deb "$source_dir/scripts/package-deb" >"$work/package.log" 2>&1 ||
  { tail -n 40 "$work/package.log" >&2; fail "scripts/package-deb failed"; }
deb=$(tail -n 1 "$work/package.log")
[ -f "$deb" ] || fail "no package: $deb"
lintian --fail-on error,warning "$deb" >&2 || fail "lintian: $deb"
version=$("$source_dir/scripts/version")
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "package version, expected $version-1"

# Depends comes from the libraries, whichever packages hold them on this system.
root=$work/root
dpkg-deb -x "$deb" "$root"
depends=$(dpkg-deb -f "$deb" Depends)
for program in Korvu korvu-cmd korvu-enc; do
  for library in $(objdump -p "$root/usr/lib/korvu/$program" | awk '$1 == "NEEDED" {print $2}'); do
    owners=$(dpkg -S "*/$library" 2>/dev/null | sed 's/[:,].*//' | sort -u)
    [ -n "$owners" ] || fail "no package holds $library"
    found=
    for owner in $owners; do [[ ", $depends," == *", $owner "* ]] && found=$owner; done
    [ -n "$found" ] || fail "Depends names none of $owners ($library of $program): $depends"
  done
done

entry=$root/usr/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate: $entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >&2 ||
  fail "appstreamcli validate: $id.metainfo.xml"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo has no release $version"
[ "$(readlink "$root/usr/bin/korvu")" = ../lib/korvu/Korvu ] || fail "/usr/bin/korvu is no link to Korvu"
[ -s "$root/usr/share/man/man1/korvu.1.gz" ] || fail "no manual page"
grep -qx 'Encoder=/usr/lib/korvu/korvu-enc'$'\r' "$root/usr/lib/korvu/Korvu.ini" ||
  fail "the package's Korvu.ini names no installed encoder"

# The tree as an installation has it: read-only, its files described before the runs.
chmod -R a-w "$root"
describe() { (cd "$root" && find . -printf '%p %y %m %s %T@ %l\n' | sort && find . -type f -exec md5sum {} + | sort); }
describe >"$work/tree.before"

# The user: "nobody", with a home, a runtime folder and a clip of its own; root likewise.
home=$work/home
root_home=$work/root-home
mkdir -p "$home" "$work/runtime" "$work/elsewhere" "$root_home" "$work/root-runtime" \
  "$work/upper/usr" "$work/upper/work"
ffmpeg -loglevel error -f lavfi -i testsrc2=size=160x120:rate=25 -t 1 -c:v mpeg4 "$home/clip.avi"
cp "$home/clip.avi" "$root_home/clip.avi"
chown -R 65534:65534 "$home" "$work/runtime"
chmod 700 "$work/runtime" "$work/root-runtime"
user_folder=$home/.local/share/korvu

# packaged nobody|root FOLDER COMMAND...: sets `run` to COMMAND in FOLDER with the package's /usr
# laid over the system's in a mount namespace of its own; as "nobody" read-only, as root writable,
# every write landing in the upper layer $work/upper/usr. The process id of exec'ing `run` stays
# COMMAND's.
packaged() {
  local layers="lowerdir=$root/usr:/usr" as=(setpriv --reuid=65534 --regid=65534 --clear-groups
    --inh-caps=-all) user_home=$home runtime=$work/runtime
  if [ "$1" = root ]; then
    layers="lowerdir=$root/usr:/usr,upperdir=$work/upper/usr,workdir=$work/upper/work" as=()
    user_home=$root_home runtime=$work/root-runtime
  fi
  run=(unshare --mount --propagation private -- sh -c
    'mount -t overlay korvu-package -o "$1" /usr && cd "$2" && shift 2 && exec "$@"'
    sh "$layers" "$2" "${as[@]}" env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$user_home"
    XDG_RUNTIME_DIR="$runtime" TERMINAL=xterm "${@:3}")
}
package() {
  packaged nobody "$@"
  xh_launch "$work" "${run[@]}"
}

# A terminal without a display: --version answers, a start says why it cannot open the window (no
# display named, or one that is not there), and neither makes the user's folder.
packaged nobody "$work/elsewhere" env -u DISPLAY -u WAYLAND_DISPLAY korvu --version
answer=$("${run[@]}") || fail "korvu --version without a display failed"
[ "$answer" = "Korvu $version" ] || fail "korvu --version: '$answer'"
for display in -uDISPLAY DISPLAY=:9999; do
  packaged nobody "$work/elsewhere" env -u WAYLAND_DISPLAY "$display" korvu
  "${run[@]}" >"$work/out" 2>"$work/err" && status=0 || status=$?
  [ "$status" = 1 ] && [ ! -s "$work/out" ] && [ "$(wc -l <"$work/err")" = 1 ] &&
    grep -q 'DISPLAY.*WAYLAND_DISPLAY' "$work/err" ||
    fail "korvu, $display: status $status, '$(cat "$work/out" "$work/err")'"
done
[ ! -e "$home/.local" ] || fail "korvu without a display made $home/.local"

preview_is() { [ "$(xh_read_preview 2>/dev/null)" = "$1" ]; }
# expect_preview TEXT WHAT: the preview shows TEXT; read again while a busy machine lets the window
# catch up with the keys.
expect_preview() {
  xh_wait_for 15 preview_is "$1" || fail "$2: '$(xh_read_preview)', expected '$1'"
}
window() { window_ready "$XH_APP_PID"; }
close_window() {
  local korvu=$XH_APP_PID status
  xh_close_window
  xh_wait_pid_exit "$korvu" 20 || fail "Korvu did not end after its window closed"
  wait "$korvu" && status=0 || status=$?
  [ "$status" = 0 ] || fail "Korvu ended with status $status: $(tail -n 3 "$XH_APP_LOG")"
}

console_id() { wmctrl -l | awk '/Korvu\.bat/ {print $1; exit}'; }
console_shown() { [ -n "$(console_id)" ]; }
console_focused() { [ "$(xdotool getwindowfocus)" = "$(($(console_id)))" ]; }

# The path suggestions open a moment after the last key (longer on a busy machine) and are closed,
# else they take the next click.
list_shown() { [ "$(xdotool search --onlyvisible --pid "$XH_APP_PID" 2>/dev/null | wc -l)" -ge 2 ]; }
# The line that the clip in the user's home HOME gives with bitrate 300 and the package's defaults.
job_line() {
  echo "/usr/lib/korvu/korvu-enc  -br 300 -aqo 1 -I 4 -ref 4 -bf 2 -bref -i $1/clip.avi -o $1/clip.264"
}
# encode HOME WHAT: the clip in HOME in two passes at bitrate 300, the job script in HOME's user
# folder; the console is ended with the key that its PAUSE waits for.
encode() {
  xh_click ${at[jveInput]}
  xh_type "$1/clip.avi"
  xh_wait_for 10 list_shown || true
  xh_key Escape
  xh_wait_for 5 eval '! list_shown' || fail "the suggestions stayed open"
  xh_replace_text ${at[jveBitrate]} 300
  expect_preview "$(job_line "$1")" "$2"
  xh_click ${at[jvbEncode]}
  xh_wait_for 30 console_shown || fail "$2: no console window"
  [ -f "$1/.local/share/korvu/Korvu.bat" ] || fail "$2: no job script in $1/.local/share/korvu"
  xh_wait_for_file "$1/clip.264" 120 || fail "$2: no output stream"
  sleep 1                       # the script rings the bell and reaches PAUSE
  wmctrl -i -a "$(console_id)"
  xh_wait_for 5 console_focused || fail "$2: the console did not take the focus"
  xh_key Return
  xh_wait_restored 20 || fail "$2: the window was not restored after the console ended"
}

# The menu's way: the Exec line in the entry's Path. The first start is ready to encode with the
# package's Korvu.ini.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
exec_line=${exec_line//\\\\/\\}
eval "command=($exec_line)"
[ "${command[0]}" = /usr/bin/korvu ] || fail "Exec runs '${command[0]}'"
package "$(sed -n 's/^Path=//p' "$entry")" "${command[@]}"
window
encode "$home" "first start"

# "Save settings" opens in the user's folder: the name typed lands there.
main=$XH_WID
xh_click ${at[jvbSaveIni]}
XH_WID=$(xh_dialog_id 10 "$main") || fail "no save dialog"
xh_type Korvu.ini
sleep 1                       # the suggestion list opens once the folder has been read
xh_key Return
XH_WID=$main
xh_wait_for_file "$user_folder/Korvu.ini" 10 || fail "no Korvu.ini in $user_folder"
close_window

# From a terminal in another folder: the same home, and the saved defaults.
package "$work/elsewhere" korvu
window
expect_preview "$(job_line "$home")" "second start"
close_window

# Root, as `sudo korvu` starts it, may write into /usr: it keeps its files in its own folder too.
packaged root "$work/elsewhere" korvu
xh_launch "$work" "${run[@]}"
window
encode "$root_home" "root's start"
close_window
written=$(cd "$work/upper/usr" && find . -mindepth 1)
[ -z "$written" ] || fail "root wrote into /usr: $written"

frames=$(ffprobe -v error -select_streams v:0 -count_frames \
  -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$home/clip.264")
[ "$frames" = "h264,25" ] || fail "ffprobe: '$frames', expected h264 with 25 frames"
[ -f "$user_folder/divx264_stat.dat" ] || fail "no statistics in $user_folder"
kept=$(find "$work" \( -name 'Korvu.*' -o -name 'divx264_stat*' \) ! -path "$root/*" | sort | tr '\n' ' ')
root_folder=$root_home/.local/share/korvu
[ "$kept" = "$user_folder/Korvu.bat $user_folder/Korvu.ini $user_folder/divx264_stat.dat $user_folder/divx264_stat.dat.mbtree $root_folder/Korvu.bat $root_folder/divx264_stat.dat $root_folder/divx264_stat.dat.mbtree " ] ||
  fail "the users' files: $kept"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "files in the folder Korvu was started from"
describe | cmp -s - "$work/tree.before" || fail "the package's tree changed"
echo "package_e2e: passed"
