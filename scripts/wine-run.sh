#!/usr/bin/env bash
# Runs a Windows program in the project's private prefix, in a Russian locale
# built privately (no system change), so that the ANSI code page is 1251:
#   scripts/wine-run.sh [--managed] PREFIX_DIR program.exe [args...]
# --managed: the desktop's window manager manages the windows (make run).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mode=()
if [ "${1:-}" = --managed ]; then mode=(--managed); shift; fi
prefix=$(realpath -m "$1"); shift
bash "$here/wine-prefix.sh" "${mode[@]}" "$prefix"
locales=$prefix/.locale
if [ ! -d "$locales/ru_RU.UTF-8" ]; then
    mkdir -p "$locales"
    localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" >/dev/null 2>&1 || true
fi
exec env WINEPREFIX="$prefix" WINEDEBUG=-all LOCPATH="$locales" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 wine "$@"
