#!/usr/bin/env bash
# Builds the page and times it in headless chromium beside the native command (figures with
# their targets; no pass or fail).
set -euo pipefail
cd "$(dirname "$0")/.."
[[ -x build/release/vortel ]] || { cmake --preset release >/dev/null && cmake --build --preset release --target vortel; }
dir=$(bash scripts/build-web.sh | tail -n 1)
VORTEL_NATIVE=${VORTEL_NATIVE:-$PWD/build/release/vortel} node web/tests/bench.mjs "$dir"
