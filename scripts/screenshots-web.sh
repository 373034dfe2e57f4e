#!/usr/bin/env bash
# Builds the page and takes its pictures for docs/ (first view, results, help at 1366 x 768 and
# at a phone's size; a sort-and-count chart; the paper panel) in headless chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(bash scripts/build-web.sh | tail -n 1)
node web/tests/screenshots.mjs "$dir" "$PWD/docs"
