#!/usr/bin/env bash
# End-to-end stories of the real lumetra.exe under Wine, each in a fresh
# program, on an X display of their own and in a private prefix:
#   run_e2e.sh --prepare PREFIX        make the prefix (once; about 20 s)
#   run_e2e.sh EXE PREFIX STORY...     play the stories (lumetra_e2e.exe)
# The display, the wineserver and everything else started here are ended on
# the way out, whatever happens.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)

if [ "${1:-}" = --prepare ]; then
    bash "$root/scripts/wine-prefix.sh" "${2:?prefix}"
    exit 0
fi
exe=${1:?lumetra_e2e.exe}
prefix=$(realpath -m "${2:?prefix}")
shift 2
if [ ! -f "$exe" ]; then
    echo "run_e2e: $exe is missing; build the Windows preset first (make windows)"
    exit 1
fi
export WINEPREFIX=$prefix WINEDEBUG=-all

. "$root/scripts/virtual-display.sh"
start_virtual_display run_e2e

bash "$root/scripts/wine-prefix.sh" "$prefix"
# The test pictures of this checkout, wherever the Windows build lies (Z: is /).
export LUMETRA_E2E_DATA="Z:$root/tests/data"
# A wineserver that stays up between the stories makes each start fast.
wineserver -p

status=0
for story in "$@"; do
    LUMETRA_E2E_STORY=$story timeout 60 bash "$root/scripts/wine-run.sh" "$prefix" "$exe" 2>/dev/null || status=1
done
exit $status
