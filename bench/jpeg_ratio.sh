#!/usr/bin/env bash
# JPEG import of lumetra-cli beside djpeg (libjpeg-turbo's own decoder) on the
# same file, as a ratio that does not depend on the machine:
#   bench/jpeg_ratio.sh [LUMETRA_CLI] [RUNS] [PICTURE.jpg]
# Defaults: build/release/cli/lumetra-cli (an optimised build), 21 runs, and
# a 4000 x 3000 photo-like picture made once with ImageMagick. djpeg writes
# its full-size picture to /dev/null; lumetra-cli converts to a .chr. The two
# take turns, so that a busy machine slows both alike. Prints the medians and
# their ratio.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath -m "${1:-$root/build/release/cli/lumetra-cli}")
runs=${2:-21}
picture=${3:-}
[ -x "$cli" ] || { echo "jpeg_ratio: $cli is missing (cmake --preset release && cmake --build --preset release)"; exit 1; }
command -v djpeg >/dev/null || { echo "jpeg_ratio: djpeg is missing (package libjpeg-turbo-progs; scripts/setup.sh)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "$picture" ]; then
    picture=$work/photo-4000x3000.jpg
    convert -size 4000x3000 -seed 7 plasma:fractal -blur 0x1 -quality 90 "$picture"
fi

now_us() { local t=$EPOCHREALTIME; echo "${t/./}"; }
time_us() {  # command...: wall time of one run in microseconds
    local start end
    start=$(now_us)
    "$@" >/dev/null 2>&1 || { echo "jpeg_ratio: failed: $*" >&2; exit 1; }
    end=$(now_us)
    echo $((end - start))
}

# One of each first: the file and both programs in the page cache.
djpeg -outfile /dev/null "$picture"
"$cli" convert "$picture" -o "$work/out.chr" >/dev/null
djpeg_us=() cli_us=()
for _ in $(seq "$runs"); do
    djpeg_us+=("$(time_us djpeg -outfile /dev/null "$picture")")
    cli_us+=("$(time_us "$cli" convert "$picture" -o "$work/out.chr")")
done

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
md=$(median "${djpeg_us[@]}")
mc=$(median "${cli_us[@]}")
size=$(identify -format '%w x %h' "$picture" 2>/dev/null || echo "?")
awk -v d="$md" -v c="$mc" -v n="$runs" -v s="$size" 'BEGIN {
    printf "%s JPEG, median of %d runs: djpeg %.1f ms, lumetra-cli convert %.1f ms, ratio %.2f\n", s, n, d / 1000, c / 1000, c / d }'
