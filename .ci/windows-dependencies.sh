#!/usr/bin/env bash
# Builds what the Windows cross build needs, from Debian's own packages, with the project's
# MinGW-w64 toolchain file: GoogleTest from the sources libgtest-dev ships, and libxml2 from
# Debian's source package. Everything goes into one prefix outside the checkout
# (FEATURETOGGLE_MINGW_PREFIX, /opt/featuretoggle-mingw64 by default); a later run finds each
# dependency there and does nothing. Needs root for apt-get, or the packages already installed.
set -euo pipefail
checkout="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$checkout/cmake/MinGW-w64-x86_64.cmake"
prefix="${FEATURETOGGLE_MINGW_PREFIX:-/opt/featuretoggle-mingw64}"
work="$prefix/build"
jobs="${FEATURETOGGLE_JOBS:-2}"

packages=(cmake ninja-build mingw-w64 wine64 dpkg-dev libgtest-dev libgmock-dev)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "== Installing ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

mkdir -p "$prefix" "$work"

# A dependency counts as built when its stamp names the version it was built from.
built() { [ -f "$prefix/.built-$1" ] && [ "$(cat "$prefix/.built-$1")" = "$2" ]; }
mark_built() { echo "$2" >"$prefix/.built-$1"; }

gtest_version="$(dpkg-query -W -f='${Version}' libgtest-dev)"
if built googletest "$gtest_version"; then
    echo "== GoogleTest $gtest_version: already in $prefix"
else
    echo "== GoogleTest $gtest_version from /usr/src/googletest"
    rm -rf "$work/googletest"
    cmake -S /usr/src/googletest -B "$work/googletest" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
    cmake --build "$work/googletest" -j "$jobs"
    cmake --install "$work/googletest"
    mark_built googletest "$gtest_version"
fi

# The source package of the libxml2 the Linux build uses, so both platforms parse with the same code.
xml_version="$(apt-cache policy libxml2-dev | sed -n 's/^ *Candidate: //p')"
if built libxml2 "$xml_version"; then
    echo "== libxml2 $xml_version: already in $prefix"
else
    echo "== libxml2 $xml_version from Debian's source package"
    if ! apt-get source --print-uris "libxml2=$xml_version" >/dev/null 2>&1; then
        # Source entries for the suites the machine already uses.
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
                >/etc/apt/sources.list.d/featuretoggle-deb-src.sources
        else
            sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list >/etc/apt/sources.list.d/featuretoggle-deb-src.list
        fi
        apt-get update
    fi
    rm -rf "$work/libxml2-source"
    mkdir -p "$work/libxml2-source"
    (cd "$work/libxml2-source" && apt-get source "libxml2=$xml_version")
    source_dir="$(find "$work/libxml2-source" -mindepth 1 -maxdepth 1 -type d -name 'libxml2-*' | head -n 1)"
    # Only the parser and its reader: no Python, compression, iconv (UTF-8, UTF-16 and Latin-1 are
    # built in), HTTP or FTP.
    rm -rf "$work/libxml2"
    cmake -S "$source_dir" -B "$work/libxml2" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON \
        -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_LZMA=OFF \
        -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
        -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_LEGACY=OFF \
        -DLIBXML2_WITH_MODULES=OFF -DLIBXML2_WITH_THREADS=ON
    cmake --build "$work/libxml2" -j "$jobs"
    cmake --install "$work/libxml2"
    mark_built libxml2 "$xml_version"
fi
echo "== Dependencies of the Windows build are in $prefix"
