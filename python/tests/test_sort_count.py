import math

import numpy as np
import pytest

import vortel
from conftest import read_long


def example_values():
    return np.asarray(read_long()["Tomato"]["values"])


def test_full_precision_sorts_counts_and_finds_the_percentiles():
    values = example_values()
    r = vortel.sort_count(values)
    n = len(values)
    np.testing.assert_array_equal(r.sorted, np.sort(values))
    # Each serial points back at the value it came from.
    np.testing.assert_array_equal(values[r.serials - 1], r.sorted)
    assert sorted(r.serials) == list(range(1, n + 1))
    assert r.mean == pytest.approx(values.mean(), rel=1e-14)
    distinct, counts = np.unique(values, return_counts=True)
    np.testing.assert_array_equal(r.class_values, distinct)
    np.testing.assert_array_equal(r.class_counts, counts)
    for p, serial in r.percentiles.items():
        rank = n * p / 100
        if rank == int(rank):
            assert values[serial - 1] == r.sorted[int(rank) - 1]
        else:
            assert serial is None


def test_decimals_round_the_sorted_copy_into_fewer_classes():
    values = example_values()
    r = vortel.sort_count(values, decimals=2)
    assert np.all(np.abs(r.sorted * 100 - np.round(r.sorted * 100)) < 1e-9)
    assert np.all(np.diff(r.sorted) >= 0)
    assert r.class_counts.sum() == len(values)
    assert len(r.class_values) < len(np.unique(values))
    assert r.mean == pytest.approx(values.mean(), rel=1e-14)  # of the values as given


@pytest.mark.parametrize(
    "values, decimals, message",
    [
        ([], -1, "There are no values to sort."),
        ([1.0, 2.0], 6, "Decimals are -1 (full precision) or 0 to 5, not 6."),
        ([1.0, 2.0], 1.5, "decimals must be a whole number"),
        ([1e308, 1e308], -1, "The values add up beyond the range of numbers."),
        ([1.0, math.inf], -1, "The values add up beyond the range of numbers."),
        ([[1.0, 2.0]], -1, "the values must be 1-D, not 2-D"),
        (["a", "b"], -1, "the values are not numbers"),
    ],
)
def test_refusals_name_the_value_or_limit(values, decimals, message):
    with pytest.raises(ValueError) as e:
        vortel.sort_count(values, decimals=decimals)
    assert message in str(e.value)
