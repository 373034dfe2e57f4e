#!/usr/bin/env bash
# Runs the batch commands with the native program and with the WebAssembly build under node, on
# random data sets, with the clock fixed, and compares every byte they write and print: reports,
# CSV tables, detail files, flow records and sort-and-count files, under every transformation.
# Prints one line per case; exits 1 when any case differs.
#   bash scripts/compare-builds.sh [SEED]
# NATIVE (a vortel) and WASM (the folder holding vortel-cli.js) name builds to use; otherwise the
# release build and scripts/build-wasm.sh's are built when missing.
set -uo pipefail
cd "$(dirname "$0")/.."
SRC=$PWD
SEED=${1:-1}
NATIVE=${NATIVE:-$SRC/build/release/vortel}
if [ ! -x "$NATIVE" ]; then
  cmake --preset release >/dev/null && cmake --build --preset release --target vortel >&2 || exit 2
fi
if [ -z "${WASM:-}" ]; then
  WASM=$(bash scripts/build-wasm.sh | tail -n 1) || exit 2
fi
NATIVE=$(realpath "$NATIVE"); WASM=$(realpath "$WASM")
[ -f "$WASM/vortel-cli.js" ] || { echo "no vortel-cli.js in $WASM" >&2; exit 2; }
command -v node >/dev/null || bash scripts/install-deps.sh nodejs >/dev/null || exit 2

W=$(mktemp -d); trap 'rm -rf "$W"' EXIT
mkdir -p $W/in
python3 - "$W/in" "$SEED" <<'PY'
import random, sys
d, seed = sys.argv[1], int(sys.argv[2])
rng = random.Random(seed)
def put(name, lines):
    with open(f"{d}/{name}", "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
def treatment(name, values, original):
    n = rng.randint(20, 60)
    return [name, "Bootstrap results", str(n), "Life table", str(len(values)), "r", str(n), repr(original)] + [repr(v) for v in values]
# Proportions (survival, say) for the arcsine and the logit: every value strictly inside (0, 1),
# some near either end; and general values, negative ones too, for no transformation.
for set_name, count, b, low, high in (("p", 4, 400, 0.2, 0.8), ("q", 6, 250, 0.02, 0.98), ("s", 5, 150, 0.3, 0.7)):
    for t in range(1, count + 1):
        m = low + (high - low) * rng.random()
        spread = 0.02 + 0.08 * rng.random()
        values = [min(1 - 1e-9, max(1e-9, rng.gauss(m, spread))) for _ in range(b)]
        put(f"{set_name}{t}.txt", treatment(f"{set_name.upper()}{t}", values, m))
for t in range(1, 6):
    m = rng.uniform(-5, 5)
    values = [rng.gauss(m, rng.uniform(0.5, 3)) for _ in range(rng.randint(200, 500))]
    put(f"g{t}.txt", treatment(f"G{t}", values, m))
# Sort-and-count: a general data file ended by -1 and a table with a column to sort.
put("general.txt", ["Project", "x", "length"] + [repr(rng.gauss(12, 4)) for _ in range(700)] + ["-1"])
put("columns.csv", ["A,B"] + [f"{rng.gauss(0, 1)!r},{rng.lognormvariate(0, 1)!r}" for _ in range(300)])
PY
p4="$W/in/p1.txt $W/in/p2.txt $W/in/p3.txt $W/in/p4.txt"
q6=""; for t in 1 2 3 4 5 6; do q6="$q6 $W/in/q$t.txt"; done
s5=""; for t in 1 2 3 4 5; do s5="$s5 $W/in/s$t.txt"; done
g5=""; for t in 1 2 3 4 5; do g5="$g5 $W/in/g$t.txt"; done
cases=()
for tr in none arcsine logit; do
  cases+=("cartesian --transform $tr --csv --flow-record $p4"
          "cartesian --transform $tr --reversed --csv$q6"
          "cartesian --transform $tr --csv --detail-differences$s5")
done
cases+=("cartesian --csv --flow-record$g5"
        "cartesian --reversed --csv --detail-differences$g5")
# The paper table in every format and the means figure: the core draws them in every build.
for tr in none arcsine logit; do
  cases+=("cartesian --transform $tr --paper-table $W/in/t.md --means-figure $W/in/m.svg$q6"
          "cartesian --transform $tr --paper-table $W/in/t.tex --means-style bars --means-width double --means-figure $W/in/m.svg$s5")
done
cases+=("cartesian --paper-table $W/in/t.html$g5" "cartesian --paper-table $W/in/t.csv$g5")
# The differences figure as SVG: the core draws it in every build.
for tr in none arcsine logit; do cases+=("cartesian --transform $tr --figure $W/in/f.svg$s5"); done
for dec in -1 0 2 5; do cases+=("sortcount --kind boot --decimals $dec $W/in/p1.txt"); done
cases+=("sortcount --kind results --decimals 3 $W/in/q2.txt"
        "sortcount $W/in/g3.txt"
        "sortcount --kind general --decimals 1 $W/in/general.txt"
        "sortcount --kind general --column B --decimals 4 $W/in/columns.csv")

fail=0
for c in "${cases[@]}"; do
  for side in native node; do
    rm -rf $W/$side; cp -r $W/in $W/$side
    cmd=${c//$W\/in/$W\/$side}
    if [ $side = native ]; then prog=$NATIVE; else prog="node $WASM/vortel-cli.js"; fi
    (cd $W/$side && SOURCE_DATE_EPOCH=1709802303 $prog $cmd > $W/$side.stdout 2> $W/$side.stderr)
    echo "rc=$?" >> $W/$side.stdout
    sed -i "s#$W/$side#DIR#g" $W/$side.stdout $W/$side.stderr
  done
  n=$(cd $W/node && find . -type f | wc -l)
  label=$(echo "$c" | sed "s#$W/in/##g" | cut -c1-120)
  if diff -r $W/native $W/node > $W/diff && cmp -s $W/native.stdout $W/node.stdout &&
     cmp -s $W/native.stderr $W/node.stderr; then
    echo "same ($n files, $(tail -1 $W/node.stdout)): $label"
  else
    echo "DIFFERENT: $label"
    head -6 $W/diff | cut -c1-150 | sed 's/^/    /'
    diff $W/native.stdout $W/node.stdout | head -4 | sed 's/^/    /'
    diff $W/native.stderr $W/node.stderr | head -4 | sed 's/^/    /'
    fail=1
  fi
done
exit $fail
