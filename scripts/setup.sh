#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
# Idempotent: a package already present is not installed again.
set -euo pipefail

# fonts-wine: Wine's Marlett (symbols of the caption buttons) and Tahoma;
# scripts/wine-prefix.sh shows Wine where they are. libjpeg-turbo-progs (djpeg)
# and libx11-dev: the benchmarks' yardsticks (bench/jpeg_ratio.sh, bench/startup.sh).
# xclip: the Wine stories read the X clipboard as a Linux program pasting does.
# libfreetype-dev: the font library; xfonts-terminus (PCF bitmap fonts with
# Cyrillic) and fonts-dejavu-core (an outline font): the fonts its tests open.
# emscripten: the page (make web); chromium, chromium-driver and python3-selenium:
# the browser stories (tests/web).
want=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
      libpng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev
      mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev nasm
      wine wine64 fonts-wine xvfb x11-utils xdotool imagemagick gputils gpsim sdcc unrtf locales dpkg-dev python3
      libjpeg-turbo-progs libx11-dev xclip libfreetype-dev xfonts-terminus fonts-dejavu-core
      emscripten chromium chromium-driver python3-selenium)

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The picture and font libraries for the Windows build and for the page, once,
# into the cache folder.
bash "$(dirname "$0")/build-mingw-deps.sh"
bash "$(dirname "$0")/build-web-deps.sh"
