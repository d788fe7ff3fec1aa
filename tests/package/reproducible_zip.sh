#!/usr/bin/env bash
# The Windows download is reproducible: scripts/package-windows run twice on one tree, in two
# build folders of their own, gives two zips with the same SHA-256. Each run links Korvu.exe and
# compiles its resources anew (the rest of a build folder is kept between runs), so the link, the
# resource compiler, strip and zip are each met again every time.
# Usage: reproducible_zip.sh WORK_FOLDER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$1
mkdir -p "$work"

zips=()
for name in first second; do
  build=$work/$name/windows
  rm -f "$build/bin/Korvu.exe"
  find "$build" -name '*.rc.res' -delete 2>/dev/null || true
  zip=$(KORVU_WINDOWS_BUILD=$build "$here/../../scripts/package-windows" | tail -1)
  [ "$zip" = "$work/$name/$(basename "$zip")" ] || { echo "zip at $zip, not beside $build" >&2; exit 1; }
  zips+=("$zip")
done

sums=$(sha256sum "${zips[@]}")
echo "$sums"
if [ "$(awk '{print $1}' <<<"$sums" | sort -u | wc -l)" != 1 ]; then
  echo "reproducible_zip: the two zips differ" >&2
  cmp -l "${zips[@]}" | head -20 >&2 || true
  exit 1
fi
echo "reproducible_zip: passed"
