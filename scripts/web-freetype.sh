#!/usr/bin/env bash
# web-freetype.sh -- FreeType for the web build, from Debian's own source package of the FreeType the
# native build links (the same version, with Debian's patches), built with emscripten into
# BUILD-WEB/freetype/install. emscripten's port of FreeType downloads from the internet; this needs
# only the Debian mirror apt already uses. Done once: a second run finds the library and returns.
# usage: scripts/web-freetype.sh BUILD-WEB
set -euo pipefail
out=$(realpath -m "${1:?usage: web-freetype.sh BUILD-WEB}")/freetype
[[ -f $out/install/lib/libfreetype.a ]] && exit 0
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}  # Debian's emcc finds its Node modules there
version=$(dpkg-query -W -f='${source:Version}\n' libfreetype6 | head -1)
rm -rf "$out" && mkdir -p "$out/apt/lists/partial" "$out/apt/cache/archives/partial"

# apt with a source list of its own: deb-src lines for the mirror the system's apt already uses (its
# first archive that is not the security one; DEBIAN_MIRROR to change it), and its own index and
# cache, so the system's apt configuration is left as it was.
system_mirror() {
    { grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '{ print $2 }'
      grep -h '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
          awk '{ for (i = 2; i <= NF; ++i) if ($i ~ /^[a-z]+:\/\//) { print $i; break } }'
    } | grep -v -- '-security' | head -1 || true  # no match is no mirror, said below
}
mirror=${DEBIAN_MIRROR:-$(system_mirror)}
[[ -n $mirror ]] || { echo "web-freetype: apt names no Debian mirror; set DEBIAN_MIRROR" >&2; exit 1; }
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$out/apt/sources.list" <<LIST
deb-src [signed-by=$keyring] ${mirror%/} $codename main
deb-src [signed-by=$keyring] ${mirror%/}-security $codename-security main
deb-src [signed-by=$keyring] ${mirror%/} $codename-updates main
LIST
apt_opts=(-o "Dir::Etc::SourceList=$out/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
          -o "Dir::State::Lists=$out/apt/lists" -o "Dir::Cache=$out/apt/cache" -o Debug::NoLocking=1
          -o APT::Sandbox::User=root)
apt-get "${apt_opts[@]}" -qq update
(cd "$out" && apt-get "${apt_opts[@]}" -qq source --download-only "freetype=$version")
# Unpacked with Debian's patches applied, as the library the native build links was built.
(cd "$out" && dpkg-source -x --no-check ./freetype_*.dsc src >/dev/null)

# Only what gdi_text.cpp uses: outlines and bitmaps from TrueType files, no compressed or PNG fonts.
emcmake cmake -S "$out/src" -B "$out/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$out/install" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
cmake --build "$out/build" >/dev/null
cmake --install "$out/build" >/dev/null
echo "web-freetype: FreeType $version built into $out/install"
