#!/usr/bin/env bash
# The listing of a picture, pasted into a PIC source and assembled by gpasm,
# must give back the picture's bytes: Db directly, Dt as RETLW operands.
set -euo pipefail
cli=$1 gpasm=$2 picture=$3
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cd "$work"

expected_grouped() {  # the picture's bytes in crystal order, one hex byte a line
    python3 - "$picture" <<'PY'
import sys
b = open(sys.argv[1], 'rb').read()
for crystal in (0, 1):
    for page in range(8):
        for x in range(64):
            print('%02X' % b[page * 128 + crystal * 64 + x])
PY
}

for directive in db dt; do
    flag=""; [ $directive = db ] && flag=--db
    "$cli" listing $flag --file-name "$picture" -o table.inc
    printf '\tprocessor 16f877a\n\tradix dec\n\torg 0\n\tinclude "table.inc"\n\tend\n' > main.asm
    "$gpasm" -q -a inhx32 -o out.hex main.asm
    # Program words from the hex file, low byte first.
    python3 - $directive > got.txt <<'PY'
import sys
data = {}
for line in open('out.hex'):
    n, addr, kind = int(line[1:3], 16), int(line[3:7], 16), int(line[7:9], 16)
    if kind == 0:
        for i in range(n):
            data[addr + i] = int(line[9 + 2 * i:11 + 2 * i], 16)
words = [data.get(2 * i, 0) | data.get(2 * i + 1, 0) << 8 for i in range(max(data) // 2 + 1)]
if sys.argv[1] == 'dt':   # Dt packs each byte into a RETLW (0x34xx)
    assert all(w >> 8 == 0x34 for w in words), 'not all RETLW'
    out = [w & 0xFF for w in words]
else:                     # Db packs two bytes into one 14-bit word
    out = []
    for w in words:
        out += [(w >> 8) & 0x3F, w & 0xFF]
for b in out[:1024]:
    print('%02X' % b)
PY
    if [ $directive = db ]; then
        # 14-bit words cannot hold a high byte above 0x3F; compare the low bytes only.
        expected_grouped | awk 'NR % 2 == 0' > want.txt
        awk 'NR % 2 == 0' got.txt > got2.txt; mv got2.txt got.txt
    else
        expected_grouped > want.txt
    fi
    diff -q want.txt got.txt
done
echo "gpasm agrees with the listing"
