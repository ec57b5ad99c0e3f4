#!/usr/bin/env bash
# make run: starts the editor (build/windows/bin/lumetra.exe) under Wine in
# the private prefix build/wine-run, on the current X display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
    echo "make run: there is no X display (DISPLAY is empty), so the editor's window cannot be shown here."
    echo "Run it where a display is available, or run 'make screenshot': it starts the editor on a virtual"
    echo "display, saves a picture of its window as docs/screenshot.png and ends it."
    exit 1
fi
exec bash scripts/wine-run.sh build/wine-run build/windows/bin/lumetra.exe "$@"
