#!/usr/bin/env bash
# lumetra-cli text end to end: text onto a blank picture or onto PICTURE,
# cleared with --clear, a PNG for another display, missing characters warned
# about, and refusals leave OUT as it was.
#   cli_text.sh CLI TEST_DATA
set -euo pipefail
cli=$1 tiny=$2/fonts/tiny.bdf
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"
bytes() { od -An -tx1 -v -j "$2" -N "$3" "$1" | tr -d ' \n'; }

# "A" from column 1 on a blank picture: its columns in the first page.
"$cli" text "$tiny" --size 8 --at 1,0 A -o a.chr
[ "$(stat -c %s a.chr)" = 1024 ] || fail "a .chr picture"
[ "$(bytes a.chr 0 6)" = 003e09093e00 ] || fail "A: $(bytes a.chr 0 6)"
[ "$(tr -d '\0' < a.chr | wc -c)" = 4 ] || fail "nothing but A"

# Onto that picture with --clear, through standard input: A gone again.
"$cli" text "$tiny" --size 8 --at 1,0 --clear A - -o - < a.chr > cleared.chr
[ "$(tr -d '\0' < cleared.chr | wc -c)" = 0 ] || fail "--clear"
# Empty text: the picture as it was.
"$cli" text "$tiny" --size 8 --at 0,0 "" a.chr -o same.chr
cmp -s a.chr same.chr || fail "empty text changed the picture"

# Another display's size as a PNG; x is missing (warned, exit 0).
"$cli" text "$tiny" --size 8 --display ssd1306-32 --at 0,0 "Ax" -o a.png 2> err
grep -q 'lacks U+0078;' err || fail "no warning for x: $(cat err)"
[ "$(head -c 8 a.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "a PNG"

# Refusals: a message, the exit code, OUT untouched.
echo old > keep
for case in "2|--size 9 --at 0,0 A" "2|--size 8 --at 0 A" "2|--size 8 --at 0,0" "2|--size 8 --at 0,0 A missing.chr" \
            "2|--size 8 --at 0,0 --display pcd8544 A" "2|--size 8 --at 0,0 --bold A"; do
    want=${case%%|*} args=${case#*|}
    code=0; "$cli" text "$tiny" $args -o keep 2> err || code=$?
    [ $code = "$want" ] && [ -s err ] && [ "$(cat keep)" = old ] || fail "text $args: exit $code, $(cat err)"
done
echo "text: as expected"
