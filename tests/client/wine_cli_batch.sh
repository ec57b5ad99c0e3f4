#!/usr/bin/env bash
# lumetra-cli.exe under Wine in a batch run: Cyrillic folder and file names in
# and out, a bad picture among good ones, outputs byte for byte those of the
# native build, and the listing back to the picture.
#   wine_cli_batch.sh NATIVE_CLI WINDOWS_CLI WINE_RUN PREFIX PICTURES
set -euo pipefail
native=$1 windows=$2 wine_run=$3 prefix=$4 pictures=$5
if [ ! -f "$windows" ]; then
    echo "SKIP: $windows is not built (make test builds it with the windows preset)"
    exit 77
fi
. "$(dirname "$0")/wine_cli.sh"
work=$(mktemp -d); trap 'end_wine_server; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
keep_wine_server

art=$work/Рисунки
mkdir "$art"
cp "$pictures/pattern-png-rgb.png" "$art/логотип.png"
cp "$pictures/pattern.chr" "$art/значок.chr"
head -c 300 "$pictures/pattern-bmp-24.bmp" > "$art/битый.bmp"

for format in asm c; do
    rc=0
    wine_cli listing --format "$format" --out-dir "$work/Листинги-$format" "$art"/* > /dev/null 2> "$work/err" || rc=$?
    [ "$rc" = 1 ] || fail "$format: exit $rc under Wine, not 1 for one bad picture of three"
    grep -q "битый.bmp" "$work/err" || fail "$format: the bad picture is not named: $(cat "$work/err")"
    [ "$(ls "$work/Листинги-$format" | sort | tr '\n' ' ')" = "значок.$format логотип.$format " ] \
        || fail "$format outputs: $(ls "$work/Листинги-$format")"
    "$native" listing --format "$format" --out-dir "$work/native-$format" "$art"/* 2> /dev/null && fail "native exit 0"
    for name in значок логотип; do
        cmp -s "$work/Листинги-$format/$name.$format" "$work/native-$format/$name.$format" \
            || fail "$name.$format under Wine differs from the native one"
    done
done
wine_cli picture "$work/Листинги-asm/логотип.asm" -o "$work/Листинги-asm/обратно.chr" 2> /dev/null \
    || fail "picture under Wine"
cmp -s "$work/Листинги-asm/обратно.chr" "$pictures/pattern.chr" || fail "the listing read back to other bytes"
wine_cli convert --out-dir "$work/Картинки" "$art/логотип.png" "$art/значок.chr" 2> /dev/null || fail "convert under Wine"
for name in логотип значок; do
    cmp -s "$work/Картинки/$name.chr" "$pictures/pattern.chr" || fail "convert: $name.chr"
done
echo "lumetra-cli.exe batch runs with Cyrillic names agree with the native build"
