#!/usr/bin/env bash
# Every display profile and layout, end to end: random black and white PNGs
# of the display's size through --format c, compiled by gcc with a reader
# written from the layout rules, give back the picture; --format xbm read by
# ImageMagick gives it back; picture reads every output back; bin writes the
# same bytes; render draws at the display's size; the refusals.
#   cli_displays.sh CLI
set -euo pipefail
cli=$1
if ! /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick || ! command -v gcc >/dev/null; then
    echo "SKIP: ImageMagick's convert or gcc is not installed"
    exit 77
fi
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
same() { [ "$(/usr/bin/compare -metric AE "$1" "$2" null: 2>&1)" = 0 ] || fail "$3: $1 and $2 differ"; }

# name width height controllers columns
displays=(
    "ks0108 128 64 2 64" "ks0108-3 192 64 3 64" "sed1520 122 32 2 61" "ssd1306 128 64 1 128"
    "ssd1306-32 128 32 1 128" "sh1106 128 64 1 128" "st7565 128 64 1 128" "pcd8544 84 48 1 84"
)
layouts=(pages pages-msb rows rows-lsb)
[ "$("$cli" displays | grep -c ' x ')" = ${#displays[@]} ] || fail "displays lists another number of displays"

# The reader: which bit of which byte holds pixel (x, y), for pages grouped
# by controller and for rows, printed as a plain PBM (1 = lit).
cat > "$work/reader.c" <<'C'
#include <stdio.h>
extern const unsigned char pic[];
static int lit(int x, int y)
{
#if PAGES
    int c = x / COLUMNS, pages = (H + 7) / 8;
    unsigned char b = pic[c * pages * COLUMNS + (y / 8) * COLUMNS + x % COLUMNS];
    return (b >> (MSB ? 7 - y % 8 : y % 8)) & 1;
#else
    unsigned char b = pic[y * ((W + 7) / 8) + x / 8];
    return (b >> (LSB ? x % 8 : 7 - x % 8)) & 1;
#endif
}
int main(void)
{
    printf("P1\n%d %d\n", W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) printf("%d%c", lit(x, y), x == W - 1 ? '\n' : ' ');
    return 0;
}
C

for entry in "${displays[@]}"; do
    read -r name w h controllers columns <<<"$entry"
    python3 -c "import random, sys
w, h = int(sys.argv[1]), int(sys.argv[2])
print('P1', w, h)
for y in range(h): print(' '.join(random.choice('01') for x in range(w)))" "$w" "$h" > "$work/in.pbm"
    /usr/bin/convert "$work/in.pbm" "$work/$name.png"
    for layout in "${layouts[@]}"; do
        case $layout in
        pages) defs=(-DPAGES=1 -DMSB=0) ;;
        pages-msb) defs=(-DPAGES=1 -DMSB=1) ;;
        rows) defs=(-DPAGES=0 -DLSB=0) ;;
        rows-lsb) defs=(-DPAGES=0 -DLSB=1) ;;
        esac
        "$cli" listing --format c --name pic --display "$name" --layout "$layout" "$work/$name.png" -o "$work/pic.c"
        gcc -std=c99 -Wall -Werror -o "$work/reader" -DW="$w" -DH="$h" -DCOLUMNS="$columns" "${defs[@]}" \
            "$work/reader.c" "$work/pic.c"
        "$work/reader" > "$work/out.pbm"
        same "$work/in.pbm" "$work/out.pbm" "$name $layout C array"
        # The way back from the listing (both orders) and the C array.
        for order in "" --no-group; do
            "$cli" listing $order --display "$name" --layout "$layout" "$work/$name.png" -o "$work/pic.asm"
            "$cli" picture --display "$name" --layout "$layout" "$work/pic.asm" -o "$work/back.png"
            same "$work/$name.png" "$work/back.png" "$name $layout listing $order read back"
        done
        "$cli" picture --display "$name" --layout "$layout" "$work/pic.c" -o "$work/back.png"
        same "$work/$name.png" "$work/back.png" "$name $layout C array read back"
    done
    "$cli" listing --format xbm --display "$name" "$work/$name.png" -o "$work/pic.xbm"
    /usr/bin/convert "$work/pic.xbm" "$work/xbm.pbm"
    same "$work/in.pbm" "$work/xbm.pbm" "$name XBM read by ImageMagick"
    "$cli" picture --display "$name" "$work/pic.xbm" -o "$work/back.png"
    same "$work/$name.png" "$work/back.png" "$name XBM read back"
done

# The driver note heads the listing of a display that has one, and only then.
"$cli" listing --display sh1106 "$work/ssd1306.png" -o "$work/note.asm"
head -1 "$work/note.asm" | grep -q "^; RAM is 132 columns" || fail "no driver note"
"$cli" listing --format c --display sh1106 "$work/ssd1306.png" -o "$work/note.c"
head -1 "$work/note.c" | grep -q "^/\* RAM is 132" || fail "no note in C"
"$cli" listing --display ssd1306 "$work/ssd1306.png" -o "$work/plain.asm"
[ "$(head -c 2 "$work/plain.asm" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "a display without a note begins as the editor's listing"

# bin writes the bytes of the C array; a .chr picture of the same size goes
# to every 128 x 64 display, and convert writes it back unchanged.
"$cli" listing --format c --name pic --display pcd8544 --layout rows "$work/pcd8544.png" -o "$work/pic.c"
printf '#include <stdio.h>\nextern const unsigned char pic[528];\nint main(void) { fwrite(pic, 1, 528, stdout); return 0; }\n' > "$work/dump.c"
gcc -o "$work/dump" "$work/dump.c" "$work/pic.c" && "$work/dump" > "$work/want.bin"
"$cli" bin --display pcd8544 --layout rows -o "$work/got.bin" "$work/pcd8544.png"
cmp -s "$work/want.bin" "$work/got.bin" || fail "bin --display pcd8544 --layout rows"
"$cli" convert "$work/ssd1306.png" -o "$work/pic.chr"
"$cli" convert --display ssd1306 "$work/pic.chr" -o "$work/again.chr"
cmp -s "$work/pic.chr" "$work/again.chr" || fail "convert --display ssd1306 of a .chr"
"$cli" render --display pcd8544 --scale 2 "$work/pcd8544.png" -o "$work/r.png"
[ "$(/usr/bin/identify -format %wx%h "$work/r.png")" = 168x96 ] || fail "render --display pcd8544 size"
# The grid: 11 cells across (the last of four columns), 6 pages, margin 1.
"$cli" render --display pcd8544 --grid --scale 1 "$work/pcd8544.png" -o "$work/g.png"
[ "$(/usr/bin/identify -format %wx%h "$work/g.png")" = 95x54 ] || fail "render --display pcd8544 --grid size"

# Refusals: bad usage and unusable input are 2, and say why.
refused() {
    local pattern=$1; shift
    set +e; "$cli" "$@" >/dev/null 2>"$work/err"; local code=$?; set -e
    [ $code = 2 ] && grep -q "$pattern" "$work/err" || fail "$* (exit $code): $(head -1 "$work/err")"
}
refused "is 128 x 64; the display ssd1306-32 is 128 x 32" listing --display ssd1306-32 "$work/pic.chr"
refused "is 128 x 64; the display pcd8544 is 84 x 48" convert --display pcd8544 "$work/pcd8544.png" -o "$work/x.chr"
refused "the displays are ks0108, ks0108-3, sed1520, ssd1306, ssd1309" listing --display lcd9 "$work/pic.chr"
refused "the layouts are pages, pages-msb, rows, rows-lsb" bin --layout columns -o "$work/x.bin" "$work/pic.chr"
refused "XBM picture of 84 x 48; the display ssd1306 is 128 x 64" picture --display ssd1306 "$work/pic.xbm" -o "$work/x.png"
refused "always --layout rows-lsb" listing --format xbm --layout pages "$work/pic.chr"
echo "cli_displays: every display and layout reads back"
