#!/usr/bin/env bash
# Checks that the C++ files under src, tests, bench and fuzz are laid out as .clang-format says,
# and the page's files under web/ as its pinned prettier says (web/.prettierrc.json): names every
# file that is not and exits 1. With --fix it formats them in place instead.
#   CLANG_FORMAT   the formatter to run (default clang-format)
set -euo pipefail
cd "$(dirname "$0")/.."
formatter="${CLANG_FORMAT:-clang-format}"
if ! command -v "$formatter" >/dev/null; then
    echo "check-format: $formatter is not installed (scripts/install-deps.sh installs it)" >&2
    exit 2
fi
[ -x web/node_modules/.bin/prettier ] || (cd web && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
prettier=node_modules/.bin/prettier
mapfile -t files < <(find src tests bench fuzz examples -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
if [ "${1:-}" = "--fix" ]; then
    "$formatter" -i "${files[@]}"
    (cd web && $prettier --write . >/dev/null)
    exit 0
fi
# One formatter run for all files; it names each file that differs in its warnings.
mapfile -t unformatted < <("$formatter" --dry-run --Werror "${files[@]}" 2>&1 >/dev/null |
    sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
mapfile -t -O "${#unformatted[@]}" unformatted < <(cd web && $prettier --list-different . | sed 's#^#web/#')
if ((${#unformatted[@]})); then
    echo "check-format: not laid out as .clang-format or prettier says (scripts/check-format.sh --fix):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi
echo "check-format: ${#files[@]} C++ files laid out as .clang-format says, web/ as prettier says"
