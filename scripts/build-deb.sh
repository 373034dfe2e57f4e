#!/usr/bin/env bash
# Builds the program (no tests) and makes its Debian package; prints the package's path.
# Install it with: sudo apt-get install ./build/package/vortel_*.deb (apt fetches what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake --preset package >/dev/null
cmake --build --preset package >&2
rm -f build/package/vortel_*.deb
(cd build/package && cpack -G DEB >&2)
ls "$PWD"/build/package/vortel_*.deb
