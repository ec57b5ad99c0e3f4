#!/usr/bin/env bash
# lumetra-cli render and animate, read back by ImageMagick: every pixel
# against the screen view's layout worked out here from the picture bytes
# (cell column j at x = 1 + 33 j, or 3 + 33 j from column 8 on, row r at
# y = 1 + 33 r at the editor's scale 4), frame delays in hundredths of a
# second, looping, the picture options, and the refusals.
#   cli_preview.sh CLI DATA SAMPLE
set -euo pipefail
cli=$1 data=$2 sample=$3
if ! /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick; then
    echo "SKIP: ImageMagick's convert is not installed (scripts/setup.sh installs it)"
    exit 77
fi
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
a=$sample b=$data/import/pattern.chr c=$data/top-left.chr

# expected SCALE grid|plain CHR... > raw RGB of the frames, one after another
expected() {
    python3 - "$@" <<'PY'
import sys
scale, grid = int(sys.argv[1]), sys.argv[2] == "grid"
out = sys.stdout.buffer
for name in sys.argv[3:]:
    picture = open(name, "rb").read()
    lit = lambda x, y: picture[128 * (y // 8) + x] >> (y % 8) & 1
    if grid:
        cell = 8 * scale
        starts = [1 + (cell + 1) * j + (2 if j >= 8 else 0) for j in range(16)]
        across = [None] * (starts[15] + cell)
        for j, start in enumerate(starts):
            for k in range(cell): across[start + k] = 8 * j + k // scale
        down = [None] * (1 + (cell + 1) * 7 + cell)
        for r in range(8):
            for k in range(cell): down[1 + (cell + 1) * r + k] = 8 * r + k // scale
    else:
        across = [x // scale for x in range(128 * scale)]
        down = [y // scale for y in range(64 * scale)]
    colours = {None: b"\xff\xff\xff", 0: bytes([97, 213, 155]), 1: b"\x00\x00\x00"}
    for y in down:
        out.write(b"".join(colours[None if x is None or y is None else lit(x, y)] for x in across))
PY
}
same_pixels() {  # same_pixels IMAGE SCALE grid|plain CHR...
    local image=$1; shift
    cmp -s <(convert "$image" -coalesce -depth 8 rgb:-) <(expected "$@") || fail "pixels of $(basename "$image") ($*)"
}

"$cli" render "$a" -o "$work/plain.png"
[ "$(identify -format %wx%h "$work/plain.png")" = 512x256 ] || fail "default scale is not 4"
same_pixels "$work/plain.png" 4 plain "$a"
"$cli" render --grid "$b" -o "$work/view.png"
[ "$(identify -format %wx%h "$work/view.png")" = 530x264 ] || fail "the grid at scale 4 is not the 530 x 264 view"
same_pixels "$work/view.png" 4 grid "$b"
"$cli" render --scale 1 --grid "$a" -o "$work/small.png" && same_pixels "$work/small.png" 1 grid "$a"
"$cli" render --scale 32 --grid "$c" -o "$work/large.png"
[ "$(identify -format %wx%h "$work/large.png")" = 4114x2056 ] || fail "scale 32"

# Picture options reach render as they reach convert.
convert -size 300x150 gradient:white-black "$work/photo.png"
for options in "" "--dither floyd-steinberg" "--dither ordered --invert" "--threshold 90"; do
    # shellcheck disable=SC2086
    "$cli" convert $options "$work/photo.png" -o "$work/photo.chr"
    # shellcheck disable=SC2086
    "$cli" render $options --scale 1 "$work/photo.png" -o "$work/photo-view.png"
    same_pixels "$work/photo-view.png" 1 plain "$work/photo.chr"
done
cmp -s "$work/photo.chr" <("$cli" convert --dither none --threshold 90 "$work/photo.png" -o - ) || fail "--dither none"

# 15 ms is 1.5 hundredths: halves go up, to 2.
"$cli" animate --delay 15 --scale 2 -o "$work/anim.gif" "$a" "$b" "$c"
[ "$(identify -format '%T ' "$work/anim.gif")" = "2 2 2 " ] || fail "delays of --delay 15"
same_pixels "$work/anim.gif" 2 plain "$a" "$b" "$c"
identify -verbose "$work/anim.gif" > "$work/verbose"
[ "$(grep -c "Iterations: 0" "$work/verbose")" = 3 ] || fail "the animation does not loop"
"$cli" animate --grid --scale 1 -o "$work/grid.gif" "$b" "$a"
same_pixels "$work/grid.gif" 1 grid "$b" "$a"
for delay in "14 1" "5000 500" "10 1"; do
    set -- $delay
    "$cli" animate --delay "$1" -o "$work/d.gif" "$a" "$b"
    [ "$(identify -format '%T ' "$work/d.gif")" = "$2 $2 " ] || fail "--delay $1 is not $2 hundredths"
done
# The delay list's rule: outside 10..5000, or not a number, is 200 ms.
for delay in 9 5001 abc; do
    "$cli" animate --delay "$delay" -o "$work/d.gif" "$a" "$b" 2> "$work/err"
    [ "$(identify -format '%T ' "$work/d.gif")" = "20 20 " ] || fail "--delay $delay is not 200 ms"
    grep -q "200 used" "$work/err" || fail "no word that --delay $delay became 200"
done
"$cli" animate -o "$work/d.gif" "$a" "$b" 2> "$work/err" && [ ! -s "$work/err" ] || fail "default delay"
[ "$(identify -format '%T ' "$work/d.gif")" = "20 20 " ] || fail "default delay is not 200 ms"

# Refusals: usage and undecodable input are 2, a failed write 1; OUT untouched.
head -c 100 "$data/import/pattern-png-rgb.png" > "$work/cut.png"
echo old > "$work/keep"
refusals=("render --scale 0 $a" "render --scale 33 $a" "render --scale x $a" "render --dither sharp $a"
          "render --threshold 0 $a" "render --threshold 256 $a" "render --threshold 9 --dither atkinson $a"
          "render $a $b" "render $work/cut.png" "render $work/missing.png" "animate $a" "animate --delay $a $b"
          "animate $a $work/cut.png")
for args in "${refusals[@]}"; do
    rc=0
    # shellcheck disable=SC2086
    "$cli" $args -o "$work/keep" 2> "$work/err" || rc=$?
    [ "$rc" = 2 ] || fail "exit $rc for: $args"
    [ -s "$work/err" ] || fail "no message for: $args"
    [ "$(cat "$work/keep")" = old ] || fail "output touched for: $args"
done
for command in "render $a" "animate $a $b"; do
    rc=0
    # shellcheck disable=SC2086
    "$cli" $command 2> /dev/null || rc=$?
    [ "$rc" = 2 ] || fail "no -o accepted by $command"
    rc=0
    # shellcheck disable=SC2086
    "$cli" $command -o "$work/no/such/folder/out" 2> "$work/err" || rc=$?
    [ "$rc" = 1 ] && grep -q "cannot write" "$work/err" || fail "a failed write of $command is not exit 1"
done
echo "cli render and animate ok"
