#!/usr/bin/env bash
# The listing generator in wasm (emcc, run under node) beside the same program
# built natively (release preset), in one run. The wasm time must stay within
# twice the native one, and both must make the same listings.
#   bash bench/listing_wasm.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null && cmake --build --preset release --target listing_race >/dev/null
cmake --preset web >/dev/null && cmake --build --preset web --target listing_race >/dev/null

native=$(build/release/bench/listing_race)
# emcc 3.1.6's loader would fetch the .wasm with node 20's fetch, which fails
# on a file path; without it the loader reads the file.
wasm=$(node --no-experimental-fetch build/web-cmake/bench/listing_race.js)
echo "native: $native"
echo "wasm:   $wasm"
awk -v n="$native" -v w="$wasm" 'BEGIN {
    split(n, a, " "); split(w, b, " ")
    if (a[6] != b[6]) { print "FAIL: the listings differ (checksums " a[6] " and " b[6] ")"; exit 1 }
    ratio = b[1] / a[1]
    printf "wasm / native: %.2f (at most 2)\n", ratio
    exit ratio <= 2 ? 0 : 1 }'
