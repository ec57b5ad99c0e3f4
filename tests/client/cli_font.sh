#!/usr/bin/env bash
# lumetra-cli font end to end: the C table compiles and holds the glyph bytes,
# the assembler table of a whole charset assembles, missing characters are
# warned about, and refusals leave OUT as it was.
#   cli_font.sh CLI TEST_DATA TERMINUS_16 DEJAVU_SANS
set -euo pipefail
cli=$1 tiny=$2/fonts/tiny.bdf terminus=$3 dejavu=$4
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"

# B is not in the font: warned, drawn as the box, exit 0.
"$cli" font "$tiny" --size 8 --chars 65-66,0x67 --format c -o tiny.c 2> err
grep -q 'lacks U+0042;' err || fail "no warning for B: $(cat err)"
grep -q '^#define tiny_FIRST 65$' tiny.c || fail "the name from the file's stem"
if command -v gcc > /dev/null; then
    printf '#include <stdio.h>\n#include "tiny.c"\nint main(void) { printf("%%u %%u %%u %%u", tiny_COUNT, tiny_offsets[tiny_COUNT], tiny_bitmaps[tiny_offsets[2]], tiny_codes[2]); return 0; }\n' > main.c
    gcc -Wall -Werror -o main main.c
    [ "$(./main)" = "3 15 144 103" ] || fail "C table: $(./main)"
fi

# A charset: no warning for its unassigned byte, CR LF ASCII, and gpasm takes it.
"$cli" font "$terminus" --size 16 --charset cp1251 --fixed --db --name ter -o ter.inc 2> err
[ -s err ] && fail "warned for a charset: $(cat err)"
grep -q '^ter_COUNT       equ     \.224' ter.inc || fail "224 glyphs"
[ "$(LC_ALL=C grep -c $'\r$' ter.inc)" = "$(wc -l < ter.inc)" ] || fail "CR LF"
LC_ALL=C grep -q '[^ -~'$'\r'']' ter.inc && fail "not ASCII"
grep -q '^ter_codes' ter.inc && fail "a charset has no codes table"
if command -v gpasm > /dev/null; then
    printf '        list p=18f4550\n        org 0\n        include "ter.inc"\n        end\n' > main.asm
    gpasm -q main.asm > gpasm.log 2>&1 || fail "gpasm: $(cat gpasm.log)"
fi

# Refusals: a message, the exit code, OUT untouched.
echo old > keep
for case in "2|--size 9 --chars 65" "2|--size 8 --chars 5-0x110000" "2|--size 8 --chars abc" "2|--size 8" \
            "2|--size 8 --chars 65 --format c --db" "2|--size 8 --charset koi8" "2|--size 8 --chars 65 --fixed 0" \
            "1|--size 8 --chars 0x10000" ; do
    want=${case%%|*} args=${case#*|}
    code=0; "$cli" font "$tiny" $args -o keep 2> err || code=$?
    [ $code = "$want" ] && [ -s err ] && [ "$(cat keep)" = old ] || fail "font $args: exit $code, $(cat err)"
done
# Lines taller than the display are refused.
code=0; "$cli" font "$dejavu" --size 40 --chars 65 --display ssd1306-32 -o keep 2> err || code=$?
[ $code = 1 ] && grep -q 'ssd1306-32 is 32 high' err && [ "$(cat keep)" = old ] || fail "40 px on 32 rows: exit $code, $(cat err)"
echo old > keep
code=0; "$cli" font "$tiny" --size 8 --chars 65 --display nosuch -o keep 2> err || code=$?
[ $code = 2 ] && [ "$(cat keep)" = old ] || fail "--display nosuch: exit $code"
echo "font: as expected"
