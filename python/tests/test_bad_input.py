import math

import numpy as np
import pytest

import vortel


def two(a=(0.30, 0.31, 0.29), b=(0.20, 0.21, 0.22)):
    return {"A": list(a), "B": list(b)}


CASES = [
    (dict(values=two(a=(0.3, math.nan, 0.29))), 'Treatment "A": bootstrap value 2 is not a number'),
    (dict(values=two(b=(0.2, np.inf))), 'Bootstrap value 2 of treatment 1 ("B") is INF'),
    (dict(values=two(b=(0.2,))), 'B of treatment 2 ("B") is 1; a Cartesian paired test needs at least two values'),
    (dict(values={"A": [0.3, 0.2]}), "compares 2 to 20 treatments; the request has 1"),
    (dict(values={f"T{k}": [0.3, 0.2] for k in range(21)}), "the request has 21"),
    (dict(values={1: [0.3, 0.2], "1": [0.1, 0.2]}), 'Treatments 1 and 2 are both named "1"'),
    (dict(values=two(), n={"A": 10}), 'Treatment "B" has no n'),
    (dict(values=two(), n=[10, 7.5]), 'Treatment "B": n is 7.5'),
    (dict(values=two(), n=[10, 0]), 'Treatment "B": n is 0'),
    (dict(values=two(), original={"A": 0.3}), 'Treatment "B" has no original estimate'),
    (dict(values=two(a=(0.3, 1.2)), transform="arcsine"), 'Treatment "A": the value 1.2 has no arcsine'),
    (dict(values=two(b=(0.2, 0.0)), transform="logit"), 'Treatment "B": the value 0 has no logit'),
    (dict(values=two(), transform="log"), 'The transformation "log" is not one of'),
    (dict(values={"A": [[0.3, 0.2]], "B": [0.1, 0.2]}), 'Treatment "A": its values must be 1-D'),
]


@pytest.mark.parametrize("given,says", CASES, ids=[c[1][:40] for c in CASES])
def test_bad_input_raises_the_cores_message(given, says):
    given = {"n": 10, "original": 0.3, **given}
    with pytest.raises(ValueError) as raised:
        vortel.cartesian_test(**given)
    assert says in str(raised.value)

