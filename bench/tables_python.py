#!/usr/bin/python3
"""Time of relperm.tables() in the process on three regions of three phases at delta-s 0.01
with simple-J capillary pressure (the table bench/tables_bench times), from a pandas
DataFrame (its conversion included), from a list of dicts, and from a CSV file.

Run after a build: /usr/bin/python3 bench/tables_python.py (PYTHONPATH=DIR for another
build's module)
"""
import io
import os
import sys
import tempfile
import time
import timeit

import pandas as pd

# From the top of a clone the module is in build/python/, unless PYTHONPATH says otherwise.
sys.path.append(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "python"))
import relperm  # noqa: E402

THREE_REGIONS = (
    "SATNUM,comment,swirr,swl,swcr,sorw,sorg,sgcr,nw,now,ng,nog,krwend,krgend,kroend,"
    "a,b,poro_ref,perm_ref,drho\n"
    "1,sand,0.05,0.1,0.15,0.2,0.15,0.05,2,2.5,1.5,2,0.5,0.9,1,0.321,-1.283,0.25,1000,300\n"
    "2,shale,0.2,0.3,0.35,0.25,0.2,0.1,3,3,2.5,2.5,0.4,0.7,0.8,0.321,-1.283,0.18,300,300\n"
    "3,silt,0.1,0.2,0.2,0.2,0.2,0.05,2.5,2.5,2,2,0.45,0.8,0.9,0.321,-1.283,0.2,500,300\n"
)


def best_of(call, number, timer):
    """The best mean time of one call over five runs of `number` calls, in microseconds."""
    runs = timeit.Timer(call, timer=timer).repeat(number=number, repeat=5)
    return min(runs) / number * 1e6


def main():
    frame = pd.read_csv(io.StringIO(THREE_REGIONS))
    records = frame.to_dict("records")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "three.csv")
        with open(path, "w") as f:
            f.write(THREE_REGIONS)
        text = relperm.tables(frame, delta_s=0.01)
        cases = {
            "DataFrame, family 1": lambda: relperm.tables(frame, delta_s=0.01),
            "DataFrame, family 2": lambda: relperm.tables(frame, delta_s=0.01, family=2),
            "list of dicts, family 1": lambda: relperm.tables(records, delta_s=0.01),
            "CSV file, family 1": lambda: relperm.tables(path, delta_s=0.01),
        }
        print(f"relperm.tables(), 3 regions, delta-s 0.01: {len(text)} bytes, "
              f"{len(text.splitlines())} lines (Python {sys.version.split()[0]})")
        # The processor time is what the call costs; the elapsed time also holds whatever
        # else the machine runs meanwhile.
        print(f"  {'':26s} {'elapsed':>8s} {'processor':>10s}  (us per call)")
        for name, call in cases.items():
            elapsed = best_of(call, 200, time.perf_counter)
            processor = best_of(call, 200, time.process_time)
            print(f"  {name:26s} {elapsed:8.1f} {processor:10.1f}")


if __name__ == "__main__":
    main()
