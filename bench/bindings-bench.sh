#!/bin/bash
# Times one Cartesian paired test of 5 treatments x B = 100,000 values from R, from Python and
# by `vortel cartesian`, on the same values in the same run: the median of three runs each.
# The packages must be installed (scripts/test-bindings.sh shows how; R_LIBS and PYTHON may name
# where), and the program built (build/release/vortel, or VORTEL=path).
#   bench/bindings-bench.sh
set -euo pipefail
tree=$(cd "$(dirname "$0")/.." && pwd)
vortel=${VORTEL:-$tree/build/release/vortel}
python=${PYTHON:-/usr/bin/python3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Values of six decimals, as bootstrap results are written, so that every reader takes the same
# doubles from the text.
"$python" - "$work/long.csv" <<'PY'
import sys
import numpy as np
rng = np.random.default_rng(7)
with open(sys.argv[1], "w") as f:
    f.write("treatment,n,original,parameter,value\n")
    for k, (name, mean) in enumerate([("A", 0.25), ("B", 0.24), ("C", 0.22), ("D", 0.21), ("E", 0.18)]):
        for x in rng.normal(mean, 0.02, 100_000):
            f.write(f"{name},{40 + k},{mean},r,{x:.6f}\n")
PY

median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }

for run in 1 2 3; do
  rm -f "$work"/25A-*
  start=$(date +%s.%N)
  "$vortel" cartesian "$work/long.csv" > /dev/null
  echo "$(date +%s.%N) - $start" | bc
done | median > "$work/batch"

Rscript -e '
suppressMessages(library(vortel))
long <- read.csv(commandArgs(TRUE)[1])
for (run in 1:3) cat(system.time(cartesian_test(long))[["elapsed"]], "\n")
' "$work/long.csv" | median > "$work/r"

"$python" - "$work/long.csv" <<'PY' | median > "$work/python"
import csv, sys, time
import numpy as np
import vortel
values, n, original = {}, {}, {}
with open(sys.argv[1]) as f:
    for row in csv.DictReader(f):
        values.setdefault(row["treatment"], []).append(float(row["value"]))
        n[row["treatment"]], original[row["treatment"]] = int(row["n"]), float(row["original"])
values = {k: np.array(v) for k, v in values.items()}
for run in range(3):
    start = time.perf_counter()
    vortel.cartesian_test(values, n, original, parameter="r")
    print(time.perf_counter() - start)
PY

batch=$(cat "$work/batch")
printf '5 x B = 100,000, median of 3 runs (seconds; ratio to the batch command)\n'
printf '  vortel cartesian (whole program: reads the table, writes the report)  %.3f\n' "$batch"
for who in r python; do
  t=$(cat "$work/$who")
  printf '  %-6s cartesian_test() (the test alone)                            %.3f  %.2fx\n' \
    "$who" "$t" "$(echo "$t / $batch" | bc -l)"
done
