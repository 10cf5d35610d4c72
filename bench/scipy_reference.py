#!/usr/bin/python3
"""The reference a notebook user would compute instead: scipy's solve_ivp
with DOP853 at rtol 1e-13 and its own event location, from the run's start,
beside `cosmophase-export accuracy`. Needs python3-scipy (not a test).

Usage: bench/scipy_reference.py [PATH-TO-cosmophase-export]

Prints the present day both ways and their largest difference (relative for
the elapsed years, absolute for the rest; goal: at most 1e-9), and the time
the solve took. Time the whole script against the export with, e.g.,
  hyperfine -N bench/scipy_reference.py 'build/tools/export/cosmophase-export accuracy'
"""

import json
import subprocess
import sys
import time
from fractions import Fraction
from pathlib import Path

import numpy as np
from scipy.integrate import solve_ivp

EXPORT = sys.argv[1] if len(sys.argv) > 1 else str(
    Path(__file__).resolve().parent.parent / "build/tools/export/cosmophase-export")

f32 = lambda p, q: float(np.float32(p / q))  # the model's single-precision coefficients
K4_3, K2_27, K2_9, K1_18 = f32(4, 3), f32(2, 27), f32(2, 9), f32(1, 18)
K1_12, K1_3, K1_6, K4_9 = f32(1, 12), f32(1, 3), f32(1, 6), f32(4, 9)
K1_10, K1_24, K2_3 = f32(1, 10), f32(1, 24), f32(2, 3)
C6, C7, C8, C9, C10 = (float(np.float32(v)) for v in (3.6, 16.2, 1.8, 5.4, 8.1))


def field(_, x):
    """The model's right-hand sides, negated as the forward run has them."""
    z2, z4, w0, w2 = x
    dz2 = (z2 + K4_3) * (w0 * 3)
    a = (w2 * K4_3 + z2 * K2_27) - K1_18 * z2 * z2
    b = ((K4_3 - z2 * K2_9) + z4) - K1_12 * z2 * z2
    dz4 = ((z2 * w2) + a) * -5 - b * (w0 * 5)
    dw0 = w0 * w0 + (w0 * K1_3 + z2 * K1_6)
    c = (w0 * K4_9 + z4 * K1_10) - w2 * K1_3
    d = (K1_24 * z2 * z2 + c) - (z2 * K1_3) * w0
    dw2 = ((w0 * 4) * w2 + (d - K1_3 * w0 * w0)) - (0.25 * w0 * w0) * z2
    return [-dz2, -dz4, -dw0, -dw2]


def present_day(z2, w0, w2):
    A = (0.5 * w0**2 + K2_3 * w0) - K1_12 * z2
    B = (((0.5 * w0**3 + (w0**2 + K2_9 * w0)) + w2) - K1_18 * z2) - (K1_3 * z2) * w0
    F = 0.25 * (1 - (9 * A + 1) / (1.5 * w0 + 1) ** 2)
    N = (C10 * B) * w0 + (C9 * B + (C8 * w0 + ((1 - C6 * A) - C7 * A**2)))
    G = 0.625 * (1 - N / (1.5 * w0 + 1) ** 4)
    Q = 9 * w0 / ((3 * w0 + 2) * 2) + F
    K = (3 * w0 + (8 - 8 * F)) - (12 * F) * w0
    return Q + 0.25, (2 * Q + (3 * (K / (2 * (3 * w0 + 2) ** 2) - 1) + G)) - 0.125


def start_z4(q=0.999999426):
    """z4 is not sampled: from its closed form, exactly (the run's own is
    right to about ten digits; z4 enters the present day only through w2)."""
    q2 = Fraction(q) ** 2
    s = 4 * (2 - q2) / (7 - 4 * q2)
    r = (2 - q2) / 4
    u = 3 * q2 / 4
    v = (1 - q2) * 3 * q2 / 8 + Fraction(9, 16) * q2
    z2 = 3 * q2 * s * s / 4 - Fraction(4, 3)
    A = 2 * s**3 * (1 - s) * r * u + v * s**4 - Fraction(40, 27)
    w0 = s / 2 - Fraction(2, 3)
    return float(A + 3 * w0 * (z2 + Fraction(4, 3)) * s * r)


def accuracy():
    """`cosmophase-export accuracy --format json`: the reference's present day
    and the equality value the run stops at, taken from the program rather
    than copied here."""
    return json.loads(subprocess.run([EXPORT, "accuracy", "--format", "json"], check=True,
                                     capture_output=True, text=True).stdout)


def main():
    first = subprocess.run([EXPORT, "samples"], check=True, capture_output=True,
                           text=True).stdout.splitlines()[1].split(",")
    time_init, z2, w0, w2 = (float(first[i]) for i in (1, 2, 3, 4))
    ours = accuracy()
    target = ours["hubble_equality_target"]

    def equality(t, x):
        return (time_init + np.exp(t)) / (x[2] + 2.0 / 3.0) - target
    equality.terminal = True
    equality.direction = 1

    began = time.perf_counter()
    solution = solve_ivp(field, (0.0, 40.0), [z2, start_z4(), w0, w2], method="DOP853",
                         rtol=1e-13, atol=1e-22, events=equality)
    solve_ms = 1000 * (time.perf_counter() - began)
    t = solution.t_events[0][0]
    ez2, _, ew0, ew2 = solution.y_events[0][0]
    q0, xi0 = present_day(ez2, ew0, ew2)
    scipy = {"model_time": t, "elapsed_years": time_init + np.exp(t), "z2": ez2, "w0": ew0,
             "w2": ew2, "q0": q0, "xi0": xi0, "density_ratio": 0.75 * (ez2 + K4_3)}

    rows = ours["quantities"]
    worst = 0.0
    print(f"{'quantity':14} {'cosmophase reference':>24} {'scipy DOP853':>24} {'difference':>10}")
    for row in rows:
        name, ours = row["quantity"], row["reference"]
        difference = abs(scipy[name] - ours) / (abs(ours) if name == "elapsed_years" else 1)
        worst = max(worst, difference)
        print(f"{name:14} {ours:24.17g} {scipy[name]:24.17g} {difference:10.1e}")
    print(f"largest difference {worst:.1e} (goal 1e-9); solve_ivp took {solve_ms:.1f} ms, "
          f"{solution.nfev} evaluations")
    return 0 if worst <= 1e-9 else 1


if __name__ == "__main__":
    sys.exit(main())
