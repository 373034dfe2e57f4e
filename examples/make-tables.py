#!/usr/bin/env python3
"""Writes the five example treatments (treatment-1.txt to treatment-5.txt) as the two kinds
of table vortel reads, with every value as the same text:

  treatments-long.csv   one row per bootstrap value: treatment, n, original, parameter, value
  treatments-wide.csv   one column per treatment; rows n, original and parameter, then the
                        bootstrap values

    python3 examples/make-tables.py
"""
import csv
import os


def read_treatment(path):
    # Fields one per line: name, a text, n, a text, B, parameter, n, original, the values.
    with open(path, newline="") as f:
        fields = [line.strip() for line in f.read().splitlines() if line.strip()]
    b = int(fields[4])
    return {"name": fields[0], "parameter": fields[5], "n": fields[6],
            "original": fields[7], "values": fields[8:8 + b]}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    treatments = [read_treatment(os.path.join(here, "treatment-%d.txt" % t)) for t in range(1, 6)]

    with open(os.path.join(here, "treatments-long.csv"), "w", newline="") as f:
        out = csv.writer(f, lineterminator="\r\n")
        out.writerow(["treatment", "n", "original", "parameter", "value"])
        for t in treatments:
            for v in t["values"]:
                out.writerow([t["name"], t["n"], t["original"], t["parameter"], v])

    with open(os.path.join(here, "treatments-wide.csv"), "w", newline="") as f:
        out = csv.writer(f, lineterminator="\r\n")
        out.writerow([""] + [t["name"] for t in treatments])
        for label in ("n", "original", "parameter"):
            out.writerow([label] + [t[label] for t in treatments])
        longest = max(len(t["values"]) for t in treatments)
        for k in range(longest):
            out.writerow([k + 1] + [t["values"][k] if k < len(t["values"]) else ""
                                    for t in treatments])


if __name__ == "__main__":
    main()
