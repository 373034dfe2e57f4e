#!/bin/bash
# Runs the same batch commands with two builds of the program (say main's and a branch's), each in
# a fresh copy of the inputs with the clock fixed, and compares every file they write, and what
# they print, byte for byte: reports, detail files, CSV tables, flow records, figures and
# sort-and-count files. Exits 1 when any differs.
#   bash scripts/compare-outputs.sh OLD/vortel NEW/vortel
set -u
if [ $# -ne 2 ]; then
  echo "usage: $0 OLD-PROGRAM NEW-PROGRAM" >&2
  exit 2
fi
OLD=$(realpath "$1"); NEW=$(realpath "$2")
SRC=$(cd "$(dirname "$0")/.." && pwd)
W=$(mktemp -d); trap 'rm -rf "$W"' EXIT
mkdir -p $W/in
cp $SRC/examples/treatment-*.txt $SRC/examples/treatments-*.csv $W/in/
cp $SRC/tests/data/report/input-*.txt $W/in/
python3 - "$W/in" <<'PY'
import random, sys
random.seed(7)
for t in range(1, 21):
    m = 0.3 + 0.01 * t
    vals = [min(0.999, max(0.001, random.gauss(m, 0.03))) for _ in range(300 + 7 * t)]
    with open(f"{sys.argv[1]}/p{t}.txt", "w", newline="") as f:
        f.write("\r\n".join([f"P{t}", "x", "30", "y", str(len(vals)), "s", "30", repr(m)] + [repr(v) for v in vals]) + "\r\n")
# two pairs past the value lists (B = 2001 and 2002) for the exact path
for t, b in ((1, 2001), (2, 2002), (3, 2003)):
    vals = [random.gauss(0.2 + 0.002 * t, 0.01) for _ in range(b)]
    with open(f"{sys.argv[1]}/big{t}.txt", "w", newline="") as f:
        f.write("\r\n".join([f"Big{t}", "x", "40", "y", str(b), "r", "40", "0.2"] + [repr(v) for v in vals]) + "\r\n")
# refusals and odd lists: a bad number, a list that ends early, one closed early by -1, one
# longer than its B, a value outside the logit's domain, a table of semicolons, a table of one
# treatment, and a file named like a table's treatment; an earlier flow record to keep
d = sys.argv[1]
def put(name, lines):
    with open(f"{d}/{name}", "w", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")
head = lambda n, b: [n, "x", "20", "y", str(b), "r", "20", "0.5"]
put("bad.txt", head("Bad", 6) + ["0.5", "0.6", "zero", "0.4", "0.5", "0.6"])
put("short.txt", head("Short", 10) + ["0.5", "0.6", "0.4"])
put("closed.txt", head("Closed", 10) + ["0.5", "0.6", "0.4", "0.55", "-1"])
put("long.txt", head("Long", 4) + ["0.5", "0.6", "0.4", "0.45", "0.9", "0.1"])
put("one.txt", head("One", 4) + ["0.5", "0.6", "1.0", "0.45"])
put("semi.csv", [";A;B", "n;20;20", "original;0,5;0,4", "1;0,51;0,41", "2;0,52;0,39", "3;0,49;0,42"])
put("alone.csv", ["treatment,n,original,parameter,value", "A,20,0.2,r,0.2", "A,20,0.2,r,0.3"])
put("named.txt", head("A", 3) + ["0.5", "0.6", "0.4"])
put("_0_Flow.txt", ["an earlier flow record"])
put("general.txt", ["Project", "x", "days", "1", "4", "2", "5", "3", "4", "4", "6", "5", "5", "-1", "0"])
put("columns.csv", ["A,B", "1,2", "3,4", "5,6"])
PY
E=$W/in/treatment
P=$W/in/p
six=""; for t in 1 2 3 4 5 6; do six="$six $P$t.txt"; done
twelve=""; for t in $(seq 1 12); do twelve="$twelve $P$t.txt"; done
twenty=""; for t in $(seq 1 20); do twenty="$twenty $P$t.txt"; done
cases=(
 "cartesian $E-1.txt $E-2.txt $E-3.txt $E-4.txt $E-5.txt"
 "cartesian --csv --flow-record --detail-differences $E-1.txt $E-2.txt"
 "cartesian --reversed --csv $E-1.txt $E-2.txt $E-3.txt"
 "cartesian --csv $W/in/treatments-long.csv"
 "cartesian --csv $W/in/treatments-wide.csv"
 "cartesian --transform arcsine --csv --code Z$six"
 "cartesian --transform logit --reversed --csv$twenty"
 "cartesian --csv$twelve"
 "cartesian --csv --flow-record $W/in/big1.txt $W/in/big2.txt $W/in/big3.txt"
 "cartesian --csv $W/in/input-Low.txt $W/in/input-High.txt $W/in/input-Mid.txt"
 "cartesian --figure $W/in/fig.svg $E-1.txt $E-2.txt $E-3.txt"
 "cartesian --figure $W/in/fig.png $E-1.txt $E-2.txt"
 "cartesian $E-1.txt $W/in/bad.txt"
 "cartesian --flow-record $E-1.txt $W/in/short.txt"
 "cartesian --csv $W/in/closed.txt $W/in/long.txt $E-1.txt"
 "cartesian --transform logit $W/in/closed.txt $W/in/one.txt"
 "cartesian --csv --parameter B $W/in/semi.csv $W/in/closed.txt"
 "cartesian $W/in/alone.csv"
 "cartesian $W/in/semi.csv $W/in/named.txt"
 "cartesian $E-1.txt $W/in/missing.txt"
 "cartesian --code Q $E-1.txt $E-2.txt"
 "sortcount $E-1.txt"
 "sortcount --kind boot --decimals 3 $E-2.txt"
 "sortcount --kind general --serials --decimals 2.5 $W/in/general.txt"
 "sortcount --kind general $W/in/columns.csv"
 "sortcount --kind general --column B $W/in/columns.csv"
 "sortcount --kind general --column C $W/in/columns.csv"
 "sortcount $W/in/bad.txt"
 "sortcount --kind results --chart $W/in/c.png $E-3.txt"
 "sortcount --kind general --chart $W/in/c.png $W/in/general.txt"
)
fail=0
for k in "${!cases[@]}"; do
  c=${cases[$k]}
  for side in old new; do
    rm -rf $W/$side; cp -r $W/in $W/$side
    prog=$OLD; [ $side = new ] && prog=$NEW
    cmd=${c//$W\/in/$W\/$side}
    (cd $W/$side && SOURCE_DATE_EPOCH=1709802303 $prog $cmd > $W/$side.stdout 2> $W/$side.stderr); echo "rc=$?" >> $W/$side.stdout
    sed -i "s#$W/$side#DIR#g" $W/$side.stdout $W/$side.stderr
  done
  n=$(cd $W/new && find . -type f | sort | wc -l)
  if diff -r $W/old $W/new > /dev/null && cmp -s $W/old.stdout $W/new.stdout && cmp -s $W/old.stderr $W/new.stderr; then
    echo "same ($n files, $(tail -1 $W/new.stdout)): $c" | sed "s#$W/in/##g" | cut -c1-150
  else
    echo "DIFFERENT: $c"; diff -r $W/old $W/new | head -5; diff $W/old.stdout $W/new.stdout | head; fail=1
  fi
done
exit $fail
