#!/usr/bin/env python3
"""Judges the initial state OPM Flow gave the six-region deck, once per include family.

    six_regions.py PARAMS.csv DECK RUN_DIR [RUN_DIR...]

Each RUN_DIR holds TABLES.INC (what relperm tables wrote) and out/CASE.UNRST, out/CASE.SMSPEC,
out/CASE.UNSMRY (what Flow wrote). Standard library only: the CI machine has Flow but not
OPM's Python package, so the Eclipse binary files are read here.

For every cell the expected initial water and gas saturations are worked out twice, both from
the equilibrium of the deck (its EQUIL contacts, DENSITY, PVDO and PVTW):

  * from the include file's tables, inverting their Pc columns piecewise-linearly as Flow does:
    Flow must match these to TABLE_TOL, so a table Flow read otherwise than it was written (a
    column taken for another, a region's table given to the wrong SATNUM) shows;
  * from the parameter table itself (swl, and the simple J curve of a, b, poro_ref, perm_ref,
    drho, swirr), with no help from the include file: Flow must match these to within what
    the tables' linear interpolation between rows allows, so a table whose swl or Pc is not the
    parameters' shows even though Flow follows it faithfully.

Then per region: the oil in place of Flow's summary against both, and every family's cells and
region volumes against the first family's.
"""

import csv
import math
import os
import struct
import sys

G = 9.80665  # Flow's gravity, m/s2
# Flow writes saturations as 4-byte floats (7 significant digits) and solves its Pc
# inversion to 1e-10: a cell matches the table inversion to a few 1e-8.
TABLE_TOL = 1e-6
# The tables sample Pc every 0.01 of Sw at most and Flow interpolates linearly between rows.
# On a convex Pc the chord of a step h lies above the curve by at most h^2 max|Pc''| / 8, a
# saturation error of h^2 |Pc''| / (8 |Pc'|) = h^2 (1 - b) / (8 (Sw - swirr)) for the simple J:
# 6e-4 at worst in these regions (b = -1.5, swl - swirr = 0.05). Anything above 1e-3 is a
# curve that is not the parameters'.
CURVE_TOL = 1e-3
# Plateau cells (the oil zone above the transition, the gas cap, the aquifer) sit on a table
# end point that Flow stores as a 4-byte float: 0.35 comes back as 0.3499999940.
END_TOL = 1e-6
FAMILY_TOL = 1e-6

failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


# ---------------------------------------------------------------------------------------------
# Reading

def eclipse_records(path):
    """The (name, values) records of an unformatted big-endian Eclipse file."""
    with open(path, "rb") as f:
        data = f.read()
    records = []
    pos = 0
    formats = {"INTE": "i", "LOGI": "i", "REAL": "f", "DOUB": "d"}
    while pos < len(data):
        (head,) = struct.unpack(">i", data[pos:pos + 4])
        if head != 16:
            raise ValueError("%s: not an unformatted Eclipse file at byte %d" % (path, pos))
        name = data[pos + 4:pos + 12].decode().strip()
        (count,) = struct.unpack(">i", data[pos + 12:pos + 16])
        kind = data[pos + 16:pos + 20].decode()
        pos += 24
        values = []
        while len(values) < count:
            (size,) = struct.unpack(">i", data[pos:pos + 4])
            block = data[pos + 4:pos + 4 + size]
            pos += size + 8
            if kind == "CHAR":
                values += [block[i:i + 8].decode().strip() for i in range(0, size, 8)]
            elif kind in formats:
                width = struct.calcsize(formats[kind])
                values += struct.unpack(">%d%s" % (size // width, formats[kind]), block)
            else:
                raise ValueError("%s: record %s of type %s" % (path, name, kind))
        records.append((name, values))
    return records


def initial_saturations(unrst):
    """SWAT and SGAS of the first report (SEQNUM 0, the equilibrated state)."""
    arrays, seqnum = {}, None
    for name, values in eclipse_records(unrst):
        if name == "SEQNUM":
            if seqnum is not None:
                break
            seqnum = values[0]
        elif name in ("SWAT", "SGAS"):
            arrays[name] = list(values)
    if seqnum != 0 or "SWAT" not in arrays or "SGAS" not in arrays:
        raise ValueError("%s: no SWAT and SGAS at report 0" % unrst)
    return arrays["SWAT"], arrays["SGAS"]


def region_volumes(smspec, unsmry):
    """{(keyword, region): value} of the first summary step."""
    index = dict(eclipse_records(smspec))
    params = next(v for n, v in eclipse_records(unsmry) if n == "PARAMS")
    return {(k, n): p for k, n, p in zip(index["KEYWORDS"], index["NUMS"], params)}


DECK_KEYWORDS = ("DIMENS", "TOPS", "DX", "DY", "DZ", "PORO", "SATNUM", "FIPNUM", "DENSITY", "EQUIL", "PVDO", "PVTW")


def deck_keywords(path):
    """Keyword -> first record (a token list, N*value expanded) of the deck's keywords this
    check reads, each of which is one record ended by a slash."""
    keywords, current, tokens = {}, None, []
    with open(path) as f:
        for line in f:
            line = line.split("--")[0]
            words = line.split()
            if current is None:
                if words and words[0] in DECK_KEYWORDS:
                    current = words[0]
                    keywords.setdefault(current, [])
                    tokens = []
                continue
            for word in words:
                if word == "/":
                    keywords[current].append(tokens)
                    tokens = []
                    current = None
                    break
                if word.endswith("/"):
                    word = word[:-1]
                    tokens += expand(word)
                    keywords[current].append(tokens)
                    tokens = []
                    current = None
                    break
                tokens += expand(word)
    return keywords


def expand(word):
    if "*" in word:
        count, value = word.split("*")
        return [value or None] * int(count)
    return [word]


def table_keywords(path):
    """Keyword -> list of tables (lists of float rows) of an include file."""
    tables, current, rows = {}, None, []
    with open(path) as f:
        for line in f:
            text = line.split("--")[0].strip()
            if not text:
                continue
            if text[0].isalpha():
                current = text.split()[0]
                tables.setdefault(current, [])
                rows = []
                continue
            done = text.endswith("/")
            numbers = text.rstrip("/").split()
            if numbers:
                rows.append([float(x) for x in numbers])
            if done:
                if rows:
                    tables[current].append(rows)
                    rows = []
                else:
                    current = None
    return tables


def parameter_rows(path):
    regions = {}
    with open(path, newline="") as f:
        for row in csv.DictReader(f):
            row = {k.strip().lower(): v.strip() for k, v in row.items()}
            regions[int(row["satnum"])] = row
    return regions


# ---------------------------------------------------------------------------------------------
# Equilibrium

def invert_table(sats, pcs, target):
    """The saturation where a monotone piecewise-linear Pc reaches target, clamped to the
    table's end points: above the largest Pc the first (or last) row, below the smallest the
    other end. Pc may fall (water) or rise (gas) with saturation."""
    falling = pcs[0] >= pcs[-1]
    if not falling:
        sats, pcs = sats[::-1], pcs[::-1]
    if target >= pcs[0]:
        return sats[0]
    if target <= pcs[-1]:
        return sats[-1]
    for i in range(len(pcs) - 1):
        if pcs[i] >= target >= pcs[i + 1]:
            if pcs[i] == pcs[i + 1]:
                return sats[i]
            t = (pcs[i] - target) / (pcs[i] - pcs[i + 1])
            return sats[i] + t * (sats[i + 1] - sats[i])
    raise ValueError("Pc not monotone")


def water_from_table(sats, pcs, pcow, above_contact):
    # A table with one Pc throughout gives no saturation from Pc: Flow puts the first row above
    # the contact and the last below it.
    if max(pcs) == min(pcs):
        return sats[0] if above_contact else sats[-1]
    return invert_table(sats, pcs, pcow)


def gas_from_table(sats, pcs, above_contact):
    if max(pcs) == min(pcs):
        return sats[-1] if above_contact else sats[0]
    raise ValueError("gas-oil Pc in the tables: this check works out the gas cap by depth only")


def simple_j(row):
    """Pc(Sw) in bar of a parameter row's simple J, or None without one (a = 0)."""
    a, b = float(row["a"]), float(row["b"])
    if a == 0:
        return None
    swirr = float(row["swirr"])
    g = float(row["g"]) if row.get("g") else 9.81
    scale = a * math.sqrt(float(row["poro_ref"]) / float(row["perm_ref"])) * float(row["drho"]) * g / 1e5
    return swirr, b, scale


def water_from_parameters(row, pcow, above_contact):
    swl = float(row["swl"])
    j = simple_j(row)
    if j is None:
        return swl if above_contact else 1.0
    swirr, b, scale = j
    pc = lambda sw: scale * ((sw - swirr) / (1 - swirr)) ** b
    if pcow >= pc(swl):
        return swl
    if pcow <= pc(1.0):
        return 1.0
    return swirr + (1 - swirr) * (pcow / scale) ** (1 / b)


# ---------------------------------------------------------------------------------------------

def main():
    params_path, deck_path, runs = sys.argv[1], sys.argv[2], sys.argv[3:]
    params = parameter_rows(params_path)
    deck = deck_keywords(deck_path)
    nx, ny, nz = (int(x) for x in deck["DIMENS"][0][:3])
    n = nx * ny * nz
    tops = [float(x) for x in deck["TOPS"][0]]
    dz = [float(x) for x in deck["DZ"][0]]
    dx = [float(x) for x in deck["DX"][0]]
    dy = [float(x) for x in deck["DY"][0]]
    poro = [float(x) for x in deck["PORO"][0]]
    satnum = [int(x) for x in deck["SATNUM"][0]]
    fipnum = [int(x) for x in deck["FIPNUM"][0]]
    if satnum != fipnum or any(len(a) != n for a in (dz, dx, dy, poro, satnum)):
        raise SystemExit("six_regions.py: the deck's arrays do not cover its grid one to one")
    rho_o, rho_w, _ = (float(x) for x in deck["DENSITY"][0][:3])
    equil = deck["EQUIL"][0]
    # Reservoir densities: the oil's at the datum pressure, 1/Bo interpolated linearly in
    # pressure as Flow does (across the column 1/Bo moves by 3e-8, nothing); Bo is 1 within
    # 1e-6 in the deck, yet taken as 1 it shifts Pc by 2e-6 of itself, 6e-7 of Sw where Pc is
    # flat. The water has no compressibility in the deck, so one Bw holds everywhere.
    pvdo = [float(x) for x in deck["PVDO"][0]]
    pressures, inverse_bo = pvdo[0::3], [1 / b for b in pvdo[1::3]]
    datum_pressure = float(equil[1])
    for i in range(len(pressures) - 1):
        if pressures[i] <= datum_pressure <= pressures[i + 1]:
            t = (datum_pressure - pressures[i]) / (pressures[i + 1] - pressures[i])
            rho_o *= inverse_bo[i] + t * (inverse_bo[i + 1] - inverse_bo[i])
            break
    else:
        raise SystemExit("six_regions.py: the datum pressure is outside PVDO")
    pvtw = [float(x) for x in deck["PVTW"][0]]
    if pvtw[2] != 0:
        raise SystemExit("six_regions.py: the water must have no compressibility")
    rho_w /= pvtw[1]
    owc, pcow_owc, goc, pcgo_goc = float(equil[2]), float(equil[3]), float(equil[4]), float(equil[5])
    if pcow_owc != 0 or pcgo_goc != 0:
        raise SystemExit("six_regions.py: the contacts must have Pc 0")
    regions = sorted(set(satnum))
    if regions != sorted(params):
        raise SystemExit("six_regions.py: the deck's regions %s are not the parameter table's %s"
                         % (regions, sorted(params)))

    depth, pore_volume = [], []
    for c in range(n):
        column, layer = c % (nx * ny), c // (nx * ny)
        top = tops[column] + sum(dz[l * nx * ny + column] for l in range(layer))
        depth.append(top + dz[c] / 2)
        pore_volume.append(dx[c] * dy[c] * dz[c] * poro[c])
        if depth[c] in (owc, goc):
            raise SystemExit("six_regions.py: cell %d is centred on a contact" % (c + 1))
    pcow = [(rho_w - rho_o) * G * (owc - z) / 1e5 for z in depth]

    # From the parameters alone.
    by_params_sw = [water_from_parameters(params[satnum[c]], pcow[c], depth[c] < owc) for c in range(n)]
    by_params_sg = [1 - float(params[satnum[c]]["swl"]) if depth[c] < goc else 0.0 for c in range(n)]
    for c in range(n):
        if by_params_sw[c] + by_params_sg[c] > 1 + 1e-12:
            raise SystemExit("six_regions.py: the water transition of region %d reaches the gas cap;"
                             " the deck's contacts must keep them apart" % satnum[c])
    # Which zone each cell is in, by the parameters: the check needs cells of every kind in
    # every region, or it says nothing about that region's end points or curve.
    zone = []
    for c in range(n):
        swl = float(params[satnum[c]]["swl"])
        if depth[c] < goc:
            zone.append("gas cap")
        elif by_params_sw[c] == 1.0:
            zone.append("aquifer")
        elif by_params_sw[c] == swl:
            zone.append("oil zone")
        else:
            zone.append("transition")
    for r in regions:
        kinds = [zone[c] for c in range(n) if satnum[c] == r]
        need = {"gas cap": 1, "oil zone": 3, "aquifer": 1, "transition": 3 if simple_j(params[r]) else 0}
        for kind, least in need.items():
            if kinds.count(kind) < least:
                raise SystemExit("six_regions.py: region %d has %d cells of %s, the check needs %d"
                                 % (r, kinds.count(kind), kind, least))

    first = None
    for run in runs:
        name = os.path.basename(run.rstrip("/"))
        tables = table_keywords(os.path.join(run, "TABLES.INC"))
        if "SWOF" in tables:
            water = [([row[0] for row in t], [row[3] for row in t]) for t in tables["SWOF"]]
            gas = [([row[0] for row in t], [row[3] for row in t]) for t in tables["SGOF"]]
        else:
            water = [([row[0] for row in t], [row[2] for row in t]) for t in tables["SWFN"]]
            gas = [([row[0] for row in t], [row[2] for row in t]) for t in tables["SGFN"]]
        if len(water) != len(regions) or len(gas) != len(regions):
            fail("%s: %d water and %d gas tables for %d regions" % (name, len(water), len(gas), len(regions)))
            continue
        by_table_sw = [water_from_table(*water[satnum[c] - 1], pcow[c], depth[c] < owc) for c in range(n)]
        by_table_sg = [gas_from_table(*gas[satnum[c] - 1], depth[c] < goc) for c in range(n)]

        sw, sg = initial_saturations(os.path.join(run, "out", "CASE.UNRST"))
        volumes = region_volumes(os.path.join(run, "out", "CASE.SMSPEC"), os.path.join(run, "out", "CASE.UNSMRY"))
        print("%s: Flow's initial saturations against the tables and the parameters" % name)
        print("  region  swl    cells: gas cap/oil/transition/aquifer   max |dS| tables   max |dS| parameters"
              "   oil in place sm3 (Flow, tables, parameters)")
        for r in regions:
            cells = [c for c in range(n) if satnum[c] == r]
            swl = float(params[r]["swl"])
            worst_table = worst_params = 0.0
            for c in cells:
                where = "%s: region %d, %s cell at %.1f m" % (name, r, zone[c], depth[c])
                for what, got, by_table, by_params in (("Sw", sw[c], by_table_sw[c], by_params_sw[c]),
                                                        ("Sg", sg[c], by_table_sg[c], by_params_sg[c])):
                    off_table, off_params = abs(got - by_table), abs(got - by_params)
                    worst_table, worst_params = max(worst_table, off_table), max(worst_params, off_params)
                    if off_table > TABLE_TOL:
                        fail("%s: %s %.7f, the tables give %.7f" % (where, what, got, by_table))
                    tolerance = CURVE_TOL if zone[c] == "transition" and what == "Sw" else END_TOL
                    if off_params > tolerance:
                        fail("%s: %s %.7f, swl %g and the Pc parameters give %.7f (tolerance %g)"
                             % (where, what, got, swl, by_params, tolerance))
            oil_flow = volumes[("ROIP", r)]
            # Oil in place in sm3, Bo being 1 within 1e-6.
            oil_tables = sum(pore_volume[c] * (1 - by_table_sw[c] - by_table_sg[c]) for c in cells)
            oil_params = sum(pore_volume[c] * (1 - by_params_sw[c] - by_params_sg[c]) for c in cells)
            # The summary holds 4-byte floats and Bo is 1 within 1e-6: 1e-5 of the region's pore
            # volume for the tables; against the parameters add CURVE_TOL a transition cell.
            slack = 1e-5 * sum(pore_volume[c] for c in cells)
            if abs(oil_flow - oil_tables) > slack:
                fail("%s: region %d holds %.2f sm3 of oil, the tables give %.2f" % (name, r, oil_flow, oil_tables))
            curve_slack = slack + CURVE_TOL * sum(pore_volume[c] for c in cells if zone[c] == "transition")
            if abs(oil_flow - oil_params) > curve_slack:
                fail("%s: region %d holds %.2f sm3 of oil, the parameters give %.2f (tolerance %.2f)"
                     % (name, r, oil_flow, oil_params, curve_slack))
            print("  %6d  %-5g  %3d/%3d/%3d/%3d %26.1e %20.1e   %10.2f %10.2f %10.2f"
                  % (r, swl, *(sum(1 for c in cells if zone[c] == k) for k in ("gas cap", "oil zone", "transition", "aquifer")),
                     worst_table, worst_params, oil_flow, oil_tables, oil_params))

        if first is None:
            first = (name, sw, sg, volumes)
            continue
        first_name, sw1, sg1, volumes1 = first
        worst = max(max(abs(a - b) for a, b in zip(sw, sw1)), max(abs(a - b) for a, b in zip(sg, sg1)))
        print("%s against %s: saturations differ by %.1e at most" % (name, first_name, worst))
        for c in range(n):
            if abs(sw[c] - sw1[c]) > FAMILY_TOL or abs(sg[c] - sg1[c]) > FAMILY_TOL:
                fail("%s: region %d, cell at %.1f m: Sw %.7f Sg %.7f, %s gives Sw %.7f Sg %.7f"
                     % (name, satnum[c], depth[c], sw[c], sg[c], first_name, sw1[c], sg1[c]))
        for key in sorted(k for k in volumes if k[0] in ("ROIP", "RWIP", "RGIP")):
            a, b = volumes[key], volumes1.get(key)
            if b is None or abs(a - b) > FAMILY_TOL * max(abs(b), 1.0):
                fail("%s: %s of region %d is %s, %s gives %s" % (name, key[0], key[1], a, first_name, b))

    if failures:
        print("%d failures" % len(failures))
        return 1
    print("every region's initial state follows from its end points and capillary pressure")
    return 0


if __name__ == "__main__":
    sys.exit(main())
