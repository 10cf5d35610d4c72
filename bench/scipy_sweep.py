#!/usr/bin/python3
"""The loop a notebook user would write instead of `sweep --reference`:
scipy's solve_ivp with DOP853 at rtol 1e-13 and its own event location, for
50 values of q (1 - q from 1e-8 to 1e-4, log-spaced, T = 9000), from the same
starts. Needs python3-scipy (not a test).

Usage: bench/scipy_sweep.py [PATH-TO-cosmophase-export]

Prints the largest difference from the sweep's reference columns (relative
where a value exceeds 1, as the age and a large xi0 do, absolute below; goal:
at most 1e-9) and the time of the
50 solves alone. Time whole processes with, e.g.,
  hyperfine -N 'bench/scipy_sweep.py' \\
    'build/tools/export/cosmophase-export sweep --q 0.99999999:0.9999:50:log --reference --threads 1'
(the script also asks the export tool for each start, which hyperfine counts
against it; the solve time it prints leaves that out).
"""

import subprocess
import sys
import time

import numpy as np
from scipy.integrate import solve_ivp

from scipy_reference import EXPORT, K4_3, accuracy, field, present_day, start_z4

GRID = "0.99999999:0.9999:50:log"


def main():
    header, *sweep = subprocess.run([EXPORT, "sweep", "--q", GRID, "--reference", "--threads", "1"], check=True,
                                    capture_output=True, text=True).stdout.splitlines()
    reference = header.split(",").index("reference_elapsed_years")
    target = accuracy()["hubble_equality_target"]
    worst = 0.0
    solving = 0.0
    for row in sweep:
        fields = row.split(",")
        q = float(fields[0])
        ours = [float(v) for v in fields[reference:reference + 4]]
        first = subprocess.run([EXPORT, "samples", "--q", fields[0]], check=True, capture_output=True,
                               text=True).stdout.splitlines()[1].split(",")
        time_init, z2, w0, w2 = (float(first[i]) for i in (1, 2, 3, 4))

        def equality(t, x):
            return (time_init + np.exp(t)) / (x[2] + 2.0 / 3.0) - target
        equality.terminal = True
        equality.direction = 1

        began = time.perf_counter()
        solution = solve_ivp(field, (0.0, 60.0), [z2, start_z4(q), w0, w2], method="DOP853",
                             rtol=1e-13, atol=1e-22, events=equality)
        solving += time.perf_counter() - began
        t = solution.t_events[0][0]
        ez2, _, ew0, ew2 = solution.y_events[0][0]
        q0, xi0 = present_day(ez2, ew0, ew2)
        theirs = [time_init + np.exp(t), q0, xi0, 0.75 * (ez2 + K4_3)]
        # xi0 reaches thousands where the density ratio nears 0: relative there.
        worst = max([worst] + [abs(a - b) / max(1.0, abs(b)) for a, b in zip(theirs, ours)])
    print(f"{len(sweep)} values of q: largest difference {worst:.1e} (goal 1e-9); "
          f"the solves took {1000 * solving:.0f} ms")
    return 0 if worst <= 1e-9 else 1


if __name__ == "__main__":
    sys.exit(main())
