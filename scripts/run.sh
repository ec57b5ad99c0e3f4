#!/usr/bin/env bash
# make run: starts the editor (build/windows/bin/lumetra.exe, another build
# with LUMETRA_EXE) under Wine on the current X display, in the private prefix
# build/wine-run, where the desktop's window manager manages its window.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
    echo "make run: there is no X display (DISPLAY is empty), so the editor's window cannot be shown here."
    echo "Run it where a display is available, or run 'make screenshot': it starts the editor on a virtual"
    echo "display, saves a picture of its window as docs/screenshot.png and ends it."
    exit 1
fi
exe=${LUMETRA_EXE:-build/windows/bin/lumetra.exe}
exec bash scripts/wine-run.sh --managed build/wine-run "$exe" "$@"
