# Sourced by the tests that run lumetra-cli.exe many times under Wine, with
# wine_run, prefix and windows set:
#   . wine_cli.sh; keep_wine_server; wine_cli ARGS...; end_wine_server
# wine_cli's standard error goes to the file $wine_err when that is set.

# One wine server stays up for all the runs of a test: a server that ends
# after each run (Wine's default) now and then drops the connection of the
# next run as it starts ("recvmsg: Connection reset by peer"; 7 starts in
# 1500 on a busy machine, none with the server kept).
kept_server_prefix=""
keep_wine_server() {
    bash "$wine_run" "$prefix" "$windows" --version >/dev/null 2>&1 || true  # prepares the prefix
    kept_server_prefix=$(realpath -m "$prefix")
    WINEPREFIX=$kept_server_prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$kept_server_prefix wineserver -p
}
end_wine_server() {
    if [ -n "$kept_server_prefix" ]; then WINEPREFIX=$kept_server_prefix wineserver -k 2>/dev/null || true; fi
}

# A start Wine fails whatever the cause (the program never ran and said
# nothing) is tried once more; a failure the program reports itself (its
# messages begin "lumetra-cli") stands.
wine_cli() {
    local err rc=0
    err=$(mktemp)
    bash "$wine_run" "$prefix" "$windows" "$@" 2>"$err" || rc=$?
    if [ "$rc" != 0 ] && ! grep -q '^lumetra-cli' "$err"; then
        rc=0
        bash "$wine_run" "$prefix" "$windows" "$@" 2>"$err" || rc=$?
    fi
    if [ -n "${wine_err:-}" ]; then cat "$err" > "$wine_err"; else cat "$err" >&2; fi
    rm -f "$err"
    return "$rc"
}
