#!/usr/bin/env bash
# The text dialog's story: lumetra_e2e_text.exe is put into the prefix with a
# "fonts" folder beside it holding FONT, plays its story (which saves the
# buffer as e2e-text.chr in the prefix's temporary folder), and the saved
# picture must equal what the native lumetra-cli text draws, byte for byte.
#   run_text_story.sh EXE PREFIX LUMETRA-CLI FONT
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=${1:?lumetra_e2e_text.exe} prefix=$(realpath -m "${2:?prefix}") cli=${3:?lumetra-cli} font=${4:?font file}
if [ ! -f "$exe" ]; then
    echo "run_text_story: $exe is missing; build the Windows preset first (make windows)"
    exit 1
fi
bash "$root/scripts/wine-prefix.sh" "$prefix"
program=$prefix/drive_c/lumetra-text
rm -rf "$program"
mkdir -p "$program/fonts"
cp "$exe" "$program/"
cp "$font" "$program/fonts/"
find "$prefix/drive_c/users" -iname e2e-text.chr -delete 2>/dev/null || true

bash "$root/tests/win32/run_e2e.sh" "$program/$(basename "$exe")" "$prefix" text

saved=$(find "$prefix/drive_c/users" -iname e2e-text.chr | head -n 1)
[ -n "$saved" ] || { echo "FAIL: the story saved no e2e-text.chr"; exit 1; }
expected=$(mktemp)
trap 'rm -f "$expected"' EXIT
# The story's text, size and corner (cell 18).
"$cli" text "$font" --size 14 --at 8,8 "Lumetra Ж" -o "$expected"
if cmp "$saved" "$expected"; then
    echo "ok   the editor's text equals lumetra-cli text byte for byte"
else
    echo "FAIL: the editor's text differs from lumetra-cli text"
    exit 1
fi
