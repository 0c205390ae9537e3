#!/usr/bin/env bash
# deb-smoke.sh -- the Debian package as a player gets it: installs it with apt-get (refusing to if
# that would remove any other package), checks the files a desktop needs, plays the installed game
# through its launcher with the smoke run (intro, keys, ESC, exit code 0), and removes it again.
# usage: scripts/deb-smoke.sh [build folder]     (needs root or sudo; the package from `make deb`)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
shopt -s nullglob
debs=("$build"/vorlash_*.deb)
((${#debs[@]} == 1)) || { echo "deb-smoke: expected one package in $build (make deb)" >&2; exit 2; }
deb=${debs[0]}

if [[ $(id -u) -eq 0 ]]; then
    run=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    run=(sudo)
else
    echo "deb-smoke: installing a package needs root or sudo" >&2
    exit 2
fi
export DEBIAN_FRONTEND=noninteractive

removals=$("${run[@]}" apt-get install -s -y --no-install-recommends "$deb" | grep '^Remv' || true)
if [[ -n $removals ]]; then
    echo "deb-smoke: installing would remove other packages:" >&2
    echo "$removals" >&2
    exit 1
fi
"${run[@]}" apt-get install -y -qq --no-install-recommends "$deb"
trap '"${run[@]}" apt-get remove -y -qq vorlash' EXIT

failures=0
for file in /usr/bin/vorlash /usr/share/applications/vorlash.desktop /usr/share/icons/hicolor/128x128/apps/vorlash.png \
    /usr/share/vorlash/LAVA.BMP /usr/share/vorlash/PALDATA2.PAL; do
    [[ -e $file ]] || { echo "deb-smoke: FAIL: $file is not installed" >&2; failures=$((failures + 1)); }
done
SMOKE_PROGRAM=/usr/bin/vorlash SMOKE_ASSETS=/usr/share/vorlash "$root/scripts/smoke.sh" "$build" || failures=$((failures + 1))
((failures == 0)) && echo "deb-smoke: the installed package played and passed every check"
exit $((failures > 0))
