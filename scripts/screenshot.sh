#!/usr/bin/env bash
# make screenshot: starts the editor on a virtual X display, saves a PNG of
# its window and closes it as a user would:
#   scripts/screenshot.sh [OUT.png [PANELS_DIR]]   (default docs/screenshot.png)
# With PANELS_DIR it also saves mode-2.png .. mode-5.png there: the window in
# each of the other modes (Ctrl+2 .. Ctrl+5), to look for clipped texts.
# Its prefix build/wine-screenshot is its own: closing the editor there leaves
# an editor started by make run (prefix build/wine-run) alone.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot.png}")
prefix=$(realpath -m build/wine-screenshot)
exe=${LUMETRA_EXE:-build/windows/bin/lumetra.exe}  # another build with LUMETRA_EXE
[ -f "$exe" ] || { echo "screenshot: $exe is missing (make windows)"; exit 1; }
export WINEPREFIX=$prefix WINEDEBUG=-all

program=""
. scripts/virtual-display.sh
on_exit='[ -n "$program" ] && kill "$program" 2>/dev/null'
start_virtual_display screenshot 1024x768
bash scripts/wine-prefix.sh "$prefix"  # after DISPLAY: none of its Wine processes lands on the user's display

# The sample picture, opened from the command line, so there is something to see.
sample=$(winepath -w "$PWD/samples/lumetra.chr" 2>/dev/null)
xdotool mousemove 1020 760 2>/dev/null || true  # the pointer off the window: no hover highlight
bash scripts/wine-run.sh "$prefix" "$exe" "$sample" >/dev/null 2>&1 &
program=$!
window=""
for _ in $(seq 300); do
    window=$(xdotool search --name '^Lumetra v 3\.4 For PIC' 2>/dev/null | head -n1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "screenshot: the editor's window did not appear"; exit 1; }
sleep 1.5  # let it paint
eval "$(xdotool getwindowgeometry --shell "$window")"
# Press "Преобразовать" (client 674, 474; the client area is 794 x 518 at the
# bottom of the X window, inside a 3-pixel border) so the listing shows too.
xdotool mousemove $((X + 3 + 674)) $((Y + HEIGHT - 3 - 518 + 474)) click 1 mousemove 1020 760
sleep 1
mkdir -p "$(dirname "$out")"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out"
echo "screenshot: $out (${WIDTH} x ${HEIGHT})"
if [ -n "${2:-}" ]; then
    mkdir -p "$2"
    for mode in 2 3 4 5; do
        xdotool windowactivate --sync "$window" key ctrl+$mode 2>/dev/null || xdotool key ctrl+$mode
        sleep 1
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2/mode-$mode.png"
    done
    echo "screenshot: modes 2 to 5 in $2"
fi

# WM_CLOSE to the program's windows: it saves its settings and ends.
wine taskkill /im lumetra.exe >/dev/null 2>&1 || true
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then echo "screenshot: the editor did not end after WM_CLOSE"; exit 1; fi
wait "$program" || true
program=""
