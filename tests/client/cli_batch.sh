#!/usr/bin/env bash
# lumetra-cli in a build pipeline: help and version, exit codes, "-" for
# standard input and output, many PICTUREs to --out-dir with a bad one among
# them, and the way back from a listing to the picture.
#   cli_batch.sh CLI PICTURES VERSION
set -euo pipefail
cli=$1 pictures=$2 version=$3
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
pattern=$pictures/pattern.chr
# expect CODE COMMAND...: runs the command, checks its exit code.
expect() { local want=$1 rc=0; shift; "$@" > "$work/out" 2> "$work/err" || rc=$?; [ "$rc" = "$want" ] || fail "exit $rc, not $want: $*"; }

expect 0 "$cli" --help; grep -q "exit codes: 0 done; 1 " "$work/out" && [ ! -s "$work/err" ] || fail "--help"
grep -q "lumetra-cli picture SOURCE -o OUT.chr" "$work/out" || fail "--help lists every command"
expect 0 "$cli" listing -h; grep -q "^usage: lumetra-cli listing " "$work/out" || fail "listing -h"
expect 0 "$cli" --version; [ "$(cat "$work/out")" = "lumetra-cli $version" ] || fail "--version says $(cat "$work/out")"
expect 2 "$cli"
expect 2 "$cli" listing "$pattern" -o; grep -q -- "-o needs a file name" "$work/err" || fail "-o without a name"
expect 2 "$cli" convert "$pattern" --bogus -o "$work/x.chr"

# Standard input: a picture format by its content, otherwise exactly 1024 bytes.
expect 0 "$cli" convert - -o - < "$pictures/pattern-png-rgb.png"; cmp -s "$work/out" "$pattern" || fail "PNG from stdin"
"$cli" listing - < "$pattern" > "$work/stdin.asm"
cmp -s "$work/stdin.asm" <("$cli" listing "$pattern") || fail "listing of stdin"
head -c 1000 "$pattern" > "$work/short.chr"
expect 2 "$cli" convert - -o "$work/x.chr" < "$work/short.chr"
grep -q "standard input holds 1000 bytes" "$work/err" && [ ! -e "$work/x.chr" ] || fail "a short stdin refused"
expect 2 "$cli" convert - -o "$work/x.chr" < /dev/null
expect 1 "$cli" convert "$pattern" -o "$work/no-such-folder/x.chr"
grep -q "cannot write" "$work/err" && ! grep -q "^usage" "$work/err" || fail "a failed write is no usage error"

# Many PICTUREs: a bad one is told by name, the others are written whole.
mkdir "$work/art" "$work/other"
cp "$pictures/pattern-png-rgb.png" "$work/art/logo.png"
cp "$pattern" "$work/art/icon.chr"
head -c 300 "$pictures/pattern-bmp-24.bmp" > "$work/art/broken.bmp"
cp "$pictures/pattern-jpg-baseline.jpg" "$work/art/photo.jpg"
for format in asm c chr; do
    command=(listing --format "$format"); extension=$format
    [ "$format" = chr ] && command=(convert)
    expect 1 "$cli" "${command[@]}" --out-dir "$work/out-$format" "$work"/art/*
    grep -q "broken.bmp" "$work/err" && grep -q "1 of 4 PICTUREs failed" "$work/err" || fail "$format: the bad input"
    [ "$(ls "$work/out-$format" | sort | tr '\n' ' ')" = "icon.$extension logo.$extension photo.$extension " ] \
        || fail "$format outputs: $(ls "$work/out-$format")"
    for name in icon logo photo; do
        "$cli" "${command[@]}" "$pattern" -o "$work/one.$extension"
        [ "$format" = c ] && sed -i "1s/pattern/$name/" "$work/one.c"
        cmp -s "$work/out-$format/$name.$extension" "$work/one.$extension" || fail "$format: $name differs from one run"
    done
done
expect 0 "$cli" listing --out-dir "$work/out-asm" "$work/art/logo.png"
cp "$pattern" "$work/other/LOGO.chr"
expect 1 "$cli" convert --out-dir "$work/same" "$work/art/logo.png" "$work/other/LOGO.chr"
grep -q "LOGO.chr: another PICTURE already gives" "$work/err" || fail "two outputs of one name"
expect 2 "$cli" listing "$work/art/logo.png" "$work/art/icon.chr" -o "$work/both.asm"
expect 2 "$cli" listing --format c --name x --out-dir "$work/o" "$work/art/logo.png" "$work/art/icon.chr"
expect 2 "$cli" listing --format c --db "$pattern"
[ ! -e "$work/both.asm" ] && [ ! -e "$work/o" ] || fail "written for bad usage"

# Back to the picture, from the listing or the C array, in either order.
for flags in "" "--no-group --db" "--format c" "--format c --no-group"; do
    # shellcheck disable=SC2086
    "$cli" listing $flags "$pattern" | "$cli" picture - -o "$work/back.chr"
    cmp -s "$work/back.chr" "$pattern" || fail "picture of listing $flags"
done
"$cli" listing "$pattern" | sed '7s/.*/   movlw 0x01/' > "$work/bad.asm"
expect 2 "$cli" picture "$work/bad.asm" -o "$work/bad.chr"
grep -q "bad.asm line 7: unknown directive 'movlw'" "$work/err" && [ ! -e "$work/bad.chr" ] || fail "bad listing"
[ -z "$(find "$work" -name '*.~*')" ] || fail "temporary files left"
echo "cli batch ok"
