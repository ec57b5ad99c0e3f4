#!/usr/bin/env bash
# lumetra-cli frames end to end: the C table compiles and holds the bytes
# --stats counts, the listing is CR LF ASCII, the figures go beside the
# table, and refusals leave OUT as it was.
set -euo pipefail
cli=$1
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"

# b differs from a in one byte, c in none.
head -c 1024 /dev/urandom > a.chr
cp a.chr b.chr
printf '\x55' | dd of=b.chr bs=1 seek=200 conv=notrunc status=none
cmp -s a.chr b.chr && printf '\xAA' | dd of=b.chr bs=1 seek=200 conv=notrunc status=none

"$cli" frames --stats --format c --name anim -o anim.c a.chr b.chr a.chr > stats.txt
[ "$(sed -n 's/^total *\([0-9]*\) *\([0-9]*\) *\([0-9]*\)$/\1 \2 \3/p' stats.txt)" = "4096 18 1026" ] ||
    fail "totals: $(cat stats.txt)"
if command -v gcc > /dev/null; then
    printf '#include <stdio.h>\n#include "anim.c"\nint main(void) { printf("%%u %%u", (unsigned) sizeof anim, anim[1]); return 0; }\n' > main.c
    gcc -Wall -Werror -o main main.c
    [ "$(./main)" = "$(sed -n 's/^table \([0-9]*\) bytes$/\1/p' stats.txt) 200" ] || fail "C table: $(./main)"
fi

# The listing: ASCII, CR LF on every line, Db, the delay of --delay.
"$cli" frames --db --delay 1000 -o - a.chr b.chr > anim.inc 2> stats.txt
[ "$(LC_ALL=C grep -c $'\r$' anim.inc)" = "$(wc -l < anim.inc)" ] || fail "CR LF"
LC_ALL=C grep -q '[^ -~'$'\r'']' anim.inc && fail "not ASCII"
grep -q '^ *Db *0x03,0xE8,' anim.inc || fail "Db and 1000 ms"
grep -q '^frame' stats.txt && fail "figures without --stats"

# Refusals: a message, the exit code, OUT untouched.
echo old > keep
for args in "a.chr" "--format c --db a.chr b.chr" "--name x a.chr b.chr" "--count 0 a.chr b.chr" \
            "--display nosuch a.chr b.chr" "--display pcd8544 a.chr b.chr" "a.chr missing.chr"; do
    code=0; "$cli" frames $args -o keep 2> err || code=$?
    [ $code = 2 ] && [ -s err ] && [ "$(cat keep)" = old ] || fail "frames $args: exit $code, $(cat err)"
done
echo "frames: as expected"
