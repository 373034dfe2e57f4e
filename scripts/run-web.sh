#!/usr/bin/env bash
# Builds the page and serves its folder on 127.0.0.1 (port VORTEL_WEB_PORT, 8080 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$(bash scripts/build-web.sh | tail -n 1)
port=${VORTEL_WEB_PORT:-8080}
echo "VORTEL: http://127.0.0.1:$port/"
exec python3 -m http.server --bind 127.0.0.1 --directory "$dir" "$port"
