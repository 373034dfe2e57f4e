#!/usr/bin/env bash
# Builds the page and runs its browser tests in headless chromium, both forms.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(bash scripts/build-web.sh | tail -n 1)
command -v chromium >/dev/null || { sudo=""; [[ $(id -u) -eq 0 ]] || sudo=sudo; $sudo apt-get install -y chromium >&2; }
node web/tests/browser.mjs "$dir"
