#!/usr/bin/env bash
# The libraries link one way only. Each line of the table below names a folder and the folders it
# may use; a file may include only headers of its own folder and of those, and a CMakeLists.txt
# may link only their libraries. A test folder under tests/ keeps to the rules of the folder it
# mirrors (and may use tests/support). Modules include one another without a circle.
# Usage: tests/layers.sh [root]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"

declare -A may=(
    [core]=""
    [files]="core"
    [analysis]="files core"
    [documents]="analysis files core"
    [school]="documents analysis files core"
    [ui]="core"
    [charts]="ui analysis files core"
    [workbook]="charts ui school documents analysis files core"
    [app]="workbook charts ui school documents analysis files core"
)
status=0
fail() {
    echo "layers: $*" >&2
    status=1
}

# check FOLDER LAYER ALLOWED...: the includes and links of FOLDER, which follows LAYER's rules.
check() {
    local folder=$1 layer=$2
    shift 2
    local allowed=" $layer $* "
    local file include target used
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -e "$file" ] || continue
        while IFS= read -r include; do
            used=${include%%/*}
            [ "$include" = "$used" ] && continue # generated forms (ui_*.h) and moc files
            if [ "$used" = tests ]; then
                case $include in tests/support/* | "$folder"/*) continue ;; esac
                [ "$folder" = "${folder#tests/}" ] || continue
            fi
            [ -n "${may[$used]+set}" ] || { fail "$file includes $include, of no library"; continue; }
            [[ $allowed == *" $used "* ]] || fail "$file includes $include ($layer may not use $used)"
        done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
    done
    if [ -f "$folder/CMakeLists.txt" ]; then
        for target in $(grep -o 'sondaryk_[a-z]*' "$folder/CMakeLists.txt" | sort -u); do
            used=${target#sondaryk_}
            [ -n "${may[$used]+set}" ] || continue # the add_test helper and program targets
            [[ $allowed == *" $used "* ]] || fail "$folder/CMakeLists.txt links $target ($layer may not use $used)"
        done
    fi
}

# What several tests share may reach no higher than the lowest window layer its users link.
check tests/support support ui school documents analysis files core
for layer in "${!may[@]}"; do
    [ -d "$layer" ] && check "$layer" "$layer" ${may[$layer]}
    [ -d "tests/$layer" ] && check "tests/$layer" "$layer" ${may[$layer]}
done

# The windows read and write no file: school/ does it for them.
while IFS= read -r hit; do
    fail "workbook reads or writes a file itself: $hit"
done < <(grep -nE '\bQ(Save|Temporary)?File\b|QFile::|QDir\(\)\.mk|\.mkpath\(|\.exists\(|\.isDir\(\)|writeFileAtomically|writeFileInside|readWholeFile|readFileInside|"files/savefile\.h"' workbook/*.h workbook/*.cpp || true)

# No circle of includes between modules (a module is a header with its source).
edges=$(for file in $(ls -d "${!may[@]}" 2>/dev/null | sed 's#$#/*.[hc]*#'); do
    [ -e "$file" ] || continue
    from=${file%.*}
    sed -n 's/^#include "\([a-z]*\/[a-z0-9_]*\)\.h".*/\1/p' "$file" | while read -r to; do
        [ "$to" != "$from" ] && echo "$from $to"
    done
done)
if ! tsort <<<"$edges" >/dev/null 2>/tmp/layers-tsort.$$; then
    fail "modules include one another in a circle: $(grep -v 'input contains a loop' /tmp/layers-tsort.$$ | sed 's/^tsort: //' | tr '\n' ' ')"
fi
rm -f /tmp/layers-tsort.$$
[ $status -eq 0 ] && echo "layers: every include and link goes down the table, without a circle"
exit $status
