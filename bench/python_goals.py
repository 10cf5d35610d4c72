#!/usr/bin/python3
"""The Python module's speed goals, measured on this machine.

Usage: PYTHONPATH=build/python bench/python_goals.py [PATH-TO-cosmophase-export]

Prints, each with its goal:
- cosmophase.sweep over 400 values of q on one thread against the
  `cosmophase-export sweep` process for the same grid (goal: at most 1.1x);
- 200 calls of cosmophase.run() split over two Python threads against one
  thread (goal: at least 1.6x faster; needs two idle cores);
- `import cosmophase` in a fresh interpreter (goal: at most 50 ms), and
  numpy's import, which the module defers to its first array;
- sweep(..., reference=True) for 50 values of q against the scipy DOP853
  loop of bench/scipy_sweep.py for the same starts (goal: at least 10x
  faster; needs python3-scipy, else skipped).
Each figure is the least of several rounds, in processor time where one
thread is compared with one thread (less disturbed by other work on the
machine) and in wall time for the two threads; run on an idle machine.
"""

import os
import resource
import statistics
import subprocess
import sys
import threading
import time
from pathlib import Path

import cosmophase

HERE = Path(__file__).resolve().parent
EXPORT = sys.argv[1] if len(sys.argv) > 1 else str(HERE.parent / "build/tools/export/cosmophase-export")
GRID_400 = "0.999999999:0.999:400:log"
GRID_50 = "0.99999999:0.9999:50:log"


def best_time(action, rounds=5, clock=time.perf_counter):
    """The least of several rounds: what the work costs when nothing else
    on the machine gets in its way."""
    times = []
    for _ in range(rounds):
        began = clock()
        action()
        times.append(clock() - began)
    return min(times)


def cpu_time():
    """This process's processor time and that of its finished children."""
    own = resource.getrusage(resource.RUSAGE_SELF)
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    return own.ru_utime + own.ru_stime + children.ru_utime + children.ru_stime


def report(name, value, goal, unit="x"):
    print(f"{name}: {value:.3g}{unit} (goal: {goal})")


def sweep_against_export():
    module = best_time(lambda: cosmophase.sweep(GRID_400, threads=1), clock=cpu_time)
    process = best_time(lambda: subprocess.run([EXPORT, "sweep", "--q", GRID_400, "--threads", "1"],
                                               check=True, stdout=subprocess.DEVNULL), clock=cpu_time)
    report(f"sweep of 400 q, one thread: {1000 * module:.0f} ms against the export's {1000 * process:.0f} ms",
           module / process, "at most 1.1x")


def two_threads_against_one(calls=200):
    def runs(n):
        for _ in range(n):
            cosmophase.run()

    one = best_time(lambda: runs(calls))

    def split():
        workers = [threading.Thread(target=runs, args=(calls // 2,)) for _ in range(2)]
        for worker in workers:
            worker.start()
        for worker in workers:
            worker.join()

    two = best_time(split)
    report(f"{calls} runs: {1000 * one:.0f} ms on one thread, {1000 * two:.0f} ms on two", one / two,
           "at least 1.6x")


def import_time():
    def fresh(statement):
        code = f"import time; t = time.perf_counter(); {statement}; print(time.perf_counter() - t)"
        env = dict(os.environ, PYTHONPATH=os.path.dirname(cosmophase.__file__))
        return statistics.median(float(subprocess.run([sys.executable, "-c", code], check=True, env=env,
                                                      capture_output=True, text=True).stdout)
                                 for _ in range(10))
    report("import cosmophase", 1000 * fresh("import cosmophase"), "at most 50 ms", " ms")
    print(f"  (numpy, imported at the first array: {1000 * fresh('import numpy'):.0f} ms)")


def against_scipy():
    try:
        import numpy as np
        from scipy.integrate import solve_ivp
        sys.path.insert(0, str(HERE))
        from scipy_reference import K4_3, field, present_day, start_z4
    except ImportError as missing:
        print(f"scipy comparison skipped: {missing}")
        return
    target = 1.0 / (0.695436 * 10.0**-10)
    ours = cosmophase.sweep(GRID_50, reference=True, threads=1)
    starts = [cosmophase.run(q) for q in ours["q"]]

    def scipy_loop():
        worst = 0.0
        for k, run in enumerate(starts):
            time_init = run.time_years[0]

            def equality(t, x):
                return (time_init + np.exp(t)) / (x[2] + 2.0 / 3.0) - target
            equality.terminal = True
            equality.direction = 1
            solution = solve_ivp(field, (0.0, 60.0), [run.z2[0], start_z4(run.q), run.w0[0], run.w2[0]],
                                 method="DOP853", rtol=1e-13, atol=1e-22, events=equality)
            ez2, _, ew0, ew2 = solution.y_events[0][0]
            theirs = [time_init + np.exp(solution.t_events[0][0]), *present_day(ez2, ew0, ew2),
                      0.75 * (ez2 + K4_3)]
            mine = [ours["reference_" + c][k] for c in ("elapsed_years", "q0", "xi0", "density_ratio")]
            worst = max([worst] + [abs(a - b) / max(1.0, abs(b)) for a, b in zip(theirs, mine)])
        return worst

    worst = scipy_loop()
    scipy = best_time(scipy_loop, rounds=3, clock=cpu_time)
    module = best_time(lambda: cosmophase.sweep(GRID_50, reference=True, threads=1), clock=cpu_time)
    report(f"50 q with the reference: {1000 * module:.0f} ms against scipy's {1000 * scipy:.0f} ms "
           f"(largest difference {worst:.1e})", scipy / module, "at least 10x faster")


if __name__ == "__main__":
    print(f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    sweep_against_export()
    two_threads_against_one()
    import_time()
    against_scipy()
