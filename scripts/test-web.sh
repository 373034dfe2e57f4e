#!/usr/bin/env bash
# Builds the page and runs its browser tests in headless chromium, in both forms, against the
# native program's files for the same inputs (build/release/vortel, built when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v chromium >/dev/null; then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get update >&2
    $sudo apt-get install -y chromium >&2
fi
[[ -x build/release/vortel ]] || { cmake --preset release >/dev/null && cmake --build --preset release --target vortel; }
dir=$(bash scripts/build-web.sh | tail -n 1)
VORTEL_NATIVE=${VORTEL_NATIVE:-$PWD/build/release/vortel} node web/tests/browser.mjs "$dir"
