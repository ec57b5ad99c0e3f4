#!/usr/bin/env bash
# lumetra-cli convert end to end: names decide import or .chr as in the
# editor's Open, content decides the format, refusals leave OUT alone.
#   cli_convert.sh CLI PICTURES
set -euo pipefail
cli=$1 pictures=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
pattern=$pictures/pattern.chr

cp "$pictures/pattern-png-rgb.png" "$work/logo.PNG"
cp "$pictures/pattern-png-rgb.png" "$work/photo.jpg"
for f in logo.PNG photo.jpg; do
    "$cli" convert "$work/$f" -o "$work/out.chr"
    cmp -s "$work/out.chr" "$pattern" || fail "$f not imported by content"
done
# Any other name is a .chr file, whatever it holds.
cp "$pictures/pattern-png-rgb.png" "$work/photo.jpeg"
"$cli" convert "$work/photo.jpeg" -o "$work/out.chr"
[ "$(stat -c %s "$work/out.chr")" = 1024 ] || fail ".jpeg not read as .chr"
cmp -s <(head -c "$(stat -c %s "$work/photo.jpeg")" "$work/out.chr") "$work/photo.jpeg" || fail ".jpeg bytes not kept"
"$cli" convert "$pattern" -o "$work/out.chr" && cmp -s "$work/out.chr" "$pattern" || fail ".chr not copied"
# The negative of a black and white picture is its complement.
"$cli" convert --invert "$work/logo.PNG" -o "$work/negative.chr"
cmp -s "$work/negative.chr" <(python3 -c 'import sys; sys.stdout.buffer.write(bytes(255 - b for b in open(sys.argv[1], "rb").read()))' "$pattern") \
    || fail "--invert"
# listing of a picture is the listing of its bytes.
cmp -s <("$cli" listing "$work/logo.PNG") <("$cli" listing "$pattern") || fail "listing of a picture"

head -c 300 "$pictures/pattern-bmp-24.bmp" > "$work/cut.bmp"
echo old > "$work/keep.chr"
cases=("$work/cut.bmp" "$work/missing.png" "" "$work/logo.PNG $work/photo.jpg" "--bogus $work/logo.PNG")
for bad in "${cases[@]}"; do
    # shellcheck disable=SC2086
    if "$cli" convert $bad -o "$work/keep.chr" 2> "$work/err"; then fail "accepted: $bad"; fi
    [ -s "$work/err" ] || fail "no message for: $bad"
    [ "$(cat "$work/keep.chr")" = old ] || fail "output touched for: $bad"
done
"$cli" convert "$work/logo.PNG" 2>/dev/null && fail "no -o accepted"
grep -q "cannot import .*cut.bmp: the pixel data is cut off" < <("$cli" convert "$work/cut.bmp" -o "$work/x.chr" 2>&1) \
    || fail "reason of a refusal"
echo "cli convert ok"
