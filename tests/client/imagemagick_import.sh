#!/usr/bin/env bash
# Pictures made afresh by the installed ImageMagick (every format variant of
# the pattern, and the stretches) must import to the pattern's exact bytes.
#   imagemagick_import.sh NATIVE_CLI MAKE_PY
set -euo pipefail
cli=$1 make=$2
if ! /usr/bin/convert -version 2>/dev/null | grep -q ImageMagick; then
    echo "SKIP: ImageMagick's convert is not installed (scripts/setup.sh installs it)"
    exit 77
fi
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
python3 "$make" "$work"
count=0
for f in "$work"/pattern-* "$work"/stretch-*; do
    "$cli" convert "$f" -o "$work/out.chr" || { echo "FAIL: $(basename "$f") not imported"; exit 1; }
    cmp -s "$work/out.chr" "$work/pattern.chr" || { echo "FAIL: $(basename "$f") is not the pattern"; exit 1; }
    count=$((count + 1))
done
[ "$count" -ge 40 ] || { echo "FAIL: only $count pictures made"; exit 1; }
echo "$count ImageMagick pictures import to the pattern"
