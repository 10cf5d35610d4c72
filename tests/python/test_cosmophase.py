"""The module against cosmophase-export: the same doubles, the same errors."""

import ast
import csv
import io
import os
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

import numpy as np
import pytest

import cosmophase

EXPORT = os.environ.get("COSMOPHASE_EXPORT",
                        str(Path(__file__).parents[2] / "build/tools/export/cosmophase-export"))


def export(*args):
    """The tool's CSV as {column: [text, ...]}."""
    text = subprocess.run([EXPORT, *args], check=True, capture_output=True, text=True).stdout
    rows = list(csv.reader(io.StringIO(text)))
    return {name: [row[i] for row in rows[1:]] for i, name in enumerate(rows[0])}


def export_error(*args):
    done = subprocess.run([EXPORT, *args], capture_output=True, text=True)
    assert done.returncode != 0
    return done.stderr


def assert_same(ours, texts):
    """Bit for bit; the CSV's empty cells are NaN."""
    theirs = np.array([float(t) if t else np.nan for t in texts])
    assert np.asarray(ours).dtype.kind in "fi"
    assert np.array_equal(np.asarray(ours, dtype=np.float64), theirs, equal_nan=True)


@pytest.mark.parametrize("q, T, reference", [
    (0.999999426, 9000, True), (0.99999, 1000, False), (1.3, 2147483647, False)])
def test_run_is_the_samples_export(q, T, reference):
    run = cosmophase.run(q, T, reference=reference)
    cli = export("samples", "--q", repr(q), "--T", str(T), *(["--reference"] if reference else []))
    assert run.status == "ok" and run.samples == len(cli["index"])
    for column, texts in cli.items():
        assert_same(getattr(run, column), texts)
    assert (run.reference_q0 is None) == (not reference)


def test_run_that_cannot_reach_the_present_day_keeps_its_status():
    run = cosmophase.run(1.3228756, reference=True)
    assert run.status == "budget" and run.samples == len(run.z2) > 0
    assert run.reference_z2 is None


@pytest.mark.parametrize("q", [0.999999426, 0.9999])
def test_accuracy_is_the_accuracy_export(q):
    cli = export("accuracy", "--q", repr(q))
    table = cosmophase.accuracy(q)
    assert list(table) == cli["quantity"]
    for field in ("run", "reference", "error", "correct_digits"):
        assert_same([table[name][field] for name in cli["quantity"]], cli[field])


@pytest.mark.parametrize("q, T, reference", [
    ("0.99999999:0.9999:6:log", "1000:9000:3", True),
    ([0.5, 1.4, 1.3228756, 0.999], 9000, False)])  # domain and budget rows
def test_sweep_is_the_sweep_export(q, T, reference):
    q_option = q if isinstance(q, str) else ",".join(map(repr, q))
    cli = export("sweep", "--q", q_option, "--T", str(T), "--threads", "2",
                 *(["--reference"] if reference else []))
    ours = cosmophase.sweep(q, T, threads=1, reference=reference)
    assert list(ours) == list(cli)
    assert list(ours.pop("status")) == cli.pop("status")
    for column, texts in cli.items():
        assert_same(ours[column], texts)


def test_solve_is_the_solve_export():
    cli = export("solve", "--age", "13.8e9")
    rows = cosmophase.solve(age=13.8e9)
    assert [row["integrator"] for row in rows] == cli.pop("integrator")
    for column, texts in cli.items():
        assert_same([row[column] for row in rows], texts)


@pytest.mark.parametrize("z2, w0", [(0.5, 0.5), (-1.0, 1e-3), (3.0, 0.0)])
def test_trace_is_the_trace_export(z2, w0):
    cli = export("trace", "--z2", repr(z2), "--w0", repr(w0))
    halves = cosmophase.trace(z2, w0)
    for name, half in halves.items():
        rows = [i for i, curve in enumerate(cli["curve"]) if curve == name]
        for axis in ("z2", "w0"):
            assert_same(half[axis], [cli[axis][i] for i in rows])


def test_curves_and_equilibria_are_their_exports():
    cli = export("curves")
    curves = cosmophase.curves()
    assert list(curves) == list(dict.fromkeys(cli["curve"]))
    flat = {axis: np.concatenate([c[axis] for c in curves.values()]) for axis in ("z2", "w0")}
    for axis in ("z2", "w0"):
        assert_same(flat[axis], cli[axis])
    cli = export("equilibria")
    for k, e in enumerate(cosmophase.equilibria()):
        assert e["type"] == cli["type"][k]
        values = [e["z2"], e["w0"], *[part for z in e["eigenvalues"] for part in (z.real, z.imag)]]
        columns = ["z2", "w0", "eigenvalue1_re", "eigenvalue1_im", "eigenvalue2_re", "eigenvalue2_im"]
        assert_same(values, [cli[c][k] for c in columns])


@pytest.mark.parametrize("call, cli_args", [
    (lambda: cosmophase.run(q=2), ["samples", "--q", "2"]),
    (lambda: cosmophase.run(q=float("nan")), ["samples", "--q", "nan"]),
    (lambda: cosmophase.accuracy(T=0), ["accuracy", "--T", "0"]),
    (lambda: cosmophase.run(T=10**30), ["samples", "--T", str(10**30)]),
    (lambda: cosmophase.run(q=10**400), ["samples", "--q", "1e400"]),
    (lambda: cosmophase.accuracy(1.3228756), ["accuracy", "--q", "1.3228756"]),
    (lambda: cosmophase.sweep("0.9:0.99:0"), ["sweep", "--q", "0.9:0.99:0"]),
    (lambda: cosmophase.sweep("1:2:3:log"), ["sweep", "--q", "1:2:3:log"]),
    (lambda: cosmophase.sweep(0.5, T="1:10:3"), ["sweep", "--T", "1:10:3"]),
    (lambda: cosmophase.sweep([0.5, float("inf")]), ["sweep", "--q", "0.5,inf"]),
    (lambda: cosmophase.sweep([]), ["sweep", "--q", ","]),
    (lambda: cosmophase.sweep(0.5, T=[9000, -1]), ["sweep", "--T", "9000,-1"]),
    (lambda: cosmophase.solve(q0=-0.55), ["solve", "--q0", "-0.55"]),
    (lambda: cosmophase.trace(float("nan"), 0), ["trace", "--z2", "nan", "--w0", "0"]),
])
def test_bad_values_raise_the_export_tools_message(call, cli_args):
    with pytest.raises(ValueError) as raised:
        call()
    reason = str(raised.value).split(": ", 1)[-1]
    assert "\n" not in str(raised.value)
    assert reason.split(", not ")[0] in export_error(*cli_args)


class RaisingNumber:
    def __float__(self):
        raise ZeroDivisionError

    __index__ = __float__


@pytest.mark.parametrize("call, error", [
    (lambda: cosmophase.run(q="0.5"), TypeError),
    (lambda: cosmophase.run(reference="yes"), TypeError),
    (lambda: cosmophase.run(q=RaisingNumber()), ZeroDivisionError),  # its own error, not ours
    (lambda: cosmophase.sweep(0.5, T=[RaisingNumber()]), ZeroDivisionError),
    (lambda: cosmophase.run(q=None), TypeError),
    (lambda: cosmophase.run(T=9000.0), TypeError),
    (lambda: cosmophase.sweep([0.5, "x"]), TypeError),
    (lambda: cosmophase.sweep(0.5, threads=2.0), TypeError),
    (lambda: cosmophase.sweep(0.5, threads=0), ValueError),
    (lambda: cosmophase.sweep(0.5, threads=10**40), ValueError),
    (lambda: cosmophase.solve(), ValueError),
    (lambda: cosmophase.solve(age=1e10, q0=0.4), ValueError),
])
def test_wrong_arguments_raise(call, error):
    with pytest.raises(error):
        call()


def test_numpy_values_are_accepted():
    grid = np.array([0.99999, 0.999999])
    ours = cosmophase.sweep(grid, T=np.array([9000], dtype=np.int32))
    assert np.array_equal(ours["q"], grid)
    assert np.array_equal(cosmophase.run(np.float64(0.99999), np.int64(1000)).z2, cosmophase.run(0.99999, 1000).z2)


def test_arrays_are_shared_not_copied_and_outlive_their_run():
    run = cosmophase.run()
    z2 = run.z2
    assert not z2.flags.owndata and not z2.flags.writeable
    expected = z2.copy()
    del run
    np.full(10**6, 7.0)  # reuse freed memory, if it had been freed
    assert np.array_equal(z2, expected)
    assert not cosmophase.sweep([0.999, 0.9999])["q0"].flags.owndata


def test_threads_change_nothing():
    grid = "0.9999999:0.999:24:log"
    one = cosmophase.sweep(grid, T=[1000, 9000], threads=1, reference=True)
    for threads in (2, 7):
        many = cosmophase.sweep(grid, T=[1000, 9000], threads=threads, reference=True)
        for column in one:
            assert np.array_equal(one[column], many[column], equal_nan=column != "status")
    qs = [1 - 10.0**-k for k in range(3, 9)]
    results = {}
    workers = [threading.Thread(target=lambda q=q: results.__setitem__(q, cosmophase.run(q, reference=True)))
               for q in qs]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    for q in qs:
        alone = cosmophase.run(q, reference=True)
        assert np.array_equal(results[q].q0, alone.q0) and np.array_equal(results[q].reference_q0, alone.reference_q0)


def test_other_python_threads_run_while_a_sweep_computes():
    worker = threading.Thread(target=lambda: cosmophase.sweep("0.999999999:0.999:300:log", threads=1))
    began = last = time.perf_counter()
    longest_pause = 0.0
    worker.start()
    while worker.is_alive():
        now = time.perf_counter()
        longest_pause = max(longest_pause, now - last)
        last = now
    # Holding the GIL would stop this loop for the whole sweep.
    assert longest_pause < 0.5 * (time.perf_counter() - began)


@pytest.mark.parametrize("threads", [1, 2])
def test_ctrl_c_stops_a_long_sweep_within_a_second(threads):
    child = subprocess.Popen(
        [sys.executable, "-c", f"import cosmophase; cosmophase.sweep('0.5:0.9999:1000000', threads={threads})"],
        stderr=subprocess.PIPE, text=True)
    # Wait until it is computing, by its processor time rather than a sleep.
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        with open(f"/proc/{child.pid}/stat") as stat:
            ticks = sum(map(int, stat.read().rsplit(")", 1)[1].split()[11:13]))
        if ticks >= 0.5 * os.sysconf("SC_CLK_TCK"):
            break
        time.sleep(0.01)
    child.send_signal(signal.SIGINT)
    sent = time.monotonic()
    try:
        _, stderr = child.communicate(timeout=5)
    finally:
        child.kill()
    assert time.monotonic() - sent < 1.0
    assert "KeyboardInterrupt" in stderr


def test_version_help_and_stubs_describe_the_module():
    version = subprocess.run([EXPORT, "--version"], check=True, capture_output=True, text=True).stdout
    assert version.split()[-1] == cosmophase.__version__
    public = {name for name in dir(cosmophase) if not name.startswith("_")}
    assert all(getattr(cosmophase, name).__doc__ for name in public)
    stubs = ast.parse((Path(cosmophase.__file__).parent / "cosmophase.pyi").read_text())
    stubbed = {node.name for node in stubs.body if isinstance(node, (ast.FunctionDef, ast.ClassDef))}
    assert public == stubbed
