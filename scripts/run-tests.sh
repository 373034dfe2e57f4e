#!/usr/bin/env bash
# Set-up, build and every test (core tests and the window tests, offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
QT_QPA_PLATFORM=offscreen ctest --preset release
