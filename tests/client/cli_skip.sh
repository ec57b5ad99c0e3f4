#!/usr/bin/env bash
# lumetra-cli skip-map and skip-list end to end: the worked example's maps
# byte for byte, the list as Windows-1251 text read back by iconv, refusals
# with a message that leave the output as it was.
set -euo pipefail
cli=$1
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"

# Two pictures that differ only at cell 1 byte 5 and cell 2 byte 3.
head -c 1024 /dev/urandom > a.chr
cp a.chr b.chr
for at in 4 10; do
    printf '\x00' | dd of=a.chr bs=1 seek=$at conv=notrunc status=none
    printf '\x55' | dd of=b.chr bs=1 seek=$at conv=notrunc status=none
done
# The offsets (from 1) of the 0x00 bytes of a map, all others being 0xFF.
written() {
    od -An -v -tx1 "$1" | tr -s ' \n' '\n\n' | grep . |
        awk '$1 == "00" { printf "%d ", NR } $1 != "00" && $1 != "ff" { print "bad byte " $1 } END { print NR }'
}

"$cli" skip-map --count 3 -o m3.chr a.chr b.chr
[ "$(written m3.chr)" = "5 11 1024" ] || fail "N = 3: $(written m3.chr)"
"$cli" skip-map --count 6 -o m6.chr a.chr b.chr b.chr
[ "$(written m6.chr)" = "1 2 3 4 5 6 7 8 9 10 11 1024" ] || fail "N = 6: $(written m6.chr)"
"$cli" skip-map -o m1.chr a.chr a.chr
[ "$(written m1.chr)" = "1024" ] || fail "identical pictures"

# The list as the TXT export writes it, file names absolute, N as given.
"$cli" skip-list --count 03 a.chr b.chr > list.txt
[ "$(tr -cd '\r' < list.txt | wc -c)" = 1180 ] || fail "a CR LF after each of 1180 lines"
iconv -f CP1251 -t UTF-8 list.txt | tr -d '\r' > list.utf8
[ "$(wc -l < list.utf8)" = 1180 ] || fail "1180 lines"
[ "$(sed -n 1p list.utf8)" = "Результат оптимизации файлов: " ] || fail "title"
[ "$(sed -n 3,4p list.utf8)" = "$work/a.chr
$work/b.chr" ] || fail "file names"
[ "$(sed -n 6p list.utf8)" = "Количество повторяющихся байт 03 " ] || fail "count line"
[ "$(sed -n 11,15p list.utf8 | tr -s ' ')" = " Адрес 00H 
 Адрес 01H 
 Адрес 02H 
 Адрес 03H 
 ---------- " ] || fail "cell 1"
[ "$(grep -c 'Адрес' list.utf8)" = 1022 ] || fail "address lines"

# An existing map is listed as it is; one picture compares nothing.
"$cli" skip-list --map m6.chr -o map.txt
[ "$(iconv -f CP1251 -t UTF-8 map.txt | grep -c -- '----------')" = 11 ] || fail "--map"
[ "$(iconv -f CP1251 -t UTF-8 map.txt | wc -l)" = 1178 ] || fail "--map without names"
"$cli" skip-list a.chr | iconv -f CP1251 -t UTF-8 | grep -c 'Адрес' | grep -qx 1024 || fail "one picture"

# A name Windows-1251 cannot hold: refused as text, kept by RTF.
cp a.chr 漢.chr
echo old > keep
if "$cli" skip-list 漢.chr -o keep 2> err; then fail "unencodable name accepted"; fi
[ -s err ] && [ "$(cat keep)" = old ] || fail "unencodable name: message, keep untouched"
# (Into a file first: grep -q would end the pipe early and the writer with it.)
"$cli" skip-list --rtf 漢.chr > name.rtf
grep -q '\\u28450?' name.rtf || fail "RTF with the name"

cases=("skip-map -o keep a.chr" "skip-map a.chr b.chr" "skip-map --count 0 -o keep a.chr b.chr"
       "skip-map --count 65 -o keep a.chr b.chr" "skip-map --count x -o keep a.chr b.chr"
       "skip-map --rtf -o keep a.chr b.chr" "skip-map -o keep a.chr missing.chr"
       "skip-list -o keep" "skip-list --bogus a.chr -o keep" "skip-list --map missing.chr -o keep"
       "skip-list -o keep a.chr a.chr a.chr a.chr a.chr a.chr a.chr a.chr a.chr a.chr")
for bad in "${cases[@]}"; do
    # shellcheck disable=SC2086
    if "$cli" $bad 2> err; then fail "accepted: $bad"; else [ $? = 2 ] || fail "exit code of: $bad"; fi
    [ -s err ] || fail "no message for: $bad"
    [ "$(cat keep)" = old ] || fail "output touched for: $bad"
done
echo "cli skip-map and skip-list ok"
