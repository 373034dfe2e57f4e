#!/usr/bin/env bash
# Builds the batch commands as WebAssembly with Debian's emscripten (installed when missing) and
# prints, on its last line, the folder that holds vortel-cli.js.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh emscripten
# Debian's emscripten finds its JavaScript tools (acorn) among Debian's node modules, which a
# node from elsewhere does not look in by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --preset wasm >/dev/null
cmake --build --preset wasm >&2
echo "$PWD/build/wasm"
