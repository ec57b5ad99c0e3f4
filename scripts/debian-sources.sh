# Sourced by the dependency scripts: unpacks Debian source packages into
# $sources without touching the machine's apt configuration (apt-get reads a
# private source list and keeps its lists under the cache folder).
#   debian_sources CACHE_DIR TAG PACKAGE...   unpacks each missing PACKAGE into CACHE_DIR/sources/PACKAGE
# TAG names the calling script in messages.

debian_sources() {
    local cache=$1 tag=$2; shift 2
    sources=$cache/sources
    local apt_dir=$cache/apt missing=() package
    for package in "$@"; do
        [ -d "$sources/$package" ] || missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    mkdir -p "$sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"

    # deb-src twins of the machine's own deb entries (one-line and deb822 forms),
    # so the same mirror serves the sources.
    : > "$apt_dir/sources.list"
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list"
    done
    rm -f "$apt_dir/sources.list.d/"*
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
    done
    local apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
                    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o APT::Sandbox::User=root)

    echo "$tag: fetching the sources of ${missing[*]}"
    apt-get "${apt_opts[@]}" -qq update
    for package in "${missing[@]}"; do
        local work=$sources/.fetch-$package version ok=""
        rm -rf "$work"; mkdir -p "$work"
        # Newest first; a mirror may list a version whose files it does not hold.
        for version in $(apt-cache "${apt_opts[@]}" showsrc "$package" | sed -n 's/^Version: //p' | sort -Vru); do
            rm -f "$work"/*
            if (cd "$work" && apt-get "${apt_opts[@]}" -qq source --download-only "$package=$version" >/dev/null 2>&1); then
                ok=$version; break
            fi
        done
        [ -n "$ok" ] || { echo "$tag: cannot fetch the source of $package" >&2; return 1; }
        local dsc; dsc=$(ls "$work"/*.dsc | head -1)
        dpkg-source -x "$dsc" "$work/tree" >/dev/null 2>&1
        mv "$work/tree" "$sources/$package"
        rm -rf "$work"
    done
}
