"""The Cartesian paired test of bootstrap results, with the numbers, report and CSV tables of
the VORTEL desktop program."""

from __future__ import annotations

import dataclasses
import math
import os
from dataclasses import dataclass
from typing import Any, Mapping

import numpy as np

from . import _core

__all__ = [
    "cartesian_test",
    "CartesianResult",
    "TreatmentRow",
    "PairRow",
    "sort_count",
    "SortCountResult",
]


@dataclass(frozen=True)
class TreatmentRow:
    """A treatment in report order: the treatments CSV table's row."""

    treatment: str
    original: float
    bootstrap_mean: float
    variance: float
    SE: float
    n: int
    B: int
    letters: str


@dataclass(frozen=True)
class PairRow:
    """A pair in report order, taken as treatment_a minus treatment_b: the pairs CSV table's
    row (its column P_at_most_0.05 is the field P_at_most_0_05)."""

    parameter: str
    treatment_a: str
    treatment_b: str
    B_a: int
    B_b: int
    C: float
    mean_difference: float
    variance: float
    SE: float
    t_lower: float
    t_upper: float
    percentile_lower: float
    percentile_upper: float
    insignificant: int
    significant: int
    P: float
    t_significant: bool
    percentile_significant: bool
    P_at_most_0_05: bool
    P_below_sidak: bool
    sidak_alpha: float


def _field(header: str) -> str:
    return header.replace(".", "_")


def _rows(kind, columns: Mapping[str, list]) -> list:
    names = list(columns)
    count = len(columns[names[0]]) if names else 0
    out = []
    for k in range(count):
        values = {_field(h): columns[h][k] for h in names}
        # Counts the core holds as reals, since they pass 2^31.
        for name in ("insignificant", "significant"):
            if name in values:
                values[name] = int(values[name])
        out.append(kind(**values))
    return out


class CartesianResult:
    """What a test found: .treatments and .pairs (lists of rows in report order), .F, .df
    (between, within), .sidak, .letters (name -> letters), .parameter."""

    def __init__(self, found: dict, given: dict):
        self.parameter: str = found["parameter"]
        self.treatments: list[TreatmentRow] = _rows(TreatmentRow, found["treatments"])
        self.pairs: list[PairRow] = _rows(PairRow, found["pairs"])
        self.F: float = found["F"]
        self.df: tuple[float, float] = tuple(found["df"])
        self.sidak: float = found["sidak"]
        self._given = given

    @property
    def letters(self) -> dict[str, str]:
        return {t.treatment: t.letters for t in self.treatments}

    def to_pandas(self):
        """(treatments, pairs) as pandas DataFrames, under the CSV tables' column names."""
        import pandas as pd

        def frame(kind, rows):
            columns = [f.name for f in dataclasses.fields(kind)]
            df = pd.DataFrame([dataclasses.astuple(r) for r in rows], columns=columns)
            return df.rename(columns={"P_at_most_0_05": "P_at_most_0.05"})

        return frame(TreatmentRow, self.treatments), frame(PairRow, self.pairs)

    def write_report(self, folder, code: str | None = None, csv: bool = False) -> list[str]:
        """Writes the report (and with csv=True its two CSV tables) into folder, with the
        desktop program's bytes and names; returns the paths, report first. The test runs
        again on the values it was given. SOURCE_DATE_EPOCH fixes the report's times."""
        folder = os.fspath(folder)
        if not os.path.isdir(folder):
            raise ValueError(f'there is no folder "{folder}"')
        found = _core.run(**self._given, folder=os.path.abspath(folder), code=code, csv=csv)
        return found["files"]

    def __repr__(self) -> str:
        lines = [
            f"Cartesian paired test of {self.parameter}: {len(self.treatments)} treatments, "
            f"{len(self.pairs)} pairs",
            f"F = {self.F:.6g} on {self.df[0]:g} and {self.df[1]:g} degrees of freedom; "
            f"Sidak level {self.sidak:.6g}",
        ]
        width = max(len(t.treatment) for t in self.treatments)
        for t in self.treatments:
            lines.append(
                f"  {t.treatment:<{width}}  mean {t.bootstrap_mean:<12.6g} SE {t.SE:<12.6g} "
                f"{t.letters}"
            )
        return "\n".join(lines)


def _per_treatment(given: Any, names: list[str], what: str) -> list[float]:
    if given is None:
        return [math.nan] * len(names)
    if isinstance(given, Mapping):
        return [_number(given.get(name), what, name) for name in names]
    if np.ndim(given) == 0:
        return [_number(given, what, None)] * len(names)
    given = list(given)
    if len(given) != len(names):
        raise ValueError(f"{what} has {len(given)} values for {len(names)} treatments")
    return [_number(v, what, name) for v, name in zip(given, names)]


def _number(v: Any, what: str, name: str | None) -> float:
    if v is None:
        return math.nan
    try:
        return float(v)
    except (TypeError, ValueError):
        whose = f' of treatment "{name}"' if name is not None else ""
        raise ValueError(f"{what}{whose} is {v!r}, not a number") from None


def _from_frame(frame) -> tuple[dict, dict, dict, str | None]:
    columns = {str(c).lower(): c for c in frame.columns}
    if "treatment" not in columns or "value" not in columns:
        raise ValueError("a long DataFrame needs the columns treatment and value")
    treatment = frame[columns["treatment"]].astype(str).to_numpy()
    value = frame[columns["value"]].to_numpy(dtype=float)
    names = list(dict.fromkeys(treatment))
    values = {name: value[treatment == name] for name in names}

    def first(column: str) -> dict:
        if column not in columns:
            return {}
        col = frame[columns[column]]
        out = {}
        for name in names:
            given = col[treatment == name].dropna()
            if len(given):
                out[name] = given.iloc[0]
        return out

    parameter = None
    if "parameter" in columns and len(frame):
        parameter = str(frame[columns["parameter"]].iloc[0])
    return values, first("n"), first("original"), parameter


def cartesian_test(
    values,
    n=None,
    original=None,
    parameter: str | None = None,
    transform: str = "none",
    reversed: bool = False,
) -> CartesianResult:
    """Runs the Cartesian paired test.

    values: a dict of treatment name -> 1-D array-like of bootstrap values (in entry order), or a
    pandas long DataFrame with columns treatment and value, and optionally n, original and
    parameter. n and original: a dict by name, a sequence in entry order or one number for all;
    taken from the DataFrame's columns when not given. parameter: the report's parameter name
    ("value" unless the DataFrame names one). transform: "none", "arcsine" or "logit".
    reversed: order the treatments by increasing means.

    Bad input raises ValueError with the core's message naming the treatment and value. Ctrl+C
    stops the test and raises KeyboardInterrupt.
    """
    if hasattr(values, "columns") and hasattr(values, "to_numpy"):
        values, frame_n, frame_original, frame_parameter = _from_frame(values)
        n = frame_n if n is None else n
        original = frame_original if original is None else original
        parameter = frame_parameter if parameter is None else parameter
    if not isinstance(values, Mapping):
        raise ValueError("values must be a dict of name -> values, or a long DataFrame")
    names = [str(k) for k in values]
    arrays = []
    for name, v in zip(names, values.values()):
        try:
            a = np.asarray(v, dtype=float)
        except (TypeError, ValueError):
            raise ValueError(f'Treatment "{name}": its values are not numbers') from None
        if a.ndim != 1:
            raise ValueError(f'Treatment "{name}": its values must be 1-D, not {a.ndim}-D')
        arrays.append(np.ascontiguousarray(a))
    given = dict(
        names=names,
        values=arrays,
        n=_per_treatment(n, names, "n"),
        original=_per_treatment(original, names, "original"),
        parameter="value" if parameter is None else str(parameter),
        transform=transform,
        reversed=bool(reversed),
    )
    found = _core.run(**given, folder=None, code=None, csv=False)
    return CartesianResult(found, given)


@dataclass(frozen=True)
class SortCountResult:
    """What the sort-and-count utility's three files hold, for values given in memory."""

    sorted: np.ndarray  # increasing; rounded to the decimals asked for
    serials: np.ndarray  # each sorted value's place among the values as given, from 1
    mean: float  # of the values as given
    # The serials at the ranks 2.5 %, 50 % and 97.5 % of n, where the rank falls exactly on a
    # place; None where it does not (as the percentile file leaves them out).
    percentiles: dict
    class_values: np.ndarray  # the classes of equal values, increasing
    class_counts: np.ndarray  # how many values each class holds


def sort_count(values: Any, decimals: int = -1) -> SortCountResult:
    """Sorts the values, finds the serials at the 2.5, 50 and 97.5 percentile ranks and counts
    the equal values into classes, as the desktop program's sort-and-count utility does.

    decimals: 0 to 5 rounds the sorted copy first; -1 (the default) keeps full precision.
    Raises ValueError, naming the value or limit, for what the utility refuses.
    """
    try:
        a = np.ascontiguousarray(np.asarray(values, dtype=float))
    except (TypeError, ValueError):
        raise ValueError("the values are not numbers") from None
    if a.ndim != 1:
        raise ValueError(f"the values must be 1-D, not {a.ndim}-D")
    if isinstance(decimals, bool) or int(decimals) != decimals:
        raise ValueError(f"decimals must be a whole number, not {decimals!r}")
    found = _core.sort_count(a, int(decimals))
    ranks = dict(zip((2.5, 50.0, 97.5), found["percentiles"]))
    return SortCountResult(
        sorted=np.asarray(found["sorted"], dtype=float),
        serials=np.asarray(found["serials"], dtype=np.int64),
        mean=found["mean"],
        percentiles={p: (s if s else None) for p, s in ranks.items()},
        class_values=np.asarray(found["class_values"], dtype=float),
        class_counts=np.asarray(found["class_counts"], dtype=np.int64),
    )
