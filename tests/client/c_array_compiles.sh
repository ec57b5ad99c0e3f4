#!/usr/bin/env bash
# The C array of lumetra-cli listing --format c, compiled by gcc (and by sdcc
# for an 8051 when it is there): the bytes the compiled program holds are the
# picture's bytes in the controllers' order, grouped by crystal or interleaved.
#   c_array_compiles.sh CLI PICTURE.chr
set -euo pipefail
cli=$1 picture=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
[ "$(stat -c %s "$picture")" = 1024 ] || fail "$picture is not a whole picture"

# Grouped order: crystal 1's eight pages, then crystal 2's; a page of a crystal
# is the 64 bytes at page * 128 + crystal * 64 of the .chr file.
for crystal in 0 1; do
    for page in 0 1 2 3 4 5 6 7; do
        dd if="$picture" bs=64 skip=$((page * 2 + crystal)) count=1 status=none
    done
done > "$work/grouped.bin"
cp "$picture" "$work/interleaved.bin"

printf '#include <stdio.h>\nextern const unsigned char logo[1024];\n%s\n' \
    'int main(void) { return fwrite(logo, 1, sizeof logo, stdout) == 1024 ? 0 : 1; }' > "$work/main.c"
printf '%s\n' 'extern const unsigned char logo[1024];' 'volatile unsigned char sink;' \
    'void main(void) { sink = logo[1023]; }' > "$work/main51.c"
sdcc=$(command -v sdcc || true)

for order in grouped interleaved; do
    flags=(); [ "$order" = interleaved ] && flags=(--no-group)
    cp "$picture" "$work/logo.chr"
    "$cli" listing --format c "${flags[@]}" "$work/logo.chr" -o "$work/logo.c"
    grep -q $'\r' "$work/logo.c" && fail "CR in a C array without --crlf"
    gcc -std=c99 -Wall -Wextra -pedantic -Werror -c "$work/logo.c" -o "$work/logo.o"
    gcc "$work/main.c" "$work/logo.o" -o "$work/dump"
    "$work/dump" > "$work/dumped.bin"
    cmp "$work/dumped.bin" "$work/$order.bin" || fail "gcc: the $order array holds other bytes"

    # The same with CR LF and a NAME of our own, from standard input.
    "$cli" listing --format c --name logo --crlf "${flags[@]}" - < "$picture" > "$work/crlf.c"
    [ "$(tr -d '\r' < "$work/crlf.c" | md5sum)" = "$(md5sum < "$work/logo.c")" ] || fail "--crlf changes more than line ends"

    if [ -n "$sdcc" ]; then
        (cd "$work" && sdcc -mmcs51 -c logo.c && sdcc -mmcs51 -c main51.c && sdcc -mmcs51 main51.rel logo.rel \
            && makebin -p main51.ihx main51.bin) > "$work/sdcc.log" 2>&1 || { cat "$work/sdcc.log"; fail "sdcc"; }
        python3 - "$work/main51.bin" "$work/$order.bin" <<'PY' || fail "sdcc: the $order array is not in the program"
import sys
program, expected = (open(name, "rb").read() for name in sys.argv[1:])
sys.exit(0 if expected in program else 1)
PY
    fi
done
[ -n "$sdcc" ] && echo "C arrays compile with gcc and sdcc (mcs51)" || echo "C arrays compile with gcc (no sdcc here)"
