#!/usr/bin/env bash
# Builds the page and runs its browser tests in headless chromium, in both forms. Where the wasm
# core cannot be built yet (no scripts/build-wasm.sh), the page is tested over a stand-in that
# replays the desktop program's files for the test's inputs, and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v chromium >/dev/null; then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get update >&2
    $sudo apt-get install -y chromium >&2
fi
if [[ -f scripts/build-wasm.sh ]]; then
    dir=$(bash scripts/build-web.sh | tail -n 1)
else
    echo "test-web: no wasm core here (scripts/build-wasm.sh is missing): testing the page over a stand-in core" >&2
    [[ -x build/release/vortel ]] || { cmake --preset release >/dev/null && cmake --build --preset release --target vortel; }
    (cd web && npm ci --ignore-scripts --no-audit --no-fund >&2)
    standin=$(mktemp -d)
    trap 'rm -rf "$standin"' EXIT
    node web/tests/stand-in-core.mjs build/release/vortel "$standin"
    node web/build.mjs "$standin" >&2
    dir=$PWD/web/dist
fi
VORTEL_NATIVE=${VORTEL_NATIVE:-$PWD/build/release/vortel} node web/tests/browser.mjs "$dir"
