#!/usr/bin/env bash
# The Windows download is reproducible: scripts/package-windows run twice on one tree, in two
# build folders of their own, gives two zips and two source archives with the same SHA-256. Each
# run links Korvu.exe and korvu-enc.exe and compiles the resources anew, so the link, the resource
# compiler, strip, zip and tar are each met again every time; the second folder starts as a copy
# of the first (the objects compiled once). The zip holds the programs, Korvu.ini, the read-me
# and the licences.
# Usage: reproducible_zip.sh WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$1
mkdir -p "$work"

zips=()
for name in first second; do
  build=$work/$name/windows
  if [ $name = second ]; then
    rm -rf "$work/second"
    mkdir -p "$work/second"
    cp -a "$work/first/windows" "$build"
    # The copy's CMake cache names the first folder; a new configure in the copy sets it right.
    rm -f "$build/CMakeCache.txt"
  fi
  rm -f "$build/bin/Korvu.exe" "$build/bin/korvu-enc.exe"
  find "$build" -name '*.rc.res' -delete 2>/dev/null || true
  zip=$(KORVU_WINDOWS_BUILD=$build "$here/../../scripts/package-windows" | tail -1)
  [ "$zip" = "$work/$name/$(basename "$zip")" ] || { echo "zip at $zip, not beside $build" >&2; exit 1; }
  zips+=("$zip" "${zip%-windows-x86_64.zip}-source.tar.gz")
done
listing=$(unzip -Z1 "${zips[0]}" | sort | tr '\n' ' ')
[ "$listing" = "COPYING.txt Korvu.exe Korvu.ini LICENSE.txt README-Windows.txt korvu-enc.exe " ] ||
  { echo "reproducible_zip: the zip holds $listing" >&2; exit 1; }

sha256sum "${zips[@]}"
for i in 0 1; do
  cmp "${zips[$i]}" "${zips[$((i + 2))]}" || { echo "reproducible_zip: the two differ" >&2; exit 1; }
done
echo "reproducible_zip: passed"
