import csv
import os
import pathlib

import pytest

TREE = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = TREE / "examples"
GOLDEN = TREE / "tests" / "data" / "examples"
# The instant the desktop's report of the examples was written at, and the name it took.
GOLDEN_MOMENT = "1709802303"
GOLDEN_REPORT = "25A-Cartesian diff results-r_202437-953.txt"


def read_long(path=EXAMPLES / "treatments-long.csv"):
    """The long table as plain Python: per treatment (in order) its n, original and values."""
    out = {}
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            t = out.setdefault(row["treatment"], {"n": int(row["n"]), "original": float(row["original"]), "values": []})
            t["values"].append(float(row["value"]))
    return out


def golden_rows(name):
    with open(GOLDEN / f"examples-{name}.csv", newline="") as f:
        return list(csv.DictReader(f))


@pytest.fixture
def fixed_clock(monkeypatch):
    monkeypatch.setenv("SOURCE_DATE_EPOCH", GOLDEN_MOMENT)
