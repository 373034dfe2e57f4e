#!/usr/bin/env bash
# Builds the program in the release tree and makes its Debian package; prints the package's path.
# Install it with: sudo apt-get install ./build/release/vortel_*.deb (apt fetches what it needs).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh >&2
cmake --preset release >/dev/null
cmake --build --preset release --target vortel >&2
rm -f build/release/vortel_*.deb
(cd build/release && cpack -G DEB >&2)
ls "$PWD"/build/release/vortel_*.deb
