#!/usr/bin/env python3
"""Compares the summaries of OPM Flow runs of one deck that differ only in the keyword family
of their saturation tables.

    compare_runs.py REFERENCE_RUN RUN [RUN...]

Each RUN is a folder holding Flow's summary files of CASE.DATA in out/, named for its tables
(original, family2, slgof): the folder names head the messages.

Tables converted exactly give Flow the same piecewise-linear kr functions, so every run must
report the reference's rates and pressures at every report step. Flow solves each step only
to its Newton tolerances, and other rows for the same function (a saturation differing in
the last bit, a row more on a straight segment) take it down another path of iterations and
time steps, so the runs agree closely rather than to the bit: on SPE1 the same SGOF with a
row added halfway along every segment moves the rates by up to 5e-5 of their scale, an
exact conversion by 6e-6, while one krog of SOF3 5% low moves the GOR by 1e-2. A difference
is measured against the vector's scale, its largest magnitude over the reference run, and
must stay within TOLERANCE of it: relative to each value instead, the water rate (a few
tenths of a barrel a day, zero for months) would be judged on noise, and against a fixed
number the pressures (thousands of psia) and the gas rates (a hundred thousand Mscf/d) could
not share one.

The reference run must also be the problem it stands for, or agreement proves little: gas
reaches the producer (its GOR rises well above the solution gas) and the producer falls to
its bottom hole pressure limit, so both gas-oil tables and the oil columns at high gas
saturation are in play.
"""

import os
import sys

try:
    from opm.io.ecl import ESmry
except ImportError:
    print("OPM's Python package (python3-opm-common) is not installed: run scripts/install-deps")
    sys.exit(1)

TOLERANCE = 1e-3
# What the comparison must cover; every other vector both runs hold is compared too.
VECTORS = ["FOPR", "FGPR", "FWPR", "FGOR", "FGIR", "FPR", "WBHP:PROD", "WBHP:INJ"]
# The producer's bottom hole pressure limit in SPE1.DATA (psia), and how far above the
# initial solution GOR (1.27 Mscf/stb) the field GOR must rise for gas to have broken through.
PRODUCER_BHP_LIMIT = 1000.0
BREAKTHROUGH_GOR_FACTOR = 3.0


def summary(run):
    path = os.path.join(run, "out", "CASE.SMSPEC")
    if not os.path.exists(path):
        print("FAIL: %s has no summary (%s)" % (name(run), path))
        sys.exit(1)
    return ESmry(path)


def name(run):
    return os.path.basename(os.path.normpath(run))


def at_report_steps(smry, key):
    return [float(v) for v in smry[key, True]]


def judge_reference(run, ref):
    problems = []
    gor = at_report_steps(ref, "FGOR")
    if max(gor) < BREAKTHROUGH_GOR_FACTOR * gor[0]:
        problems.append("gas never reaches the producer: FGOR %.4g at the first report step, "
                        "at most %.4g" % (gor[0], max(gor)))
    bhp = at_report_steps(ref, "WBHP:PROD")
    if min(bhp) > PRODUCER_BHP_LIMIT + 1:
        problems.append("the producer never reaches its bottom hole pressure limit: WBHP:PROD "
                        "at least %.5g psia" % min(bhp))
    for problem in problems:
        print("FAIL: %s: %s" % (name(run), problem))
    return not problems


def compare(reference, ref, run, other):
    failed = False
    times = at_report_steps(ref, "TIME")
    other_times = at_report_steps(other, "TIME")
    if len(times) != len(other_times) or any(abs(a - b) > 1e-6 for a, b in zip(times, other_times)):
        print("FAIL: %s reports at %d steps ending on day %g, %s at %d ending on day %g"
              % (name(reference), len(times), times[-1], name(run), len(other_times),
                 other_times[-1] if other_times else 0))
        return False
    keys = [k for k in ref.keys() if k not in ("TIME", "YEARS") and k in other]
    for key in VECTORS:
        if key not in keys:
            print("FAIL: %s or %s has no %s" % (name(reference), name(run), key))
            failed = True
    print("%s against %s, %d report steps (difference / largest |value| of the vector):"
          % (name(run), name(reference), len(times)))
    for key in sorted(keys, key=lambda k: (k not in VECTORS, k)):
        a = at_report_steps(ref, key)
        b = at_report_steps(other, key)
        scale = max(abs(v) for v in a)
        worst_step, worst = 0, 0.0
        for step, (x, y) in enumerate(zip(a, b)):
            if abs(x - y) > worst:
                worst_step, worst = step, abs(x - y)
        relative = worst / scale if scale > 0 else (0.0 if worst == 0 else float("inf"))
        print("  %-10s largest difference %.3g (%.2e of %.4g) at step %d, day %g"
              % (key, worst, relative, scale, worst_step + 1, times[worst_step]))
        if relative > TOLERANCE:
            print("FAIL: %s: %s at report step %d (day %g) is %.8g, %s gives %.8g: differs by "
                  "%.3g, %.2e of the vector's largest value %.6g, more than %g"
                  % (name(run), key, worst_step + 1, times[worst_step], b[worst_step],
                     name(reference), a[worst_step], worst, relative, scale, TOLERANCE))
            failed = True
    return not failed


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        sys.exit(2)
    reference, runs = sys.argv[1], sys.argv[2:]
    ref = summary(reference)
    ok = judge_reference(reference, ref)
    for run in runs:
        ok = compare(reference, ref, run, summary(run)) and ok
    if not ok:
        sys.exit(1)
    print("every run reports %s's rates and pressures within %g of each vector's scale"
          % (name(reference), TOLERANCE))


if __name__ == "__main__":
    main()
