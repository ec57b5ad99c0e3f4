#!/usr/bin/env bash
# lumetra-cli bin end to end: the bytes of every write mode checked against
# the same file put together with head, tail and cat; refusals and failures
# exit non-zero with a message and leave the target as it was.
set -euo pipefail
cli=$1 data=$2
work=$(mktemp -d); trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
bytes() { head -c "$2" /dev/urandom > "$work/$1"; }

bytes a.chr 1024
bytes b.chr 1024
bytes old 100
printf '\x05\x06' > "$work/short.chr"  # a short picture: the rest of it is blank
a=$work/a.chr b=$work/b.chr

"$cli" bin -o "$work/one.bin" "$a"
cmp "$work/one.bin" "$a" || fail "one picture without grouping is the picture as stored"

# Grouped: for crystal c, page p, the 64 bytes at p*128 + c*64 of the picture.
"$cli" bin --group -o "$work/grouped.bin" "$a"
: > "$work/expected"
for c in 0 1; do for p in 0 1 2 3 4 5 6 7; do
    tail -c +$((p * 128 + c * 64 + 1)) "$a" | head -c 64 >> "$work/expected"
done; done
cmp "$work/grouped.bin" "$work/expected" || fail "grouping by crystals"

"$cli" bin -o "$work/three.bin" "$a" "$data/top-left.chr" "$work/short.chr"
{ cat "$a" "$data/top-left.chr" "$work/short.chr"; head -c 1022 /dev/zero; } | cmp - "$work/three.bin" \
    || fail "three pictures in slot order"

patched() {  # patched NAME EXPECTED-COMMAND -- CLI-ARGS...
    local name=$1 expected=$2; shift 3
    cp "$work/old" "$work/$name.bin"
    "$cli" bin "$@" -o "$work/$name.bin" "$a" "$b" || fail "$name exited $?"
    eval "$expected" | cmp - "$work/$name.bin" || fail "$name bytes"
}
patched append 'cat $work/old $a $b' -- --mode append
patched insert0 'cat $a $b $work/old' -- --mode insert --at 0
patched insert40 '{ head -c 40 $work/old; cat $a $b; tail -c +41 $work/old; }' -- --mode insert --at 40
patched insertL 'cat $work/old $a $b' -- --mode insert --at 100
patched replace10 '{ head -c 10 $work/old; cat $a $b; }' -- --mode replace --at 10
patched replaceL 'cat $work/old $a $b' -- --mode replace --at 5000
[ "$(stat -c %s "$work/insert0.bin")" = 2148 ] || fail "insert at 0 into 100 bytes gives 2148"

# Inside a longer file replace changes only what it covers.
bytes long 5000
cp "$work/long" "$work/inside.bin"
"$cli" bin --mode replace --at 1000 -o "$work/inside.bin" "$a"
{ head -c 1000 "$work/long"; cat "$a"; tail -c +2025 "$work/long"; } | cmp - "$work/inside.bin" || fail "replace inside"

refused() {  # refused EXIT-CODE TARGET-CONTENT-FILE CLI-ARGS...
    local code=$1 keep=$2; shift 2
    set +e; "$cli" bin "$@" 2> "$work/err"; local got=$?; set -e
    [ "$got" = "$code" ] || fail "exit $got instead of $code for: $*"
    [ -s "$work/err" ] || fail "no message for: $*"
    [ -z "$keep" ] || cmp -s "$work/old" "$keep" || fail "target touched by: $*"
}
cp "$work/old" "$work/keep.bin"
k=$work/keep.bin
refused 1 "$k" --mode insert --at 101 -o "$k" "$a"
refused 2 "$k" --mode insert -o "$k" "$a"
refused 2 "$k" --mode replace --at -1 -o "$k" "$a"
refused 2 "$k" --mode insert --at x -o "$k" "$a"
refused 2 "$k" --at 3 -o "$k" "$a"
refused 2 "$k" --mode sideways -o "$k" "$a"
refused 2 "$k" --bogus -o "$k" "$a"
refused 2 "$k" -o "$k"
refused 2 "$k" "$a"
refused 2 "$k" -o "$k" "$work/missing.chr"
refused 2 "$k" -o "$k" "$a" "$a" "$a" "$a" "$a" "$a" "$a" "$a" "$a" "$a" "$a"
refused 1 "" --mode append -o "$work/absent.bin" "$a"
[ ! -e "$work/absent.bin" ] || fail "a missing file was created by --mode append"
mkdir "$work/folder.bin"
refused 1 "" -o "$work/folder.bin" "$a"
[ -d "$work/folder.bin" ] && [ -z "$(ls "$work/folder.bin")" ] || fail "the folder in the way was touched"

ls "$work" | grep -q '\.~' && fail "temporary files left: $(ls "$work")"
echo "cli bin ok"
