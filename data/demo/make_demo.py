#!/usr/bin/env python3
"""Writes the invented demo data sets of this folder (water-oil.csv, gas-oil.csv,
gas-water.csv, gas-condensate.csv) in the import layout of `relperm db import`.

The data are made up: each curve is a Corey power law with end points and exponents drawn
from ranges typical of published core tests, tabulated at irregular saturations and rounded
to the digits a laboratory report shows. A fixed seed makes the output the same on every
run, so the files in the repository can be compared with a fresh run.

    python3 data/demo/make_demo.py data/demo
"""

import random
import sys
from pathlib import Path

LOCATIONS = ["North America", "South America", "Africa", "Asia", "Europe", "Australia"]
LITHOLOGIES = ["Sandstone", "Limestone", "Dolomite", "Shale"]
METHODS = ["Steady State", "Unsteady State", "Cap. Pressure", "Centrifuge"]
WETTABILITIES = ["Water-Wet", "Intermediate (Mixed) Wet", "Oil-Wet"]

rng = random.Random(20240607)


def fmt(value, digits):
    """A value rounded to `digits` decimals, without trailing zeros (".25", "0", "12.5")."""
    text = f"{value:.{digits}f}".rstrip("0").rstrip(".")
    if text.startswith("0.") or text.startswith("-0."):
        text = text.replace("0.", ".", 1)
    return text or "0"


def saturations(count):
    """`count` increasing normalized saturations from 0 to 1 at irregular spacing."""
    steps = [rng.uniform(0.6, 1.4) for _ in range(count - 1)]
    total = sum(steps)
    values, acc = [0.0], 0.0
    for step in steps:
        acc += step
        values.append(acc / total)
    values[-1] = 1.0
    return [round(v, 4) for v in values]


def corey(s, end, exponent):
    return round(end * max(s, 0.0) ** exponent, 4)


def monotone(values, increasing):
    out = []
    for v in values:
        if out and (v < out[-1] if increasing else v > out[-1]):
            v = out[-1]
        out.append(v)
    return out


def rock():
    """Depth, porosity, k and kabs of a sample; about one in five has kabs different."""
    depth = rng.randrange(2500, 14500, 5)
    porosity = round(rng.uniform(0.08, 0.31), 3)
    k = round(10 ** rng.uniform(-0.3, 3.3), 1 if rng.random() < 0.7 else 2)
    k = max(k, 0.5)
    kabs = k if rng.random() < 0.8 else round(k * rng.uniform(1.1, 1.6), 1)
    return depth, porosity, k, kabs


def write(path, header, sets):
    lines = header[:]
    for comment, row, points in sets:
        lines.append("")
        lines.append(f"# {comment}")
        lines.append(",".join(["set"] + row))
        lines.extend(",".join(p) for p in points)
    Path(path).write_bytes(("\r\n".join(lines) + "\r\n").encode())


def cycle(items, n):
    return [items[i % len(items)] for i in range(n)]


def water_oil(count=40):
    sets, samples = [], []
    locations = cycle(LOCATIONS, count)
    lithologies = cycle(LITHOLOGIES, count)
    methods = cycle(METHODS, count)
    rng.shuffle(lithologies)
    rng.shuffle(methods)
    for i in range(count):
        wett = i % 3 + 1
        depth, porosity, k, kabs = rock()
        swc = round(rng.uniform(0.10, 0.35), 3)
        sorw = round(rng.uniform(0.15, 0.35), 3)
        if wett == 1:
            krw_end, nw, no = rng.uniform(0.04, 0.30), rng.uniform(2.5, 4.5), rng.uniform(1.5, 2.5)
        elif wett == 2:
            krw_end, nw, no = rng.uniform(0.25, 0.55), rng.uniform(2.0, 3.5), rng.uniform(2.0, 3.5)
        else:
            krw_end, nw, no = rng.uniform(0.50, 0.95), rng.uniform(1.5, 2.5), rng.uniform(3.0, 5.0)
        # A few water-wet samples are strongly water-wet: high Swc, very low krw end point.
        if wett == 1 and i % 6 == 0:
            swc, krw_end = round(rng.uniform(0.18, 0.30), 3), rng.uniform(0.03, 0.065)
        kro_end = 1.0 if kabs == k else round(k / kabs, 3)
        s = saturations(rng.randint(5, 20))
        krw = monotone([corey(x, krw_end, nw) for x in s], True)
        krow = monotone([corey(1 - x, kro_end, no) for x in s], False)
        name = f"OW-{i + 1:02d}"
        row = [WETTABILITIES[wett - 1], locations[i], lithologies[i], methods[i], str(depth),
               fmt(porosity, 3), fmt(k, 2), fmt(kabs, 2), fmt(swc, 3), fmt(sorw, 3)]
        points = [[fmt(x, 4), fmt(a, 4), fmt(b, 4)] for x, a, b in zip(s, krw, krow)]
        samples.append((name, row))
        sets.append((name, row, points))
    return sets, samples


def gas_oil(water_oil_samples, count=30):
    sets = []
    matched = water_oil_samples[::3][:12]  # the same sample as every third water-oil set
    for i in range(count):
        if i < len(matched):
            ow_name, ow = matched[i]
            location, lithology, method, depth, porosity, k, kabs, swc = ow[1:9]
            comment = f"OG-{i + 1:02d}, the same sample as {ow_name}"
        else:
            depth, porosity, k, kabs = rock()
            location, lithology = LOCATIONS[i % 6], LITHOLOGIES[(i + 3) % 4]
            method = METHODS[i % 4]
            depth, porosity, k, kabs = str(depth), fmt(porosity, 3), fmt(k, 2), fmt(kabs, 2)
            swc = fmt(rng.uniform(0.10, 0.35), 3)
            comment = f"OG-{i + 1:02d}"
        sgc = round(rng.uniform(0.02, 0.10), 3)
        sorg = round(rng.uniform(0.10, 0.30), 3)
        span = 1 - float(swc) - sorg - sgc
        krg_end, ng, nog = rng.uniform(0.35, 0.9), rng.uniform(1.5, 3.0), rng.uniform(2.0, 4.5)
        # Tabulated from the highest gas saturation down to Sgc, then a last row at Sg 0.
        s = list(reversed(saturations(rng.randint(5, 19))))
        krg = [corey(x, krg_end, ng) for x in s] + [0.0]
        krog = [corey(1 - x, 1.0, nog) for x in s] + [1.0]
        s = s + [round(-sgc / span, 4)]
        points = [[fmt(x, 4), fmt(a, 4), fmt(b, 4)] for x, a, b in zip(s, krg, krog)]
        row = [location, lithology, method, depth, porosity, k, kabs, swc, fmt(sgc, 3),
               fmt(sorg, 3)]
        sets.append((comment, row, points))
    return sets


def gas_liquid(prefix, count, with_depth, liquid_name):
    sets = []
    for i in range(count):
        depth, porosity, k, kabs = rock()
        swc = round(rng.uniform(0.12, 0.40), 3)
        sgc = round(rng.uniform(0.02, 0.12), 3)
        span = 1 - swc - sgc
        krg_end, ng, nl = rng.uniform(0.3, 0.9), rng.uniform(1.5, 3.0), rng.uniform(2.0, 4.0)
        s = saturations(rng.randint(5, 20))
        # Half the sets start with a row at Sg 0, below Sgc, as many laboratories report it.
        if i % 2 == 0:
            s = [round(-sgc / span, 4)] + s
        krg = monotone([corey(x, krg_end, ng) for x in s], True)
        krl = monotone([corey(1 - max(x, 0.0), 1.0, nl) for x in s], False)
        row = [LOCATIONS[i % 6], LITHOLOGIES[(i + 1) % 4], METHODS[(i + 2) % 4]]
        row += ([str(depth)] if with_depth else []) + [fmt(porosity, 3), fmt(k, 2), fmt(kabs, 2),
                                                     fmt(swc, 3), fmt(sgc, 3)]
        points = [[fmt(x, 4), fmt(a, 4), fmt(b, 4)] for x, a, b in zip(s, krg, krl)]
        sets.append((f"{prefix}-{i + 1:02d} ({liquid_name})", row, points))
    return sets


def main(folder):
    folder = Path(folder)
    note = "# Invented demonstration data, made by make_demo.py; see README.md."
    ow, samples = water_oil()
    write(folder / "water-oil.csv",
          [note, "# Water-Oil Data: a set row, then one row per point.",
           "# set,wettability,location,lithology,method,depth ft ss,porosity,k md,kabs md,Swc,Sorw",
           "# Sw norm,krw,krow"], ow)
    write(folder / "gas-oil.csv",
          [note, "# Gas-Oil Data: a set row, then one row per point.",
           "# set,location,lithology,method,depth ft ss,porosity,k md,kabs md,Swc,Sgc,Sorg",
           "# Sg norm,krg,krog"], gas_oil(samples))
    write(folder / "gas-water.csv",
          [note, "# Gas-Water Data: a set row, then one row per point.",
           "# set,location,lithology,method,depth ft ss,porosity,k md,kabs md,Swc,Sgc",
           "# Sg norm,krg,krw"], gas_liquid("GW", 12, True, "krw"))
    write(folder / "gas-condensate.csv",
          [note, "# Gas-Condensate Data: a set row, then one row per point.",
           "# set,location,lithology,method,porosity,k md,kabs md,Slc,Sgc",
           "# Sg norm,krg,krog"], gas_liquid("CG", 10, False, "krog"))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
