#!/usr/bin/python3
"""The default run's present day from an integrator that shares nothing with
the program's reference: mpmath's Taylor-series solver at 32 and at 40
significant digits, the event found by secant iteration. These are the values
tests/reference/KnownPresentDay.h holds. Needs python3-mpmath and
python3-scipy (not a test).

Usage: bench/mpmath_present_day.py [PATH-TO-cosmophase-export]

Prints each quantity at both precisions (they should agree to every digit
shown) and the reference's from `cosmophase-export accuracy`.
"""

import mpmath as mp

from scipy_reference import K4_3, accuracy, field, present_day

# The run's start at the default q and T in full extended precision
# (Simulation::initState(), printed to 25 digits): `samples` rounds it to
# double, which would move the present day by about 1e-16.
START = ("-2.551107450177170221650158e-06", "-2.947945128504692581214587e-06",
         "-2.551106473847042366287496e-07", "-2.891254133649595426887917e-07")
TIME_INIT = 0.009980237365819833936231298


def present_day_at(digits, target):
    mp.mp.dps = digits
    solution = mp.odefun(lambda t, x: [mp.mpf(v) for v in field(t, x)], 0, [mp.mpf(v) for v in START])
    # The run's rule: the equality value with the double 2/3 reaches the target.
    excess = lambda t: (TIME_INIT + mp.exp(t)) / (solution(t)[2] + 2.0 / 3.0) - target
    t = mp.findroot(excess, (mp.mpf("23.29"), mp.mpf("23.31")), solver="secant", tol=mp.mpf(10) ** (4 - digits))
    z2, _, w0, w2 = solution(t)
    q0, xi0 = present_day(z2, w0, w2)
    return {"model_time": t, "elapsed_years": TIME_INIT + mp.exp(t), "z2": z2, "w0": w0, "w2": w2,
            "q0": q0, "xi0": xi0, "density_ratio": 3 * (z2 + K4_3) / 4}


def main():
    ours = accuracy()
    target = ours["hubble_equality_target"]
    low, high = present_day_at(32, target), present_day_at(40, target)
    print(f"{'quantity':14} {'mpmath, 32 digits':>26} {'mpmath, 40 digits':>26} {'cosmophase reference':>24}")
    for row in ours["quantities"]:
        name = row["quantity"]
        print(f"{name:14} {mp.nstr(low[name], 22):>26} {mp.nstr(high[name], 22):>26} {row['reference']:24.17g}")


if __name__ == "__main__":
    main()
