#!/usr/bin/env bash
# Prepares a private Wine prefix for the tests and for running the editor:
#   scripts/wine-prefix.sh PREFIX_DIR
# Idempotent; the first run takes about 10 s. Afterwards source the printed
# environment or use scripts/wine-run.sh.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: wine-prefix.sh PREFIX_DIR}")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stamp=$prefix/.lumetra-ready
[ -f "$stamp" ] && exit 0

mkdir -p "$prefix"
# Without a display wineboot must not try to open windows.
env -u DISPLAY wineboot -i >/dev/null 2>&1 || true
# Without a window manager every destroyed top-level window otherwise waits 2 s.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# A crash must end the run, not wait on a dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The code views ask for a fixed-pitch face that the prefix does not have.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Lucida Console' /t REG_SZ /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
wineserver -w
touch "$stamp"
