#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UBSan) in
# build/fuzz, with libpng, libjpeg-turbo and giflib compiled from Debian's sources
# under the same instrumentation, and runs one of them:
#   scripts/fuzz.sh                      build only
#   scripts/fuzz.sh TARGET [SECONDS]     fuzz bmp|ico|png|jpeg|gif|import|settings|listing|chr|font (default 600 s)
# The working corpus grows in build/fuzz/corpus/TARGET from fuzz/corpus/TARGET;
# crashes, leaks and timeouts land in build/fuzz/findings/TARGET.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
deps=$build/deps
sources=$HOME/.cache/lumetra/sources
# Undefined behaviour ends the run like a crash, so that it is found, not just printed.
flags="-g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=undefined"

# (a deps folder made before giflib joined is made again)
if [ ! -f "$deps/.complete" ] || [ ! -f "$deps/lib/libgif.a" ]; then
    # The same Debian sources the Windows build uses.
    [ -d "$sources/libpng1.6" ] && [ -d "$sources/libjpeg-turbo" ] && [ -d "$sources/giflib" ] ||
        bash "$root/scripts/build-mingw-deps.sh"
    rm -rf "$build/deps-build"
    cmake -S "$sources/libpng1.6" -B "$build/deps-build/png" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$deps" \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -DSKIP_INSTALL_PROGRAMS=ON >/dev/null
    cmake --build "$build/deps-build/png" -j"$(nproc)" >/dev/null
    cmake --install "$build/deps-build/png" >/dev/null
    cmake -S "$sources/libjpeg-turbo" -B "$build/deps-build/jpeg" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$deps" -DCMAKE_INSTALL_LIBDIR=lib \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF >/dev/null
    cmake --build "$build/deps-build/jpeg" -j"$(nproc)" --target jpeg-static >/dev/null
    # Debian's packaging leaves the static library out of the install step.
    mkdir -p "$deps/lib" && cp "$build/deps-build/jpeg/libjpeg.a" "$deps/lib/"
    cp "$build/deps-build/jpeg/jconfig.h" "$sources/libjpeg-turbo/jpeglib.h" "$sources/libjpeg-turbo/jmorecfg.h" \
       "$sources/libjpeg-turbo/jerror.h" "$deps/include/"
    # giflib: a handful of plain C files, as for the Windows build.
    mkdir -p "$build/deps-build/gif"
    gif_objects=()
    for unit in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
        clang $flags -c "$sources/giflib/$unit.c" -o "$build/deps-build/gif/$unit.o"
        gif_objects+=("$build/deps-build/gif/$unit.o")
    done
    rm -f "$deps/lib/libgif.a"
    ar rcs "$deps/lib/libgif.a" "${gif_objects[@]}"
    cp "$sources/giflib/gif_lib.h" "$deps/include/"
    rm -rf "$build/deps-build"
    touch "$deps/.complete"
fi

# FreeType on its own, so that a deps folder made before it keeps the rest.
# Its BDF reader adds 0 to a null pointer (bdflib.c, harmless), which would
# end every run within seconds: that one check is off for FreeType alone.
if [ ! -f "$deps/lib/libfreetype.a" ] || [ ! -f "$deps/.freetype-2" ]; then
    [ -d "$sources/freetype" ] || bash "$root/scripts/build-mingw-deps.sh"
    rm -rf "$build/deps-build"
    cmake -S "$sources/freetype" -B "$build/deps-build/freetype" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS="$flags -fno-sanitize=pointer-overflow" -DCMAKE_INSTALL_PREFIX="$deps" \
        -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
    cmake --build "$build/deps-build/freetype" -j"$(nproc)" >/dev/null
    cmake --install "$build/deps-build/freetype" >/dev/null
    rm -rf "$build/deps-build"
    touch "$deps/.freetype-2"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_PREFIX_PATH="$deps" -DJPEG_LIBRARY_RELEASE="$deps/lib/libjpeg.a" -DPNG_LIBRARY_RELEASE="$deps/lib/libpng16.a" \
    -DJPEG_INCLUDE_DIR="$deps/include" -DPNG_PNG_INCLUDE_DIR="$deps/include" \
    -DGIF_LIBRARY="$deps/lib/libgif.a" -DGIF_INCLUDE_DIR="$deps/include" \
    -DFREETYPE_LIBRARY="$deps/lib/libfreetype.a" -DFREETYPE_INCLUDE_DIRS="$deps/include/freetype2" \
    -DLUMETRA_FUZZ=ON -DLUMETRA_TESTS=OFF >/dev/null
targets=(bmp ico png jpeg gif import settings listing chr font)
cmake --build "$build" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

target=${1:-}
[ -n "$target" ] || exit 0
seconds=${2:-600}
corpus=$build/corpus/$target findings=$build/findings/$target
mkdir -p "$corpus" "$findings"
seeds=$root/fuzz/corpus/$target
[ "$target" = import ] && seeds=$root/fuzz/corpus
cd "$findings"
exec "$build/fuzz/fuzz_$target" "$corpus" "$seeds" -max_total_time="$seconds" -artifact_prefix="$findings/" \
    -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1
