#!/usr/bin/env bash
# The batch commands built as WebAssembly, held to the native program's end-to-end tests: the
# same test program runs every case through `node vortel-cli.js` in place of the native vortel,
# so every report, CSV table and sort-and-count file is compared with the same golden bytes.
# Needs the release build's tests (scripts/run-tests.sh builds them).
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(bash scripts/build-wasm.sh | tail -n 1)
[ -x build/release/tests/vortel_app_tests ] || {
  cmake --preset release >/dev/null
  cmake --build --preset release --target vortel_app_tests
}
# Left out, with the reason: charts need the Qt build, and node reads file names as UTF-8, so a
# name of other bytes cannot reach the WebAssembly program.
skip="ResultsCsvEndToEnd.BatchPrintsTheTablesAfterTheReportAndDrawsTheFigure"
skip+=":BadInput.NamesWithCommasQuotesAndHighBytesPassThrough"
# The tests labelled long repeat at scale what the others run (tests/CMakeLists.txt); the native
# program runs them, and native against node is compared byte for byte on random data.
while read -r name; do skip+=":$name"; done < <(ctest --test-dir build/release -N -L long |
  sed -n 's/^ *Test *#[0-9]*: //p')
# Two shards at once: each case waits mostly on node starting the module.
pids=()
for shard in 0 1; do
  VORTEL_PROGRAM="node $folder/vortel-cli.js" SOURCE_DATE_EPOCH= GTEST_TOTAL_SHARDS=2 \
    GTEST_SHARD_INDEX=$shard build/release/tests/vortel_app_tests --gtest_filter="-$skip" \
    --gtest_brief=1 &
  pids+=($!)
done
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
