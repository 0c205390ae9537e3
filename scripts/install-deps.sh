#!/usr/bin/env bash
# install-deps.sh -- installs the Debian packages a build needs, and only the missing ones.
# usage: scripts/install-deps.sh [core|test|bench|package|windows|fuzz|smoke]...   (default: core)
# core is what building and playing need; test adds GoogleTest; bench Google Benchmark and its peers.
set -euo pipefail

core=(cmake ninja-build g++ make pkg-config ccache
      libsdl2-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
      libfluidsynth-dev timgm6mb-soundfont libpng-dev)
test=(googletest libgtest-dev libgmock-dev)
bench=(libbenchmark-dev liballegro4-dev libsdl2-gfx-dev)
package=(dpkg-dev file)
windows=(g++-mingw-w64-i686-posix mingw-w64-i686-dev)
fuzz=(clang libclang-rt-14-dev)
smoke=(xvfb xdotool imagemagick sox x11-utils)

wanted=()
for set in "${@:-core}"; do
    case "$set" in
        core) wanted+=("${core[@]}") ;;
        test) wanted+=("${test[@]}") ;;
        bench) wanted+=("${bench[@]}") ;;
        package) wanted+=("${package[@]}") ;;
        windows) wanted+=("${windows[@]}") ;;
        fuzz) wanted+=("${fuzz[@]}") ;;
        smoke) wanted+=("${smoke[@]}") ;;
        *) echo "install-deps: unknown package set '$set'" >&2; exit 2 ;;
    esac
done

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    run=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    run=(sudo)
else
    echo "install-deps: cannot install packages (not root, no sudo); please install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq || true
if ! "${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
    echo "install-deps: apt-get failed; please install: ${missing[*]}" >&2
    exit 1
fi
