#!/usr/bin/env bash
# install-deps.sh -- installs the Debian packages a build needs, and only the missing ones.
# usage: scripts/install-deps.sh [core|test|bench|package|windows|fuzz|smoke|wine|docs|web]...   (default: core)
# core is what building and playing need; test adds GoogleTest; bench Google Benchmark and its peers;
# docs Doxygen for the API reference.
# The wine set (the Windows program played under Wine) needs 32-bit packages beside the native
# ones; it is installed so that no package of the native build is ever removed, and checked after.
set -euo pipefail

core=(cmake ninja-build g++ make pkg-config ccache
      libsdl2-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
      libfluidsynth-dev timgm6mb-soundfont libpng-dev)
test=(googletest libgtest-dev libgmock-dev)
bench=(libbenchmark-dev liballegro4-dev libsdl2-gfx-dev python3)
package=(dpkg-dev file)
windows=(g++-mingw-w64-i686-posix mingw-w64-i686-dev zip)
fuzz=(clang libclang-rt-14-dev)
smoke=(xvfb xdotool imagemagick sox x11-utils linux-perf)
docs=(doxygen)
# Wine's X11 driver needs the 32-bit X libraries to change display modes, and a (software) GL to show
# what is written straight into the visible surface. The program's DirectSound reaches a PulseAudio
# server of the smoke run's own through Wine's PulseAudio driver, which loads the 32-bit libpulse;
# parecord records that server's null sink and sox measures the recording.
# The web build: emscripten (its system libraries come prebuilt; its ports need the internet and are
# not used), Debian's FreeType source unpacked by dpkg-source (scripts/web-freetype.sh), the page's
# soundfont and font, headless Chromium for the smoke run, and the npm packages of
# platform/host/web/package-lock.json (js-synthesizer for music, puppeteer-core to drive Chromium).
web=(emscripten dpkg-dev timgm6mb-soundfont fonts-dejavu-core chromium)
wine=(wine wine32:i386 libxrandr2:i386 libxrender1:i386 libxi6:i386 libxcursor1:i386 libxfixes3:i386
      libxinerama1:i386 libxcomposite1:i386 libxxf86vm1:i386 libgl1:i386 libgl1-mesa-dri:i386
      libpulse0:i386 pulseaudio pulseaudio-utils sox
      xvfb xdotool imagemagick x11-utils unzip)

wanted=()
npm_ci=false
for set in "${@:-core}"; do
    case "$set" in
        core) wanted+=("${core[@]}") ;;
        test) wanted+=("${test[@]}") ;;
        bench) wanted+=("${bench[@]}") ;;
        package) wanted+=("${package[@]}") ;;
        windows) wanted+=("${windows[@]}") ;;
        fuzz) wanted+=("${fuzz[@]}") ;;
        smoke) wanted+=("${smoke[@]}") ;;
        wine) wanted+=("${wine[@]}") ;;
        docs) wanted+=("${docs[@]}") ;;
        web) wanted+=("${web[@]}"); command -v npm >/dev/null || wanted+=(npm); npm_ci=true ;;
        *) echo "install-deps: unknown package set '$set'" >&2; exit 2 ;;
    esac
done

# The web page's npm packages, exactly as the lock file pins them, once per change of the lock file;
# no browser is downloaded (the smoke run drives the system's Chromium).
npm_install() {
    $npm_ci || return 0
    local dir stamp
    dir="$(dirname "$0")/../platform/host/web"
    stamp="$dir/node_modules/.package-lock.json"
    [[ -f $stamp && $stamp -nt $dir/package-lock.json ]] && return 0
    echo "install-deps: npm ci in platform/host/web"
    (cd "$dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
}

missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if [[ ${#missing[@]} -eq 0 ]]; then
    npm_install
    exit 0
fi

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
apt_install() { "${run[@]}" apt-get install -y -qq --no-install-recommends "$@"; }

# The 32-bit wine packages pull the JACK 2 library, which replaces the old libjack-dev and with it
# would take libfluidsynth-dev away. JACK 2's own -dev package satisfies fluidsynth as well, so it
# goes in first and both builds live side by side.
wine_wanted=false
[[ " ${missing[*]} " == *":i386 "* ]] && wine_wanted=true
if $wine_wanted; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${run[@]}" dpkg --add-architecture i386
    fi
fi
"${run[@]}" apt-get update -qq || true
if $wine_wanted; then
    native=("${core[@]}" "${test[@]}" "${bench[@]}" "${package[@]}" "${windows[@]}")
    if dpkg-query -W -f='${Status}' libjack-dev 2>/dev/null | grep -q "install ok installed"; then
        apt_install libjack-jackd2-dev || { echo "install-deps: cannot install libjack-jackd2-dev" >&2; exit 1; }
    fi
    # Nothing the native build needs may go: simulate first and refuse if it would.
    removed=$("${run[@]}" apt-get install -s --no-install-recommends "${missing[@]}" | awk '/^Remv/ { print $2 }')
    for pkg in $removed; do
        for need in "${native[@]}"; do
            if [[ ${pkg%%:*} == "$need" ]]; then
                echo "install-deps: installing ${missing[*]} would remove $pkg, which the native build needs" >&2
                exit 1
            fi
        done
    done
fi
if ! apt_install "${missing[@]}"; then
    echo "install-deps: apt-get failed; please install: ${missing[*]}" >&2
    exit 1
fi
if $wine_wanted; then
    for pkg in "${native[@]}"; do
        status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
        if [[ "$status" != "install ok installed" ]]; then
            echo "install-deps: $pkg of the native build is no longer installed" >&2
            exit 1
        fi
    done
    echo "install-deps: the native build's packages are all still installed"
fi
npm_install
