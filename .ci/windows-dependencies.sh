#!/usr/bin/env bash
# Builds what the Windows cross build needs, from Debian's own packages, with the project's
# MinGW-w64 toolchain file: GoogleTest from the sources libgtest-dev ships, libxml2 from
# Debian's source package, and the header-only JSON library of nlohmann-json3-dev (for the example
# host). Everything goes into one prefix outside the checkout
# (FEATURETOGGLE_MINGW_PREFIX, /opt/featuretoggle-mingw64 by default); a later run finds each
# dependency there and does nothing. Needs root for apt-get, or the packages already installed.
set -euo pipefail
checkout="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$checkout/cmake/MinGW-w64-x86_64.cmake"
prefix="${FEATURETOGGLE_MINGW_PREFIX:-/opt/featuretoggle-mingw64}"
work="$prefix/build"
jobs="${FEATURETOGGLE_JOBS:-2}"

packages=(cmake ninja-build mingw-w64 wine64 dpkg-dev libgtest-dev libgmock-dev nlohmann-json3-dev)
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
# Configures the CMake project in $1 afresh in $work/$2 for Windows, with the options that follow,
# then builds it and installs it into the prefix.
build_and_install() {
    local source="$1" build="$work/$2"
    shift 2
    rm -rf "$build"
    cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
    cmake --build "$build" -j "$jobs"
    cmake --install "$build"
}

gtest_version="$(dpkg-query -W -f='${Version}' libgtest-dev)"
if built googletest "$gtest_version"; then
    echo "== GoogleTest $gtest_version: already in $prefix"
else
    echo "== GoogleTest $gtest_version from /usr/src/googletest"
    build_and_install /usr/src/googletest googletest -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
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
    build_and_install "$source_dir" libxml2 -DBUILD_SHARED_LIBS=ON \
        -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_ZLIB=OFF -DLIBXML2_WITH_LZMA=OFF \
        -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF \
        -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_LEGACY=OFF \
        -DLIBXML2_WITH_MODULES=OFF -DLIBXML2_WITH_THREADS=ON
    mark_built libxml2 "$xml_version"
fi
# Header-only: its headers and package files are copied as Debian ships them. The package files
# find the headers relative to themselves, so they point into the prefix.
json_version="$(dpkg-query -W -f='${Version}' nlohmann-json3-dev)"
if built nlohmann-json "$json_version"; then
    echo "== nlohmann-json $json_version: already in $prefix"
else
    echo "== nlohmann-json $json_version from nlohmann-json3-dev"
    mkdir -p "$prefix/include" "$prefix/share/cmake"
    rm -rf "$prefix/include/nlohmann" "$prefix/share/cmake/nlohmann_json"
    cp -r /usr/include/nlohmann "$prefix/include/"
    cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
    mark_built nlohmann-json "$json_version"
fi
echo "== Dependencies of the Windows build are in $prefix"
