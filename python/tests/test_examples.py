import dataclasses
import re

import numpy as np
import pytest

import vortel
from conftest import EXAMPLES, GOLDEN, GOLDEN_REPORT, golden_rows, read_long


def examples_test():
    long = read_long()
    return vortel.cartesian_test(
        {name: np.array(t["values"]) for name, t in long.items()},
        n={name: t["n"] for name, t in long.items()},
        original=[t["original"] for t in long.values()],
        parameter="r",
    )


def same_as_csv(row, golden):
    """Each field against the CSV's text: numbers read back exactly, flags as TRUE/FALSE."""
    for field in dataclasses.fields(row):
        header = "P_at_most_0.05" if field.name == "P_at_most_0_05" else field.name
        value, text = getattr(row, field.name), golden[header]
        if isinstance(value, bool):
            assert text == ("TRUE" if value else "FALSE"), header
        elif isinstance(value, (int, float)):
            assert value == float(text) and type(value) is (int if field.type == "int" else float), header
        else:
            assert value == text, header


def test_examples_give_the_desktops_tables_to_the_last_digit():
    result = examples_test()
    for rows, name in ((result.treatments, "treatments"), (result.pairs, "pairs")):
        golden = golden_rows(name)
        assert len(rows) == len(golden)
        for row, g in zip(rows, golden):
            same_as_csv(row, g)
    assert result.letters == {"Tomato": "a", "Pepper": "a", "Eggplant": "b", "Cucumber": "b", "Cabbage": "c"}
    assert result.df == (4.0, 231.0)
    assert result.sidak == result.pairs[0].sidak_alpha


def test_write_report_writes_the_desktops_bytes(tmp_path, fixed_clock):
    result = examples_test()
    files = result.write_report(tmp_path, csv=True)
    stem = GOLDEN_REPORT[: -len(".txt")]
    assert [f.split("/")[-1] for f in files] == [GOLDEN_REPORT, stem + " pairs.csv", stem + " treatments.csv"]
    for path, golden in zip(files, ("report.txt", "pairs.csv", "treatments.csv")):
        assert open(path, "rb").read() == (GOLDEN / f"examples-{golden}").read_bytes(), golden
    # A code names the report by it; the earlier report stays as it was.
    [coded] = result.write_report(str(tmp_path), code="K")
    assert re.search(r"-r_K [0-9]+\.txt$", coded)
    assert open(files[0], "rb").read() == (GOLDEN / "examples-report.txt").read_bytes()


def test_long_dataframe_gives_what_the_dict_gives():
    pd = pytest.importorskip("pandas")
    frame = pd.read_csv(EXAMPLES / "treatments-long.csv", float_precision="round_trip")
    from_frame = vortel.cartesian_test(frame)
    from_dict = examples_test()
    assert from_frame.treatments == from_dict.treatments
    assert from_frame.pairs == from_dict.pairs
    treatments, pairs = from_frame.to_pandas()
    assert list(pairs.columns) == list(golden_rows("pairs")[0])
    assert list(treatments["treatment"]) == [t.treatment for t in from_dict.treatments]
    assert pairs["P"].tolist() == [p.P for p in from_dict.pairs]


def test_transformations_and_order_run_through():
    rng = np.random.default_rng(3)
    values = {"A": rng.uniform(0.2, 0.4, 300), "B": rng.uniform(0.3, 0.5, 200)}
    plain = vortel.cartesian_test(values, n=20, original=[0.3, 0.4])
    assert [t.treatment for t in plain.treatments] == ["B", "A"]
    reversed_ = vortel.cartesian_test(values, n=20, original=[0.3, 0.4], transform="logit", reversed=True)
    assert [t.treatment for t in reversed_.treatments] == ["A", "B"]
    assert reversed_.pairs[0].C == 60000
