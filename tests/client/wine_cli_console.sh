#!/usr/bin/env bash
# lumetra-cli.exe's messages under Wine, on a console and in a file. Run in a
# pseudo-terminal (script), the program gets a Wine console that shows on the
# terminal as UTF-8: a message naming a Cyrillic path must read right there,
# not as UTF-8 bytes taken in the console's code page 866. Written to a file,
# the same message stays UTF-8 bytes.
#   wine_cli_console.sh WINDOWS_CLI WINE_RUN PREFIX
set -euo pipefail
windows=$1 wine_run=$2 prefix=$3
if [ ! -f "$windows" ]; then
    echo "SKIP: $windows is not built (make test builds it with the windows preset)"
    exit 77
fi
. "$(dirname "$0")/wine_cli.sh"
work=$(mktemp -d); trap 'end_wine_server; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
keep_wine_server

missing="$work/кириллица/рисунок.png"
expected="lumetra-cli convert: no such picture file: $missing"

rc=0
bash "$wine_run" "$prefix" "$windows" convert "$missing" -o "$work/out.chr" 2> "$work/file.txt" || rc=$?
[ "$rc" = 2 ] || fail "exit $rc for a missing picture, not 2"
grep -qF "$expected" "$work/file.txt" || fail "standard error in a file: $(head -c 300 "$work/file.txt" | od -c | head)"

# A terminal wide enough that the console does not wrap the line; its
# cursor moves to the right are the spaces they stand for, and the other
# sequences are taken out before looking.
printf -v command '%q ' bash "$wine_run" "$prefix" "$windows" convert "$missing" -o "$work/out.chr"
script -qec "stty cols 400 rows 50; $command" /dev/null > "$work/console.txt" 2>&1 || true
perl -pe 's/\e\[(\d*)C/" " x ($1 || 1)/ge; s/\e\[[?\d;]*[A-Za-z]//g' "$work/console.txt" > "$work/shown.txt"
grep -qF "$expected" "$work/shown.txt" || fail "the console shows: $(head -c 300 "$work/shown.txt")"
echo "the message names $missing on a console and in a file"
