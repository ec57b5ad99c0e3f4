#!/usr/bin/env bash
# Builds libpng, libjpeg-turbo, giflib and FreeType for x86_64-w64-mingw32 (static) from Debian's
# source packages into the cache folder the toolchain file searches:
#   scripts/build-mingw-deps.sh [CACHE_DIR]   (default $HOME/.cache/lumetra)
# zlib comes from the package libz-mingw-w64-dev. Idempotent: nothing is done
# when the cache is complete (sources: scripts/debian-sources.sh).
set -euo pipefail
cache=$(realpath -m "${1:-$HOME/.cache/lumetra}")
prefix=$cache/mingw-deps
stamp=$prefix/.complete
want="libpng16.a libjpeg.a libgif.a libfreetype.a"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ] \
   && [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/png.h" ] \
   && [ -f "$prefix/lib/libgif.a" ] && [ -f "$prefix/include/gif_lib.h" ] \
   && [ -f "$prefix/lib/libfreetype.a" ] && [ -f "$prefix/include/freetype2/ft2build.h" ]; then
    exit 0
fi

# shellcheck source=debian-sources.sh
source "$(dirname "$0")/debian-sources.sh"
debian_sources "$cache" mingw-deps libpng1.6 libjpeg-turbo giflib freetype

toolchain=$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-w64.cmake
jobs=(-j"$(nproc)")  # one job a core
build=$cache/build
rm -rf "$build"; mkdir -p "$build"

echo "mingw-deps: building zlib-linked libpng (static)"
cmake -S "$sources/libpng1.6" -B "$build/png" -G Ninja --toolchain "$toolchain" \
    -Wno-dev -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DLUMETRA_WIN_DEPS="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
cmake --build "$build/png" "${jobs[@]}" >/dev/null
cmake --install "$build/png" >/dev/null

echo "mingw-deps: building libjpeg-turbo (static, SIMD)"
simd=-DREQUIRE_SIMD=OFF
command -v nasm >/dev/null && simd=-DREQUIRE_SIMD=ON
cmake -S "$sources/libjpeg-turbo" -B "$build/jpeg" -G Ninja --toolchain "$toolchain" \
    -Wno-dev -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DLUMETRA_WIN_DEPS="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF "$simd" >/dev/null
cmake --build "$build/jpeg" "${jobs[@]}" >/dev/null
cmake --install "$build/jpeg" >/dev/null

# giflib has only a Makefile for Unix; its library is a handful of plain C
# files, compiled here directly with the toolchain's compiler.
echo "mingw-deps: building giflib (static)"
mkdir -p "$build/gif" "$prefix/lib" "$prefix/include"
gif_objects=()
for unit in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
    x86_64-w64-mingw32-gcc-posix -O2 -std=gnu99 -c "$sources/giflib/$unit.c" -o "$build/gif/$unit.o"
    gif_objects+=("$build/gif/$unit.o")
done
rm -f "$prefix/lib/libgif.a"
x86_64-w64-mingw32-ar rcs "$prefix/lib/libgif.a" "${gif_objects[@]}"
cp "$sources/giflib/gif_lib.h" "$prefix/include/"

# FreeType with zlib only (PCF.gz fonts); no PNG glyphs, HarfBuzz, Brotli or bzip2.
echo "mingw-deps: building FreeType (static)"
cmake -S "$sources/freetype" -B "$build/freetype" -G Ninja --toolchain "$toolchain" \
    -Wno-dev -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DLUMETRA_WIN_DEPS="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
cmake --build "$build/freetype" "${jobs[@]}" >/dev/null
cmake --install "$build/freetype" >/dev/null

rm -rf "$build"
echo "$want" > "$stamp"
echo "mingw-deps: ready in $prefix"
