#!/usr/bin/env bash
# No function of the program is longer than 80 lines. A definition is laid out by clang-format with
# its body's braces at the start of a line; its length runs from the line before the opening brace
# (the signature's last line) to the closing brace. Class bodies are not functions and are skipped;
# their inline members are one-liners by the house style. Tests and benchmarks are left out.
# Usage: tests/functions.sh [root] [limit]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
limit=${2:-80}
cd "$root"
long=$(for file in app/*.cpp workbook/*.cpp charts/*.cpp ui/*.cpp school/*.cpp documents/*.cpp \
    analysis/*.cpp files/*.cpp core/*.cpp; do
    [ -e "$file" ] || continue
    awk -v file="$file" -v limit="$limit" '
        /^\{/ && prev !~ /^(class|struct|enum|union|namespace)[ \t]/ { start = NR; name = prev }
        /^\}/ && start {
            lines = NR - start + 2
            if (lines > limit) printf "%s:%d: %d lines: %s\n", file, start - 1, lines, name
            start = 0
        }
        $0 !~ /^[ \t]*$/ { prev = $0 }' "$file"
done)
if [ -n "$long" ]; then
    echo "functions: longer than $limit lines:" >&2
    echo "$long" >&2
    exit 1
fi
echo "functions: none longer than $limit lines"
