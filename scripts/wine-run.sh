#!/usr/bin/env bash
# Runs a Windows program in the project's private prefix, in a Russian locale
# built privately (no system change), so that the ANSI code page is 1251:
#   scripts/wine-run.sh PREFIX_DIR program.exe [args...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1"); shift
bash "$here/wine-prefix.sh" "$prefix"
locales=$prefix/.locale
if [ ! -d "$locales/ru_RU.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" >/dev/null 2>&1 || true
fi
exec env WINEPREFIX="$prefix" WINEDEBUG=-all LOCPATH="$locales" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 wine "$@"
