import os
import signal
import threading
import time

import numpy as np
import pytest

import vortel


@pytest.mark.skipif(not hasattr(signal, "SIGINT") or os.name != "posix", reason="needs POSIX signals")
def test_ctrl_c_stops_a_test_at_a_million_values_within_half_a_second():
    rng = np.random.default_rng(2)
    values = {f"T{t}": rng.normal(t / 10, 0.05, 1_000_000) for t in range(1, 6)}
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(1.0, interrupt)
    started = time.monotonic()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        vortel.cartesian_test(values, n=30, original=0.3)
    caught = time.monotonic()
    timer.join()
    assert caught - started > 0.9, "the test ended before the interrupt"
    assert caught - sent[0] < 0.5
    # The package is still usable afterwards.
    assert len(vortel.cartesian_test({"A": [0.3, 0.2], "B": [0.1, 0.2]}, n=5, original=0.2).pairs) == 1
