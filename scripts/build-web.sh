#!/usr/bin/env bash
# Builds the browser page: the wasm core (scripts/build-wasm.sh), then the page bundled by
# esbuild. Prints on its last line the folder holding index.html, vortel.html and vortel-cli.js.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
need=()
command -v node >/dev/null || need+=(nodejs)
command -v npm >/dev/null || need+=(npm)
command -v emcc >/dev/null || need+=(emscripten)
if ((${#need[@]})); then
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo=sudo
    $sudo apt-get update >&2
    $sudo apt-get install -y "${need[@]}" >&2
fi
(cd web && npm ci --ignore-scripts --no-audit --no-fund >&2)
[[ -f scripts/build-wasm.sh ]] || { echo "build-web: scripts/build-wasm.sh is missing (the wasm core)" >&2; exit 1; }
core=$(bash scripts/build-wasm.sh | tail -n 1)
[[ -f $core/vortel-web.wasm ]] || { echo "build-web: $core has no vortel-web.js and vortel-web.wasm (the core's web build)" >&2; exit 1; }
node web/build.mjs "$core" >&2
echo "$root/web/dist"
