#!/usr/bin/env bash
# Times the page in headless chromium on 5 x B = 1,000,000 (or another B) with one worker and
# with two (the pairs past the value lists shared between them), beside the native command; not
# run in CI. Usage: bash bench/web-workers.sh [RUNS] [B]
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x build/release/vortel ]] || { cmake --preset release >/dev/null && cmake --build --preset release --target vortel; }
dir=$(bash scripts/build-web.sh | tail -n 1)
VORTEL_NATIVE=${VORTEL_NATIVE:-$PWD/build/release/vortel} node web/tests/bench-workers.mjs "$dir" "${1:-3}" "${2:-1000000}"
