#!/usr/bin/env bash
# The tab switch's full repaint of the 128 cell images, timed inside the real
# program under Wine on a virtual display (bench/win32_repaint_bench.cpp):
#   bench/repaint.sh [WINDOWS_BUILD_DIR]      (default build/windows)
# Uses the Wine tests' runner and a prefix of its own beside the build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/windows}")
exe=$build/bin/lumetra_repaint_bench.exe
[ -f "$exe" ] || { echo "repaint: $exe is missing; build the Windows tree first"; exit 1; }
bash "$root/tests/win32/run_e2e.sh" --prepare "$build/wine-bench" >/dev/null
bash "$root/tests/win32/run_e2e.sh" "$exe" "$build/wine-bench" repaint
