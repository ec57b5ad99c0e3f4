#!/usr/bin/env bash
# Start-up of lumetra.exe under Wine beside a trivial window of the same
# toolchain, on a virtual display in a warm, unmanaged prefix of its own:
#   bench/startup.sh [--cold] [WINDOWS_BUILD_DIR] [RUNS]   (default build/windows, 15)
# Each run times from the start of `wine` until the program's main window is
# mapped; the two programs take turns, so that a busy machine slows both
# alike. Prints every run, the medians and their ratio. One wineserver stays
# up for all runs, as in the Wine tests; with --cold every run starts with no
# Wine process left from the run before (the wineserver, Wine's services and
# its desktop start with the program, which adds the same half second or more
# to both and so brings the ratio near 1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
keep_server=1
if [ "${1:-}" = --cold ]; then keep_server=""; shift; fi
build=$(realpath -m "${1:-$root/build/windows}")
runs=${2:-15}
program=$build/bin/lumetra.exe
trivial=$build/bin/trivial_window.exe
for exe in "$program" "$trivial"; do
    [ -f "$exe" ] || { echo "startup: $exe is missing; build the Windows tree first"; exit 1; }
done

# The timer is a small X client, built beside the Windows tree.
timer=$build/bench/startup_timer
if [ ! -x "$timer" ] || [ "$root/bench/startup_timer.c" -nt "$timer" ]; then
    mkdir -p "$(dirname "$timer")"
    cc -O2 -Wall -o "$timer" "$root/bench/startup_timer.c" -lX11 || {
        echo "startup: cannot build the timer (libx11-dev missing? run scripts/setup.sh)"; exit 1; }
fi

prefix=$build/wine-bench
export WINEPREFIX=$prefix WINEDEBUG=-all
. "$root/scripts/virtual-display.sh"
start_virtual_display startup

# The tests' prefix settings and locale (scripts/wine-run.sh), prepared once;
# the runs call wine directly with the same environment.
bash "$root/scripts/wine-prefix.sh" "$prefix"
bash "$root/scripts/wine-run.sh" "$prefix" cmd /c exit >/dev/null 2>&1 || true
wineserver -w
[ -n "$keep_server" ] && wineserver -p
launch=(env LOCPATH="$prefix/.locale" LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 wine)

time_one() {  # title exe
    # Without a kept server the last run's wineserver must be gone first.
    [ -n "$keep_server" ] || wineserver -k >/dev/null 2>&1 || true
    [ -n "$keep_server" ] || wineserver -w
    "$timer" "$1" 20000 "${launch[@]}" "$2" 2>/dev/null
}
# Warm: the first starts load Wine's own DLLs from disk.
for _ in 1 2; do time_one "Trivial window" "$trivial" >/dev/null; time_one "Lumetra v " "$program" >/dev/null; done

trivial_ms=() program_ms=()
for i in $(seq "$runs"); do
    t=$(time_one "Trivial window" "$trivial") || { echo "startup: the trivial window did not appear"; exit 1; }
    p=$(time_one "Lumetra v " "$program") || { echo "startup: lumetra.exe's window did not appear"; exit 1; }
    trivial_ms+=("$t") program_ms+=("$p")
    printf 'run %2d: trivial window %7.1f ms   lumetra.exe %7.1f ms\n' "$i" "$t" "$p"
done

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
mt=$(median "${trivial_ms[@]}")
mp=$(median "${program_ms[@]}")
awk -v t="$mt" -v p="$mp" -v n="$runs" 'BEGIN {
    printf "median of %d runs: trivial window %.1f ms, lumetra.exe %.1f ms, ratio %.2f\n", n, t, p, p / t }'
