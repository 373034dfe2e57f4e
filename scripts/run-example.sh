#!/usr/bin/env bash
# Set-up and the main job: a Cartesian paired test of the five example treatments.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target vortel
work=$(mktemp -d)
cp examples/treatment-*.txt "$work"/
report=$(./build/release/vortel cartesian "$work"/treatment-1.txt "$work"/treatment-2.txt \
         "$work"/treatment-3.txt "$work"/treatment-4.txt "$work"/treatment-5.txt)
echo "Report: $report"
cat "$report"
