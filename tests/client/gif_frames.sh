#!/usr/bin/env bash
# Animated GIFs made afresh by ImageMagick: every frame lumetra-cli takes from
# them must be ImageMagick's own composed frame (-coalesce, laid on white)
# after the same import, with the plain threshold and with dithering (which
# shows any colour that came out wrong). The GIFs' delays go through animate.
#   gif_frames.sh NATIVE_CLI
set -euo pipefail
cli=$(realpath "$1")
if ! /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick; then
    echo "SKIP: ImageMagick's convert is not installed (scripts/setup.sh installs it)"
    exit 77
fi
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"

# Left half black, right half white, so that what a disposal leaves behind shows.
convert -size 64x64 xc:black -size 64x64 xc:white +append base.png
# Disposal "background" clears to transparent (white here), "previous" puts
# the canvas back; frames are smaller than the canvas, some partly transparent,
# one reaching past its edge.
convert -dispose none -delay 10 base.png \
    -dispose background -delay 20 -page +20+10 \( -size 40x20 xc:none -fill white -draw 'rectangle 5,5 30,14' \) \
    -dispose previous -delay 30 -page +50+30 \( -size 40x20 xc:gray20 \) \
    -dispose none -delay 40 -page +0+0 \( -size 10x10 xc:white \) \
    -dispose none -delay 50 -page +124+60 \( -size 8x8 xc:none -fill black -draw 'rectangle 1,1 5,5' \) \
    -loop 0 disposal.gif
# Interlaced frames with palettes of their own, a canvas to be stretched.
convert -delay 7 -size 200x90 gradient:red-blue \( -size 200x90 gradient:yellow-black -rotate 0 \) \
    \( -size 200x90 radial-gradient:white-green \) -interlace GIF interlaced.gif
[ "$(identify -format '%[interlace] ' interlaced.gif)" = "GIF GIF GIF " ] || fail "ImageMagick did not interlace"
# Frames after the first with a palette of their own (the image descriptor's flag).
local_palettes=$(python3 - interlaced.gif <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()
at, count = 13 + (3 << ((b[10] & 7) + 1) if b[10] & 0x80 else 0), 0
def skip_blocks(at):
    while b[at]: at += b[at] + 1
    return at + 1
while b[at] != 0x3B:
    if b[at] == 0x21: at = skip_blocks(at + 2); continue
    flags = b[at + 9]; count += flags >> 7
    at += 10 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)
    at = skip_blocks(at + 1)
print(count)
PY
)
[ "$local_palettes" -ge 2 ] || fail "only $local_palettes frames with palettes of their own"
# One frame: a plain picture, named as one.
convert -size 30x20 xc:navy -fill white -draw 'rectangle 3,3 12,9' GIF87:single.gif

frames=0
for gif in disposal interlaced; do
    convert "$gif.gif" -coalesce -background white -alpha remove -alpha off -scene 1 "$gif-%02d.png"
    count=$(ls "$gif"-*.png | wc -l)
    for dither in none floyd-steinberg; do
        "$cli" convert --dither "$dither" "$gif.gif" --out-dir "out-$gif-$dither" || fail "$gif.gif not converted"
        [ "$(ls "out-$gif-$dither" | wc -l)" = "$count" ] || fail "$gif.gif: not $count frames"
        for png in "$gif"-*.png; do
            name=${png%.png}
            "$cli" convert --dither "$dither" "$png" -o expected.chr
            cmp -s expected.chr "out-$gif-$dither/$name.chr" || fail "$name ($dither) is not ImageMagick's frame"
            frames=$((frames + 1))
        done
    done
done

"$cli" convert single.gif --out-dir out-single
[ "$(ls out-single)" = single.chr ] || fail "a one-frame GIF is not one picture"
"$cli" convert single.gif -o single.chr || fail "a one-frame GIF with -o"
"$cli" convert disposal.gif -o x.chr 2> err && fail "five frames went to one -o file"
grep -q "has 5 frames" err || fail "no word of the frames: $(cat err)"

# animate keeps the delays of the GIF unless --delay says otherwise.
"$cli" animate -o anim.gif disposal.gif
[ "$(identify -format '%T ' anim.gif)" = "10 20 30 40 50 " ] || fail "delays not kept: $(identify -format '%T ' anim.gif)"
"$cli" animate --delay 100 -o anim.gif disposal.gif
[ "$(identify -format '%T ' anim.gif)" = "10 10 10 10 10 " ] || fail "--delay not taken"
# So does the frames table: a frame's ms, and the way back takes frame 1's.
"$cli" frames --stats -o frames.asm disposal.gif > stats
[ "$(awk 'NR > 1 && NR < 8 {printf "%s:%s ", $1, $2}' stats)" = "1:100 2:200 3:300 4:400 5:500 loop:100 " ] ||
    fail "frames: delays not kept: $(cat stats)"

# A damaged GIF is refused with exit 2, naming it; nothing is written.
head -c 300 interlaced.gif > cut.gif
status=0; "$cli" convert cut.gif --out-dir out-cut 2> err || status=$?
[ "$status" = 2 ] && grep -q "cut.gif" err || fail "a cut GIF: exit $status, $(cat err)"
[ -z "$(ls out-cut 2>/dev/null)" ] || fail "a cut GIF left files"
echo "$frames GIF frames are ImageMagick's"
