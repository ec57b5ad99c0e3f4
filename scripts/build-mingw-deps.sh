#!/usr/bin/env bash
# Builds libpng, libjpeg-turbo, giflib and FreeType for x86_64-w64-mingw32 (static) from Debian's
# source packages into the cache folder the toolchain file searches:
#   scripts/build-mingw-deps.sh [CACHE_DIR]   (default $HOME/.cache/lumetra)
# zlib comes from the package libz-mingw-w64-dev. Idempotent: nothing is done
# when the cache is complete. The machine's apt configuration is not touched:
# apt-get reads a private source list and keeps its lists in the cache folder.
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

sources=$cache/sources
apt_dir=$cache/apt
mkdir -p "$sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"

# deb-src twins of the machine's own deb entries (one-line and deb822 forms),
# so the same mirror serves the sources.
: > "$apt_dir/sources.list"
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list"
done
rm -f "$apt_dir/sources.list.d/"*
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
done
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)

fetch() {  # fetch PACKAGE: unpacks its source into $sources/PACKAGE
    local package=$1
    [ -d "$sources/$package" ] && return 0
    local work=$sources/.fetch-$package
    rm -rf "$work"; mkdir -p "$work"
    # Newest first; a mirror may list a version whose files it does not hold.
    local version ok=""
    for version in $(apt-cache "${apt_opts[@]}" showsrc "$package" | sed -n 's/^Version: //p' | sort -Vru); do
        rm -f "$work"/*
        if (cd "$work" && apt-get "${apt_opts[@]}" -qq source --download-only "$package=$version" >/dev/null 2>&1); then
            ok=$version; break
        fi
    done
    [ -n "$ok" ] || { echo "mingw-deps: cannot fetch the source of $package" >&2; return 1; }
    local dsc; dsc=$(ls "$work"/*.dsc | head -1)
    dpkg-source -x "$dsc" "$work/tree" >/dev/null 2>&1
    mv "$work/tree" "$sources/$package"
    rm -rf "$work"
}

if [ ! -d "$sources/libpng1.6" ] || [ ! -d "$sources/libjpeg-turbo" ] || [ ! -d "$sources/giflib" ] \
   || [ ! -d "$sources/freetype" ]; then
    echo "mingw-deps: fetching the sources of libpng1.6, libjpeg-turbo, giflib and freetype"
    apt-get "${apt_opts[@]}" -qq update
    fetch libpng1.6
    fetch libjpeg-turbo
    fetch giflib
    fetch freetype
fi

toolchain=$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-w64.cmake
jobs=(-j2)
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
