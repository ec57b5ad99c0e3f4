#!/usr/bin/env bash
# make run: prints the listing of the sample picture, as "Преобразовать"
# with the default options and "Сохранить в файле" would write it.
set -euo pipefail
cd "$(dirname "$0")/.."
build/native/cli/lumetra-cli listing samples/lumetra.chr | iconv -f CP1251 -t UTF-8
