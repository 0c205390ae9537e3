#!/usr/bin/env bash
# install_check.sh -- the build as others get it: installs it into a scratch prefix, checks that a
# player's and a developer's files are there, then builds two programs out of tree, each twice:
# through find_package(Vorlash) and through pkg-config. The consumer, with its own main(), runs on
# the headless host; winmain_only, with the installed entry's main(), on SDL's dummy drivers.
# usage: install_check.sh BUILD_DIR SCRATCH_DIR      (CXX: the compiler; default c++)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$1
scratch=$2
prefix=$scratch/prefix
cxx=${CXX:-c++}
rm -rf "$scratch"
mkdir -p "$scratch"

cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
failures=0
expect_file() {  # a path under the prefix, with shell wildcards
    local found=("$prefix"/$1)
    if [[ -e ${found[0]} ]]; then echo "ok: $1"; else echo "FAIL: $1 is not installed"; failures=$((failures + 1)); fi
}
for f in bin/vorlash share/vorlash/LAVA.BMP share/vorlash/PALDATA2.PAL share/applications/vorlash.desktop \
    share/icons/hicolor/128x128/apps/vorlash.png 'lib*/cmake/Vorlash/VorlashConfig.cmake' 'lib*/pkgconfig/vorlash.pc' \
    'lib*/libvorlash.a' include/vorlash/display.h include/vorlash/services.h include/vorlash/sdk/windows.h \
    share/vorlash/examples/first.cpp share/vorlash/examples/skeleton.h share/vorlash/examples/files/ufo.bmp; do
    expect_file "$f"
done

run_both() {  # the folder holding both programs
    "$1/consumer" || failures=$((failures + 1))
    if SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$1/winmain_only"; then
        echo "winmain_only: the entry called WinMain, which returned 0"
    else
        echo "FAIL: winmain_only"; failures=$((failures + 1))
    fi
}

echo "== find_package(Vorlash)"
cmake -S "$here" -B "$scratch/cmake-build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" \
    >"$scratch/cmake-configure.log"
cmake --build "$scratch/cmake-build" >"$scratch/cmake-build.log"
run_both "$scratch/cmake-build"

echo "== pkg-config vorlash"
pc_dir=$(dirname "$(echo "$prefix"/lib*/pkgconfig/vorlash.pc)")
flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs --static vorlash)
mkdir -p "$scratch/pkg-config-build"
for program in consumer winmain_only; do
    "$cxx" -std=c++20 "$here/$program.cpp" $flags -o "$scratch/pkg-config-build/$program"
done
run_both "$scratch/pkg-config-build"

((failures == 0)) && echo "install check: all checks passed"
exit $((failures > 0))
