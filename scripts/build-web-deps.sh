#!/usr/bin/env bash
# Builds zlib, libpng, libjpeg-turbo (no SIMD), giflib and FreeType with emcc
# (static) from Debian's source packages into the cache folder the toolchain
# file cmake/emscripten.cmake searches:
#   scripts/build-web-deps.sh [CACHE_DIR]   (default $HOME/.cache/lumetra)
# Idempotent: nothing is done when the cache is complete (sources:
# scripts/debian-sources.sh, shared with build-mingw-deps.sh).
set -euo pipefail
cache=$(realpath -m "${1:-$HOME/.cache/lumetra}")
prefix=$cache/web-deps
stamp=$prefix/.complete
want="libz.a libpng16.a libjpeg.a libgif.a libfreetype.a"
complete=1
for f in lib/libz.a include/zlib.h lib/libpng16.a include/png.h lib/libjpeg.a include/jpeglib.h \
         lib/libgif.a include/gif_lib.h lib/libfreetype.a include/freetype2/ft2build.h; do
    [ -f "$prefix/$f" ] || complete=0
done
if [ "$complete" = 1 ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
    exit 0
fi

# shellcheck source=debian-sources.sh
source "$(dirname "$0")/debian-sources.sh"
debian_sources "$cache" web-deps zlib libpng1.6 libjpeg-turbo giflib freetype

export NODE_PATH=/usr/share/nodejs
toolchain=$(cd "$(dirname "$0")/.." && pwd)/cmake/emscripten.cmake
jobs=(-j"$(nproc)")  # one job a core
build=$cache/web-build
rm -rf "$build"; mkdir -p "$build" "$prefix/lib" "$prefix/include"
cmake_common=(-G Ninja --toolchain "$toolchain" -Wno-dev -DCMAKE_BUILD_TYPE=Release
              -DCMAKE_INSTALL_PREFIX="$prefix" -DLUMETRA_WEB_DEPS="$prefix")

# zlib and giflib: a handful of plain C files each, compiled directly (zlib's
# own build also makes a shared library and examples the page does not want).
archive() {  # archive NAME DIR FLAGS UNIT...: compiles DIR/UNIT.c into $prefix/lib/libNAME.a
    local name=$1 dir=$2 flags=$3; shift 3
    local objects=() unit
    mkdir -p "$build/$name"
    for unit in "$@"; do
        emcc -O2 $flags -c "$dir/$unit.c" -o "$build/$name/$unit.o"
        objects+=("$build/$name/$unit.o")
    done
    rm -f "$prefix/lib/lib$name.a"
    emar rcs "$prefix/lib/lib$name.a" "${objects[@]}"
}

echo "web-deps: building zlib"
archive z "$sources/zlib" -DHAVE_UNISTD_H adler32 compress crc32 deflate gzclose gzlib gzread gzwrite \
    infback inffast inflate inftrees trees uncompr zutil
cp "$sources/zlib/zlib.h" "$sources/zlib/zconf.h" "$prefix/include/"

echo "web-deps: building libpng"
cmake -S "$sources/libpng1.6" -B "$build/png" "${cmake_common[@]}" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
cmake --build "$build/png" "${jobs[@]}" >/dev/null
cmake --install "$build/png" >/dev/null

echo "web-deps: building libjpeg-turbo (no SIMD)"
cmake -S "$sources/libjpeg-turbo" -B "$build/jpeg" "${cmake_common[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DREQUIRE_SIMD=OFF >/dev/null
cmake --build "$build/jpeg" "${jobs[@]}" >/dev/null
cmake --install "$build/jpeg" >/dev/null

echo "web-deps: building giflib"
archive gif "$sources/giflib" -std=gnu99 dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize
cp "$sources/giflib/gif_lib.h" "$prefix/include/"

# FreeType with zlib only (PCF.gz fonts); no PNG glyphs, HarfBuzz, Brotli or bzip2.
echo "web-deps: building FreeType"
cmake -S "$sources/freetype" -B "$build/freetype" "${cmake_common[@]}" \
    -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
cmake --build "$build/freetype" "${jobs[@]}" >/dev/null
cmake --install "$build/freetype" >/dev/null

rm -rf "$build"
echo "$want" > "$stamp"
echo "web-deps: ready in $prefix"
