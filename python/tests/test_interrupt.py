import os
import signal
import threading
import time

import numpy as np
import pytest

import vortel


def million_values():
    rng = np.random.default_rng(2)
    return {f"T{t}": rng.normal(t / 10, 0.05, 1_000_000) for t in range(1, 6)}


def interrupted_soon(run):
    """Runs run() with SIGINT sent to this process 0.3 s in, well before a test of five million
    values can end on a fast machine; the seconds from the signal to the KeyboardInterrupt."""
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(0.3, interrupt)
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            run()
        assert sent, "the test ended before the interrupt"
        return time.monotonic() - sent[0]
    finally:
        timer.cancel()
        timer.join()


posix = pytest.mark.skipif(os.name != "posix", reason="needs POSIX signals")


@posix
def test_ctrl_c_stops_a_test_at_a_million_values_within_half_a_second():
    values = million_values()
    assert interrupted_soon(lambda: vortel.cartesian_test(values, n=30, original=0.3)) < 0.5
    # The package is still usable afterwards.
    assert len(vortel.cartesian_test({"A": [0.3, 0.2], "B": [0.1, 0.2]}, n=5, original=0.2).pairs) == 1


@posix
def test_ctrl_c_in_write_report_leaves_no_file(tmp_path):
    # A result of the million values, made without running them (write_report runs them again).
    result = vortel.cartesian_test({"A": [0.3, 0.2], "B": [0.1, 0.2]}, n=5, original=0.2)
    values = million_values()
    result._given.update(names=list(values), values=list(values.values()), n=[30] * 5, original=[0.3] * 5)
    # The files are put back before the interrupt is raised, so the core's own stop is waited
    # for: well under a second on a quiet machine, but a machine busy with other builds stretches
    # it, and what this test holds to is that no file is left.
    assert interrupted_soon(lambda: result.write_report(tmp_path, csv=True)) < 5.0
    assert list(tmp_path.iterdir()) == []
