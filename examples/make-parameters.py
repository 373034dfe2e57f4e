#!/usr/bin/env python3
"""Writes two more parameters of the five example treatments, as wide tables, so that one
table of several parameters (vortel paper-table) has tests to gather:

  treatments-lambda.csv   the finite rate of increase lambda = exp(r), from the very bootstrap
                          values of treatment-1.txt to treatment-5.txt
  treatments-R0.csv       the net reproductive rate R0, drawn on its own (B = 2000, seeded)

    python3 examples/make-parameters.py
"""
import csv
import math
import os
import random

B = 2000
# name, R0 from the original life table, bootstrap mean, bootstrap SE: tomato and pepper, and
# eggplant and cucumber, overlap, as they do in r.
R0 = [
    ("Tomato", 52.31, 52.05, 2.9),
    ("Pepper", 49.84, 50.12, 3.1),
    ("Eggplant", 41.22, 41.05, 2.6),
    ("Cucumber", 43.05, 42.88, 3.3),
    ("Cabbage", 30.47, 30.61, 2.2),
]


def read_treatment(path):
    # Fields one per line: name, a text, n, a text, B, parameter, n, original, the values.
    with open(path, newline="") as f:
        fields = [line.strip() for line in f.read().splitlines() if line.strip()]
    b = int(fields[4])
    return {"name": fields[0], "n": fields[6], "original": float(fields[7]),
            "values": [float(v) for v in fields[8:8 + b]]}


def write_wide(path, parameter, columns):
    # columns: (name, n, original text, value texts)
    with open(path, "w", newline="") as f:
        out = csv.writer(f, lineterminator="\r\n")
        out.writerow([""] + [c[0] for c in columns])
        out.writerow(["n"] + [c[1] for c in columns])
        out.writerow(["original"] + [c[2] for c in columns])
        out.writerow(["parameter"] + [parameter] * len(columns))
        for k in range(B):
            out.writerow([k + 1] + [c[3][k] for c in columns])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    treatments = [read_treatment(os.path.join(here, "treatment-%d.txt" % t)) for t in range(1, 6)]
    write_wide(os.path.join(here, "treatments-lambda.csv"), "lambda",
               [(t["name"], t["n"], "%.4f" % math.exp(t["original"]),
                 ["%.6f" % math.exp(v) for v in t["values"]]) for t in treatments])

    rng = random.Random(20240308)
    columns = []
    for (name, original, mean, se), t in zip(R0, treatments):
        values = ["%.3f" % (mean + se * rng.gauss(0.0, 1.0)) for _ in range(B)]
        columns.append((name, t["n"], "%.2f" % original, values))
    write_wide(os.path.join(here, "treatments-R0.csv"), "R0", columns)


if __name__ == "__main__":
    main()
