#!/usr/bin/env bash
# The layers link one way, app -> workbook -> charts -> ui -> data: no file of a layer includes a
# header of a layer above it, and no CMake target links upwards. Usage: tests/layers.sh [root]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"
layers=(data ui charts workbook app)
status=0
for ((i = 0; i < ${#layers[@]}; ++i)); do
    layer=${layers[i]}
    for ((j = i + 1; j < ${#layers[@]}; ++j)); do
        above=${layers[j]}
        # Headers of the layer above, by name (its own .ui forms become ui_<name>.h).
        for header in "$above"/*.h; do
            name=$(basename "$header")
            if grep -ln "#include \"$name\"" "$layer"/*.cpp "$layer"/*.h 2>/dev/null; then
                echo "layers: $layer includes $above/$name" >&2
                status=1
            fi
        done
        if grep -q "sondaryk_$above\b" "$layer/CMakeLists.txt" 2>/dev/null; then
            echo "layers: $layer/CMakeLists.txt links sondaryk_$above" >&2
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "layers: every include and link goes down"
exit $status
