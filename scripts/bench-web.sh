#!/usr/bin/env bash
# Builds the page and times it in headless chromium (figures only; no pass or fail).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(bash scripts/build-web.sh | tail -n 1)
node web/tests/bench.mjs "$dir"
