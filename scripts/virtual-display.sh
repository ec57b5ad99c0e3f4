# Sourced by the scripts that run the editor on a display of their own:
#   . scripts/virtual-display.sh; start_virtual_display NAME [WxH]
# starts Xvfb on a free display number (Xvfb tells it on descriptor 3), exports
# DISPLAY, and on exit ends the Wine processes of $WINEPREFIX, then the display.
# A script with more to end sets on_exit to a command run first.
on_exit=""
virtual_display_pid=""
virtual_display_file=""

stop_virtual_display() {
    # Every step whatever the one before gave: errexit must not cut this short.
    if [ -n "$on_exit" ]; then eval "$on_exit" || true; fi
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$virtual_display_pid" ]; then
        kill "$virtual_display_pid" 2>/dev/null || true
        wait "$virtual_display_pid" 2>/dev/null || true
    fi
    if [ -n "$virtual_display_file" ]; then rm -f "$virtual_display_file"; fi
    return 0
}

start_virtual_display() {
    local name=$1 size=${2:-1280x1024}
    virtual_display_file=$(mktemp)
    trap stop_virtual_display EXIT
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$virtual_display_file" >/dev/null 2>&1 &
    virtual_display_pid=$!
    for _ in $(seq 200); do
        [ -s "$virtual_display_file" ] && break
        kill -0 "$virtual_display_pid" 2>/dev/null || { echo "$name: Xvfb did not start"; exit 1; }
        sleep 0.05
    done
    [ -s "$virtual_display_file" ] || { echo "$name: Xvfb did not tell its display"; exit 1; }
    export DISPLAY=:$(head -n1 "$virtual_display_file")
}
