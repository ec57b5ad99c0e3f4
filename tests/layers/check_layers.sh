#!/usr/bin/env bash
# Dependencies point down only. Fails, naming the file and the include, when
#   - a file of core/, listing/, display/, font/, tools/, preview/ or cli/ includes the shell
#     (app/), the platform layer or a system window header, or a portable folder above its
#     own (core sees core; listing sees core; display sees core and listing; font sees
#     core, listing and display; tools sees core and listing; preview sees core; cli sees
#     all six); only
#     cli/windows_console.cpp, built into lumetra-cli.exe alone, may use the Windows
#     console through windows.h;
#   - a shell file includes a backend header (platform/win32/, platform/headless/) or windows.h;
#   - a view (app/views/) includes a panel (app/panels/): the panels sit on the views.
#   check_layers.sh [SOURCE_DIR]
set -u
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root" || exit 2

allowed_for() {
    case $1 in
    core) echo "core" ;;
    listing) echo "core listing" ;;
    display) echo "core listing display" ;;
    font) echo "core listing display font" ;;
    tools) echo "core listing tools" ;;
    preview) echo "core preview" ;;
    cli) echo "core listing display font tools preview cli" ;;
    esac
}

bad=0
report() { echo "$1: includes $2 ($3)"; bad=1; }

for layer in core listing display font tools preview cli; do
    [ -d "$layer" ] || continue
    allowed=$(allowed_for "$layer")
    while IFS= read -r -d '' file; do
        while IFS= read -r include; do
            target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$include")
            case $target in
            windows.h)
                [ "$file" = cli/windows_console.cpp ] && continue
                report "$file" "$target" "a portable file uses no window system"; continue ;;
            */windows.h | Windows.h | commctrl.h | shellapi.h | richedit.h)
                report "$file" "$target" "a portable file uses no window system"; continue ;;
            esac
            folder=${target%%/*}
            [ "$folder" = "$target" ] && continue  # a system or library header
            case $folder in
            core | listing | display | font | tools | preview | cli | app | platform) ;;
            *) continue ;;
            esac
            if ! grep -qw "$folder" <<<"$allowed"; then
                report "$file" "$target" "$layer may use only: $allowed"
            fi
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
    done < <(find "$layer" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done

if [ -d app ]; then
    while IFS= read -r -d '' file; do
        while IFS= read -r include; do
            target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)[>"].*/\1/' <<<"$include")
            case $target in
            platform/win32/* | platform/headless/*) report "$file" "$target" "the shell sees only platform/platform.h" ;;
            windows.h | Windows.h) report "$file" "$target" "the shell sees only platform/platform.h" ;;
            app/panels/*) [[ $file == app/views/* ]] && report "$file" "$target" "a view does not see the panels" ;;
            esac
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
    done < <(find app -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
fi

[ $bad = 0 ] && echo "layers: every include points down"
exit $bad
