#!/usr/bin/env bash
# Builds the page and runs its browser tests in headless chromium, in both forms. Where the core
# has no web build yet (no vortel-web.wasm beside vortel-cli.js), the page is tested over a
# stand-in that replays the desktop program's files for the test's inputs, and says so.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v chromium >/dev/null; then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get update >&2
    $sudo apt-get install -y chromium >&2
fi
(cd web && npm ci --ignore-scripts --no-audit --no-fund >&2)
core=""
[[ -f scripts/build-wasm.sh ]] && core=$(bash scripts/build-wasm.sh | tail -n 1)
if [[ -n $core && -f $core/vortel-web.wasm ]]; then
    node web/build.mjs "$core" >&2
else
    echo "test-web: the core has no web build here: testing the page over a stand-in core" >&2
    [[ -x build/release/vortel ]] || { cmake --preset release >/dev/null && cmake --build --preset release --target vortel; }
    standin=$(mktemp -d)
    trap 'rm -rf "$standin"' EXIT
    node web/tests/stand-in-core.mjs build/release/vortel "$standin"
    [[ -n $core ]] && cp "$core"/vortel-cli* "$standin"/ 2>/dev/null || true
    node web/build.mjs "$standin" >&2
fi
VORTEL_NATIVE=${VORTEL_NATIVE:-$PWD/build/release/vortel} node web/tests/browser.mjs "$PWD/web/dist"
