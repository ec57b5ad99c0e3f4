#!/usr/bin/env bash
# lumetra-cli listing end to end: both worked examples byte for byte, usage
# errors with a message and a non-zero exit, nothing half-written.
set -euo pipefail
cli=$1 data=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cli" listing "$data/top-left.chr" > "$work/1.asm"
cmp "$work/1.asm" "$data/example1.asm" || fail "worked example 1 on stdout"

head -c 0 /dev/null > "$work/empty.chr"
"$cli" listing --db --file-name='C:\Pictures\logo.chr' --no-group --indent1 2 --indent2 4 "$work/empty.chr" -o "$work/2.asm"
cmp "$work/2.asm" "$data/example2.asm" || fail "worked example 2 with -o"

# Without a NAME the file-name line carries the absolute path of the picture.
(cd "$data" && "$cli" listing --file-name top-left.chr) > "$work/named.asm"
iconv -f CP1251 -t UTF-8 "$work/named.asm" | tr -d "\r" | sed -n 2p | grep -qx "; Файл  —  $data/top-left.chr" \
    || fail "absolute path in the file-name line"
rm "$work/named.asm"

echo old > "$work/keep.asm"
pic=$data/top-left.chr
cases=("--indent1 1 $pic" "--indent2 21 $pic" "--indent1 x $pic" "--bogus $pic" "" "$work/missing.chr" "$pic $pic")
for bad in "${cases[@]}"; do
    # shellcheck disable=SC2086
    if "$cli" listing $bad -o "$work/keep.asm" 2> "$work/err"; then fail "accepted: $bad"; fi
    [ -s "$work/err" ] || fail "no message for: $bad"
    [ "$(cat "$work/keep.asm")" = old ] || fail "output touched for: $bad"
done
"$cli" nonsense 2>/dev/null && fail "unknown command accepted"
[ "$(ls "$work" | wc -l)" = 5 ] || fail "stray files: $(ls "$work")"
echo "cli listing ok"
