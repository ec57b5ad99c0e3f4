#!/usr/bin/env bash
# Prepares a private Wine prefix for the editor and its tests:
#   scripts/wine-prefix.sh [--managed] PREFIX_DIR
# Without --managed (tests, screenshot, a display without a window manager)
# Wine draws the windows' captions itself; with --managed (make run) the
# desktop's window manager decorates the editor's window and lists it in the
# task bar. Idempotent; the first run takes about 10 s. A prefix prepared by
# an older version of this script, or in the other mode, is brought up to
# date on its next use.
set -euo pipefail
managed=N
if [ "${1:-}" = --managed ]; then managed=Y; shift; fi
prefix=$(realpath -m "${1:?usage: wine-prefix.sh [--managed] PREFIX_DIR}")
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Raise the number when a setting below changes.
stamp=$prefix/.lumetra-ready
wanted="2 managed=$managed"
[ "$(cat "$stamp" 2>/dev/null)" = "$wanted" ] && exit 0

if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    # Without a display wineboot must not try to open windows.
    env -u DISPLAY wineboot -i >/dev/null 2>&1 || true
fi
# N: without a window manager every destroyed top-level window otherwise waits 2 s.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$managed" /f >/dev/null 2>&1
# A crash must end the run, not wait on a dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The code views ask for a fixed-pitch face that the prefix does not have.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Lucida Console' /t REG_SZ /d 'DejaVu Sans Mono' /f >/dev/null 2>&1
# Debian's Wine looks for its own fonts (package fonts-wine: Marlett for the
# caption buttons, Tahoma for dialogs) in "<data dir>\../fonts", a path its
# file lookup never resolves, so they are never loaded. Name their folder.
# Only outline fonts are read from it: Wine's bitmap faces without Cyrillic
# ("MS Sans Serif", "System") stay out whatever the locale.
wine reg add 'HKCU\Software\Wine\Fonts' /v Path /t REG_SZ /d 'Z:\usr\share\wine\fonts' /f >/dev/null 2>&1
# The Wine processes started here (the desktop among them) may sit on another
# display or on none: let them end, so the program starts its own desktop.
wineserver -w
echo "$wanted" > "$stamp"
