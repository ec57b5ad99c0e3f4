#!/usr/bin/env bash
# The import as lumetra.exe links it, run under Wine: the Windows build of
# lumetra-cli must give the same .chr bytes as the native one for every test
# picture (every format variant, the stretches, the colour pictures), and fail
# the same way on damaged and hostile files.
#   wine_cli_import.sh NATIVE_CLI WINDOWS_CLI WINE_RUN PREFIX PICTURES CORPUS
set -euo pipefail
native=$1 windows=$2 wine_run=$3 prefix=$4 pictures=$5 corpus=$6
if [ ! -f "$windows" ]; then
    echo "SKIP: $windows is not built (make test builds it with the windows preset)"
    exit 77
fi
. "$(dirname "$0")/wine_cli.sh"
work=$(mktemp -d); trap 'end_wine_server; rm -rf "$work"' EXIT
# A failure shows what the last Wine run said on standard error.
fail() {
    echo "FAIL: $*"
    if [ -s "$work/wine.err" ]; then sed 's/^/  wine: /' "$work/wine.err" | tail -n 20; fi
    exit 1
}

# Damaged and hostile files, under picture names so that both really import;
# the fuzzers' regression files may be valid or not, but alike on both.
mkdir -p "$work/bad"
for f in "$pictures"/pattern-png-rgb.png "$pictures"/pattern-bmp-rle4.bmp "$pictures"/pattern-jpg-progressive.jpg \
         "$pictures"/pattern-ico-32.ico.png; do
    size=$(stat -c %s "$f")
    head -c $((size / 2)) "$f" > "$work/bad/half-$(basename "$f")"
    head -c $((size - 1)) "$f" > "$work/bad/short-$(basename "$f")"
done
for f in "$corpus"/*/regress-*; do
    [ -f "$f" ] || continue
    cp "$f" "$work/bad/$(basename "${f%.*}").png"
done
printf 'GIF89a' > "$work/bad/gif.png"
: > "$work/bad/empty.bmp"

wine_err=$work/wine.err
keep_wine_server

same=0 refused=0
for f in "$pictures"/pattern-* "$pictures"/stretch-* "$pictures"/colour-*.{bmp,png,jpg} "$work"/bad/*; do
    name=$(basename "$f")
    rc_native=0 rc_wine=0
    "$native" convert "$f" -o "$work/native.chr" 2>/dev/null || rc_native=$?
    wine_cli convert "$f" -o "$work/wine.chr" || rc_wine=$?
    [ "$rc_native" = "$rc_wine" ] || fail "$name: exit $rc_native natively, $rc_wine under Wine"
    if [ "$rc_native" = 0 ]; then
        cmp -s "$work/native.chr" "$work/wine.chr" || fail "$name: Windows bytes differ from native bytes"
        case $name in
            pattern-*|stretch-*) cmp -s "$work/wine.chr" "$pictures/pattern.chr" || fail "$name: not the pattern" ;;
            half-*|short-*|gif.png|empty.bmp) fail "$name: a damaged file was imported" ;;
        esac
        same=$((same + 1))
    else
        [ -e "$work/wine.chr" ] && fail "$name: output written for a failed import"
        refused=$((refused + 1))
    fi
    rm -f "$work/native.chr" "$work/wine.chr"
done
[ "$same" -ge 60 ] || fail "only $same pictures compared"
[ "$refused" -ge 8 ] || fail "only $refused damaged files refused"

# listing takes pictures too, on both builds.
"$native" listing "$pictures/pattern.chr" -o "$work/chr.asm"
"$native" listing "$pictures/pattern-png-rgb.png" -o "$work/native.asm"
wine_cli listing "$pictures/pattern-png-rgb.png" -o "$work/wine.asm"
cmp -s "$work/chr.asm" "$work/native.asm" || fail "listing of a PNG differs from the listing of its .chr"
cmp -s "$work/native.asm" "$work/wine.asm" || fail "listing under Wine differs"
# Standard output is binary on Windows too: CR LF stays CR LF.
wine_cli listing "$pictures/pattern-png-rgb.png" > "$work/stdout.asm"
cmp -s "$work/native.asm" "$work/stdout.asm" || fail "listing to standard output under Wine differs"
# Names outside the Windows-1251 code page reach the program whole.
mkdir -p "$work/Рисунки 図"
cp "$pictures/pattern-png-rgb.png" "$work/Рисунки 図/логотип 図.png"
wine_cli convert "$work/Рисунки 図/логотип 図.png" -o "$work/Рисунки 図/вывод 図.chr" \
    || fail "a picture with a non-ANSI name under Wine"
cmp -s "$work/Рисунки 図/вывод 図.chr" "$pictures/pattern.chr" || fail "wrong bytes through a non-ANSI name"
# A GIF's frames, from the Windows build of giflib, are the native frames.
frames=0
for gif in "$corpus"/gif/*.gif; do
    name=$(basename "$gif" .gif)
    mkdir -p "$work/gif-native/$name"
    "$native" convert "$gif" --out-dir "$work/gif-native/$name" 2>/dev/null || true
    frames=$((frames + $(ls "$work/gif-native/$name" | wc -l)))
    mkdir -p "$work/gif-wine/$name"
    wine_cli convert "$gif" --out-dir "$work/gif-wine/$name" || true
    diff -r "$work/gif-native/$name" "$work/gif-wine/$name" >/dev/null ||
        fail "GIF frames of $name.gif under Wine differ from native frames"
done
[ "$frames" -ge 8 ] || fail "too few GIF frames: $frames"
echo "Windows and native import agree on $same pictures and refuse $refused damaged files"
