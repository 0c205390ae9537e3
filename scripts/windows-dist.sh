#!/usr/bin/env bash
# windows-dist.sh -- the archive a Windows player downloads: vorlash.exe, every generated asset and
# a README.txt, packed flat into <windows build>/vorlash-windows.zip. Made from build outputs only.
# usage: scripts/windows-dist.sh <assets folder> <windows build folder>
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
assets=$(cd "${1:?assets folder}" && pwd)
build=$(cd "${2:?windows build folder}" && pwd)
archive=$build/vorlash-windows.zip

[[ -f $build/vorlash.exe ]] || { echo "windows-dist: build the program first ($build/vorlash.exe)" >&2; exit 2; }
[[ -f $assets/.generated ]] || { echo "windows-dist: generate the assets first ($assets)" >&2; exit 2; }

stage=$build/dist
rm -rf "$stage" "$archive"
mkdir -p "$stage"
cp "$build/vorlash.exe" "$stage/"
find "$assets" -maxdepth 1 -type f ! -name '.*' -exec cp {} "$stage/" \;
# Windows line ends, so every text viewer shows the lines apart.
sed 's/$/\r/' "$root/dist/README-windows.txt" >"$stage/README.txt"
(cd "$stage" && zip -q -X "$archive" ./*)
echo "windows-dist: $archive ($(unzip -Z1 "$archive" | wc -l) files, $(($(stat -c %s "$archive") / 1024)) KiB)"
