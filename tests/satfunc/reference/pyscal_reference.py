#!/usr/bin/env python3
"""Reference maker of simulator saturation tables from a pyscal-style parameter table.

Written from the written conventions in pyscal-conventions.md (and pyscal's published
formulas and examples) only, without looking at our C++ code or at pyscal's source, so
that the two can be compared.  Standard library only.

    python3 pyscal_reference.py PARAMS.csv [--family 1|2] [--slgof] [--delta-s H]
                                [--int-param-wo T] [--int-param-go T]

The include text goes to standard output; warnings go to standard error prefixed
"warning: "; a refused table gives "error: <reason>" on standard error and exit status 1.
"""

import argparse
import csv
import io
import math
import sys

EPS = 1e-8
NBIN = 100000
# The version printed in the "-- pyscal:" comment line; comments are informational only.
VERSION = "reference"


class RefError(Exception):
    """A table the conventions refuse."""


def warn(msg):
    print("warning: " + msg, file=sys.stderr)


# ---------------------------------------------------------------------------
# Numbers

def trunc0(x):
    return 0.0 if x < 1e-4 else x


def sbin(s):
    # Python's round() on a float rounds half to even on the exact double, as rint does.
    return round(s * NBIN)


def close(a, b):
    return abs(a - b) <= 1e-8 + 1e-5 * abs(b)


def rint(y):
    r = float(round(y))
    # rint keeps the sign of a zero result (rint(-0.3) is -0.0); round() returns int 0.
    return math.copysign(r, y) if r == 0.0 else r


def rd(x, d):
    s = 10.0 ** d
    return rint(x * s) / s


def hgrid(start, stop, h):
    """numpy.arange-like: count from the unadjusted step, values from the adjusted one."""
    n = math.ceil((stop - start) / h)
    if n <= 0:
        return []
    d = (start + h) - start
    return [start + i * d for i in range(n)]


def sort_dedupe(values):
    # sorted() is stable, so equal values keep their list order; within a bin the
    # first (smallest) value survives.
    out = []
    last = None
    for v in sorted(values):
        b = sbin(v)
        if last is not None and b == last:
            continue
        out.append(v)
        last = b
    return out


def snap(values, target):
    # First index of the smallest distance, as numpy.argmin picks.
    best = 0
    for i in range(1, len(values)):
        if abs(values[i] - target) < abs(values[best] - target):
            best = i
    values[best] = target


def pw(x, e):
    """x**e with numpy's float behaviour: NaN for a fractional power of a negative base."""
    if math.isnan(x):
        return math.nan
    if x < 0 and e != math.floor(e):
        return math.nan
    try:
        return x ** e
    except ZeroDivisionError:
        return math.inf
    except OverflowError:
        return math.inf


def interp(x, xp, fp, left, right):
    """Linear interpolation in ascending xp, with the given values outside."""
    if math.isnan(x):
        return math.nan
    if x < xp[0]:
        return left
    if x > xp[-1]:
        return right
    lo, hi = 0, len(xp) - 1
    while hi - lo > 1:
        mid = (lo + hi) // 2
        if xp[mid] <= x:
            lo = mid
        else:
            hi = mid
    if x == xp[hi]:
        return fp[hi]
    if xp[hi] == xp[lo]:
        return fp[lo]
    return fp[lo] + (fp[hi] - fp[lo]) * (x - xp[lo]) / (xp[hi] - xp[lo])


def crosspoint(x, y1, y2):
    """Linear zero of y1 - y2 along x, or -1 when they never cross."""
    d = [a - b for a, b in zip(y1, y2)]
    for i in range(len(d) - 1):
        if d[i] == 0.0:
            return x[i]
        if d[i] * d[i + 1] < 0:
            return x[i] - d[i] * (x[i + 1] - x[i]) / (d[i + 1] - d[i])
    if d and d[-1] == 0.0:
        return x[-1]
    return -1.0


def fmt_g(x):
    return "%g" % x


# ---------------------------------------------------------------------------
# Curve models

class Curve:
    """Corey (n) or LET (L, E, T) with its end-point value applied by the caller."""

    def __init__(self, kind, params, names):
        self.kind = kind
        self.params = params
        self.names = names

    def value(self, x, kend):
        if self.kind == "corey":
            return kend * pw(x, self.params[0])
        # LET: the end row is set exactly so rounding of x near 1 cannot leave it short.
        if not math.isnan(x) and close(x, 1.0):
            return kend
        L, E, T = self.params
        a = pw(x, L)
        b = pw(1.0 - x, T)
        den = a + E * b
        if math.isnan(den) or den == 0.0:
            return math.nan
        return kend * a / den

    def describe(self, what, tail):
        if self.kind == "corey":
            return "-- Corey %s, %s=%s, %s" % (what, self.names[0], fmt_g(self.params[0]), tail)
        L, E, T = self.params
        return "-- LET %s, %s=%s, %s=%s, %s=%s, %s" % (
            what, self.names[0], fmt_g(L), self.names[1], fmt_g(E), self.names[2], fmt_g(T), tail)


# ---------------------------------------------------------------------------
# Parameter table

RESERVED = ("SATNUM", "CASE", "TAG", "COMMENT")
CASE_ALIASES = {"low": "low", "pess": "low", "pessimistic": "low",
                "base": "base",
                "high": "high", "opt": "high", "optimistic": "high"}

WATER_SETS = (("nw",), ("lw", "ew", "tw"))
OILW_SETS = (("now",), ("low", "eow", "tow"), ("lo", "eo", "to"))
GAS_SETS = (("ng",), ("lg", "eg", "tg"))
OILG_SETS = (("nog",), ("log", "eog", "tog"))

PC_SETS = (
    ("simple_j", ("a", "b", "poro_ref", "perm_ref", "drho")),
    ("simple_j_petro", ("a_petro", "b_petro", "poro_ref", "perm_ref", "drho")),
    ("normalized_j", ("a", "b", "poro", "perm", "sigma_costau")),
    ("let_primary_drainage", ("lpow", "epow", "tpow", "ltow", "etow", "ttow", "pcowmax", "pcowt")),
    ("let_imbibition", ("lsow", "esow", "tsow", "lfow", "efow", "tfow", "pcowmax", "pcowmin", "pcowt")),
    ("skjaeveland", ("cw", "co", "aw", "ao")),
)


class Row:
    def __init__(self, satnum, case, tag, values, columns, lineno):
        self.satnum = satnum
        self.case = case
        self.tag = tag
        self.values = values      # lower-cased key -> non-empty stripped string
        self.columns = columns    # every parameter column of the table
        self.lineno = lineno

    def has(self, key):
        return key in self.values

    def num(self, key, default=None):
        if key not in self.values:
            return default
        text = self.values[key]
        try:
            return float(text)
        except ValueError:
            raise RefError("SATNUM %d: %s=%r is not a number" % (self.satnum, key, text))

    def curve_set(self, sets, label):
        """The first complete Corey or LET set (Corey is listed first, so it wins)."""
        for keys in sets:
            if all(self.has(k) for k in keys):
                names = keys
                kind = "corey" if len(keys) == 1 else "let"
                return Curve(kind, [self.num(k) for k in keys], names)
        return None


def read_table(path):
    try:
        with open(path, newline="", encoding="utf-8-sig") as f:
            text = f.read()
    except OSError as e:
        raise RefError("cannot read %s: %s" % (path, e.strerror))
    lines = list(csv.reader(io.StringIO(text), delimiter=","))
    lines = [(i + 1, r) for i, r in enumerate(lines) if any(c.strip() for c in r)]
    if not lines:
        raise RefError("%s: empty parameter table" % path)
    header = [c.strip() for c in lines[0][1]]
    if len(header) < 2:
        raise RefError("%s: the parameter table must be comma-separated with a SATNUM column "
                       "and parameter columns" % path)
    body = []
    for lineno, r in lines[1:]:
        if len(r) > len(header) and any(c.strip() for c in r[len(header):]):
            raise RefError("%s line %d: more cells than column names" % (path, lineno))
        cells = [c.strip() for c in r[:len(header)]] + [""] * max(0, len(header) - len(r))
        body.append((lineno, cells))
    names = []
    for h in header:
        names.append(h.upper() if h.upper() in RESERVED else h.lower())
    # Entirely empty columns are dropped, so they count as absent keys.
    keep = [j for j in range(len(names)) if any(cells[j] for _, cells in body)]
    seen = set()
    for j in keep:
        if names[j] == "":
            continue
        if names[j] in seen:
            raise RefError("%s: column %s given twice" % (path, names[j]))
        seen.add(names[j])
    if "SATNUM" not in seen:
        raise RefError("%s: no SATNUM column" % path)
    params = [names[j] for j in keep if names[j] and names[j] not in RESERVED]
    has_tag = "TAG" in seen
    has_comment = "COMMENT" in seen
    has_case = "CASE" in seen

    rows = []
    for lineno, cells in body:
        rec = {names[j]: cells[j] for j in keep if names[j]}
        sat_text = rec.get("SATNUM", "")
        if sat_text == "":
            raise RefError("%s line %d: SATNUM is empty" % (path, lineno))
        try:
            sat_f = float(sat_text)
        except ValueError:
            raise RefError("%s line %d: SATNUM %r is not an integer" % (path, lineno, sat_text))
        if sat_f != math.floor(sat_f) or not math.isfinite(sat_f):
            raise RefError("%s line %d: SATNUM %r is not an integer" % (path, lineno, sat_text))
        satnum = int(sat_f)
        case = None
        if has_case:
            ctext = rec.get("CASE", "").lower()
            if ctext not in CASE_ALIASES:
                raise RefError("%s line %d: CASE %r is not low/base/high (or pess/opt)"
                               % (path, lineno, rec.get("CASE", "")))
            case = CASE_ALIASES[ctext]
        if has_tag and has_comment:
            tag = "tag: %s; comment: %s" % (rec.get("TAG", ""), rec.get("COMMENT", ""))
        elif has_tag:
            tag = rec.get("TAG", "")
        elif has_comment:
            tag = rec.get("COMMENT", "")
        else:
            tag = ""
        values = {k: rec[k] for k in params if rec.get(k, "") != ""}
        rows.append(Row(satnum, case, "SATNUM %d %s" % (satnum, tag), values, set(params), lineno))

    sats = sorted(set(r.satnum for r in rows))
    if sats[0] < 1:
        raise RefError("SATNUM must start at 1, found %d" % sats[0])
    if sats[-1] != len(sats):
        missing = sorted(set(range(1, sats[-1] + 1)) - set(sats))
        raise RefError("SATNUM values must run from 1 without gaps: the largest is %d but "
                       "there are %d distinct values (missing %s)"
                       % (sats[-1], len(sats), ", ".join(str(m) for m in missing)))
    rows.sort(key=lambda r: r.satnum)
    if has_case:
        for s in sats:
            cases = sorted(r.case for r in rows if r.satnum == s)
            if cases != ["base", "high", "low"]:
                raise RefError("SATNUM %d needs exactly one low, one base and one high row, has %s"
                               % (s, ", ".join(cases) if cases else "none"))
        if set(r.case for r in rows) != {"low", "base", "high"}:
            raise RefError("CASE must use exactly low, base and high")
    else:
        for s in sats:
            n = sum(1 for r in rows if r.satnum == s)
            if n != 1:
                raise RefError("SATNUM %d has %d rows; one row per SATNUM without a CASE column"
                               % (s, n))
    return rows, has_case, params


def row_halves(row):
    water = row.curve_set(WATER_SETS, "water") is not None
    oilw = row.curve_set(OILW_SETS, "oil") is not None
    gas = row.curve_set(GAS_SETS, "gas") is not None
    oilg = row.curve_set(OILG_SETS, "oil") is not None
    return water and oilw, gas and oilg, water and gas


def decide_type(rows, has_case):
    if has_case:
        halves = [row_halves(r) for r in rows]
        if all(h[0] for h in halves) or all(h[1] for h in halves):
            return "WaterOilGas"
        if all(h[2] for h in halves):
            return "GasWater"
        raise RefError("the cases are neither all water-oil/gas-oil nor all gas-water")
    wo, go, gw = row_halves(rows[0])
    if wo and go:
        kind = "WaterOilGas"
    elif wo:
        kind = "WaterOil"
    elif go:
        kind = "GasOil"
    elif gw:
        kind = "GasWater"
    else:
        raise RefError("SATNUM %d: no complete set of curve parameters (a Corey exponent or "
                       "all three LET parameters for each phase)" % rows[0].satnum)
    for r in rows[1:]:
        rwo, rgo, rgw = row_halves(r)
        ok = {"WaterOilGas": rwo and rgo, "WaterOil": rwo, "GasOil": rgo, "GasWater": rgw}[kind]
        if not ok:
            raise RefError("SATNUM %d: curve parameters incomplete for %s (missing exponent?)"
                           % (r.satnum, kind))
    return kind


# ---------------------------------------------------------------------------
# Water-oil

class WaterOil:
    """Saturation end points, rows and curves of a water-oil table."""

    def __init__(self, swirr, swl, swcr, sorw, socr, h, tag, socr_given, gaswater=False):
        self.tag = tag
        self.gaswater = gaswater
        if swirr < 0:
            warn("negative swirr %g" % swirr)
        swl = max(swl, swirr)
        if 0 < sorw < 1e-4:
            warn("sorw %g truncated to 0" % sorw)
        sorw = trunc0(sorw)
        if swl < swcr < swl + 1e-5 + EPS:
            swcr = swl
        swcr = max(swcr, swl)
        if socr_given:
            if 0 < socr < 1e-4:
                warn("socr %g truncated to 0" % socr)
            socr = trunc0(socr)
            if socr < sorw - EPS:
                raise RefError("socr=%g is below sorw=%g" % (socr, sorw))
            if sorw - EPS < socr < sorw + 1e-5 + EPS:
                if socr != sorw:
                    warn("socr snapped to sorw")
                socr = sorw
        else:
            socr = sorw
        if h < 1e-4:
            warn("h %g raised to 1e-4" % h)
            h = 1e-4
        for name, v in (("swl", swl), ("swcr", swcr), ("sorw", sorw), ("socr", socr)):
            if not (-EPS <= v <= 1 + EPS):
                raise RefError("%s=%g outside [0, 1]" % (name, v))
        if not (-1 - EPS < swirr < 1 + EPS):
            raise RefError("swirr=%g outside (-1, 1)" % swirr)
        # Refused already at equality: swl = 1 - sorw leaves no mobile water range at all.
        for name, v in (("swl", swl), ("swcr", swcr), ("swirr", swirr)):
            if not v < 1 - sorw:
                raise RefError("%s=%g must be below 1 - sorw = %g" % (name, v, 1 - sorw))
        self.swirr, self.swl, self.swcr, self.sorw, self.socr, self.h = swirr, swl, swcr, sorw, socr, h

        pts = hgrid(swl, 1.0, h) + [swcr, 1 - sorw, 1 - socr, 1.0]
        sw = sort_dedupe(pts)
        snap(sw, 1 - sorw)
        snap(sw, 1 - socr)
        snap(sw, swcr)
        if not close(max(sw), 1.0):
            sw.append(1.0)
        self.sw = sw
        n = len(sw)
        self.krw = [0.0] * n
        self.krow = [0.0] * n
        self.pc = [0.0] * n
        self.krw_line = "-- No krw"
        self.krow_line = "-- No krow"
        self.pc_lines = ["-- Zero capillary pressure"]

    def swn(self, s):
        return (s - self.swcr) / ((1 - self.swcr) - self.sorw)

    def son(self, s):
        return ((1 - s) - self.socr) / ((1 - self.swl) - self.socr)

    def krw_end_rules(self, krwend, krwmax):
        sw, krw = self.sw, self.krw
        section = [i for i, s in enumerate(sw) if s > 1 - self.sorw - EPS]
        if len(section) >= 2:
            first, last = section[0], section[-1]
            krw[first] = krwend
            krw[last] = krwmax
            for i in section[1:-1]:
                krw[i] = krwend + (krwmax - krwend) * (sw[i] - sw[first]) / (sw[last] - sw[first])
        elif len(section) == 1:
            krw[section[0]] = krwend
        for i, s in enumerate(sw):
            if s < self.swcr:
                krw[i] = 0.0

    def krow_end_rules(self, kroend):
        sw, krow = self.sw, self.krow
        for i, s in enumerate(sw):
            if s >= 1 - self.sorw or s > 1 - self.socr - EPS:
                krow[i] = 0.0
            krow[i] = min(krow[i], kroend)

    def add_water(self, curve, krwend, krwmax):
        check_exponents(curve, "water")
        if not (0 < krwend <= krwmax <= 1):
            raise RefError("need 0 < krwend (%g) <= krwmax (%g) <= 1" % (krwend, krwmax))
        self.krw = [curve.value(self.swn(s), krwend) for s in self.sw]
        self.krw_end_rules(krwend, krwmax)
        if self.sorw == 0 and krwmax != krwend:
            warn("krwmax ignored as sorw = 0")
        self.krwend, self.krwmax = krwend, krwmax
        self.krw_line = curve.describe("krw", "krwend=%s, krwmax=%s" % (fmt_g(krwend), fmt_g(krwmax)))

    def add_oil(self, curve, kroend):
        check_exponents(curve, "oil")
        if not (0 < kroend <= 1):
            raise RefError("need 0 < kroend (%g) <= 1" % kroend)
        self.krow = [curve.value(self.son(s), kroend) for s in self.sw]
        self.krow_end_rules(kroend)
        self.kroend = kroend
        self.krow_line = curve.describe("krow", "kroend=%s" % fmt_g(kroend))

    def add_pc(self, row):
        model = None
        for name, keys in PC_SETS:
            if all(row.has(k) for k in keys):
                model = name
                break
        if model is None:
            return
        self.pc, self.pc_lines = water_pc(self, row, model)
        for v in self.pc:
            if math.isnan(v) or math.isinf(v):
                raise RefError("SATNUM %d: capillary pressure is not finite (%s)"
                               % (row.satnum, model))

    def endpoint_line(self):
        word = "sgrw" if self.gaswater else "sorw"
        line = "-- swirr=%s swl=%s swcr=%s %s=%s" % (
            fmt_g(self.swirr), fmt_g(self.swl), fmt_g(self.swcr), word, fmt_g(self.sorw))
        if self.socr > self.sorw and not self.gaswater:
            line += " socr=%s" % fmt_g(self.socr)
        return line

    def check(self):
        r10 = lambda v: [rd(x, 10) for x in v]
        steps = lambda v: [rd(v[i] - v[i - 1], 10) for i in range(1, len(v))]
        cols = [("SW", self.sw), ("KRW", self.krw)]
        if not self.gaswater:
            cols.append(("KROW", self.krow))
        for name, col in cols + [("PC", self.pc)]:
            if any(math.isnan(x) or math.isinf(x) for x in col):
                raise RefError("%s: %s has values that are not finite" % (self.tag, name))
        sw, krw, krow, pc = r10(self.sw), r10(self.krw), r10(self.krow), r10(self.pc)
        if any(d <= -EPS for d in steps(sw)):
            raise RefError("%s: SW not increasing" % self.tag)
        if any(d < -EPS for d in steps(krw)):
            raise RefError("%s: KRW not increasing" % self.tag)
        if not self.gaswater and any(d > EPS for d in steps(krow)):
            raise RefError("%s: KROW not decreasing" % self.tag)
        if pc[0] > -EPS and any(d >= EPS for d in steps(pc)):
            raise RefError("%s: PC not decreasing" % self.tag)
        for name, col in cols:
            for x in r10(col):
                if not (-EPS <= x <= 1 + EPS):
                    raise RefError("%s: %s outside [0, 1]" % (self.tag, name))


def check_exponents(curve, phase):
    if curve.kind == "corey":
        n = curve.params[0]
        lo = 1e-7 if curve.names[0] == "nw" else EPS
        if not (lo < n < 100):
            raise RefError("%s=%g outside (%g, 100)" % (curve.names[0], n, lo))
    else:
        for name, v in zip(curve.names, curve.params):
            if not (EPS < v < 100):
                raise RefError("%s=%g outside (1e-8, 100)" % (name, v))


# ---------------------------------------------------------------------------
# Capillary pressure on the water table

def water_pc(wo, row, model):
    sw = wo.sw
    swirr = wo.swirr
    swnpc = [(s - swirr) / (1 - swirr) for s in sw]
    g = row.num("g", 9.81)
    if model in ("simple_j", "simple_j_petro"):
        poro_ref = row.num("poro_ref")
        perm_ref = row.num("perm_ref")
        drho = row.num("drho")
        if model == "simple_j":
            a, b = row.num("a"), row.num("b")
            label = "-- Simplified J function for Pc;"
            detail = "--   a=%s, b=%s, poro_ref=%s, perm_ref=%s mD, drho=%s kg/m3, g=%s m/s2" % (
                fmt_g(a), fmt_g(b), fmt_g(poro_ref), fmt_g(perm_ref), fmt_g(drho), fmt_g(g))
        else:
            ap, bp = row.num("a_petro"), row.num("b_petro")
            if bp > 0:
                raise RefError("SATNUM %d: b_petro must not be positive in the petrophysical "
                               "simple J" % row.satnum)
            if wo.swl < EPS:
                raise RefError("SATNUM %d: swl must be positive with a J function" % row.satnum)
            a = pw(1.0 / ap, 1.0 / bp)
            b = 1.0 / bp
            label = "-- Petrophysical simplified J function for Pc;"
            detail = "--   a=%s, b=%s, poro_ref=%s, perm_ref=%s mD, drho=%s kg/m3, g=%s m/s2" % (
                fmt_g(ap), fmt_g(bp), fmt_g(poro_ref), fmt_g(perm_ref), fmt_g(drho), fmt_g(g))
        if wo.swl < EPS:
            raise RefError("SATNUM %d: swl must be positive with a J function" % row.satnum)
        if b > 0:
            warn("SATNUM %d: positive b in the simple J function" % row.satnum)
        if not abs(b) < 1e4:
            raise RefError("SATNUM %d: |b| too large in the simple J function" % row.satnum)
        if not (0 <= poro_ref <= 1):
            raise RefError("SATNUM %d: poro_ref outside [0, 1]" % row.satnum)
        if not perm_ref > 0:
            raise RefError("SATNUM %d: perm_ref must be positive" % row.satnum)
        pc = []
        for x in swnpc:
            J = a * pw(x, b)
            H = J * math.sqrt(poro_ref / perm_ref)
            pc.append(H * drho / 1000 * g / 100)
        return pc, [label, detail]
    if model == "normalized_j":
        a, b = row.num("a"), row.num("b")
        poro, perm, sigma = row.num("poro"), row.num("perm"), row.num("sigma_costau")
        if b < 0 and close(wo.swl, swirr):
            raise RefError("SATNUM %d: swl equal to swirr gives infinite normalised-J Pc"
                           % row.satnum)
        if abs(b) < 0.01:
            warn("SATNUM %d: small b in the normalised J function" % row.satnum)
        if abs(a) < 0.01 or abs(a) > 5:
            warn("SATNUM %d: unusual a in the normalised J function" % row.satnum)
        k = perm / 1000 * 9.869233e-13
        pc = []
        for x in swnpc:
            pc.append(pw(x / a, 1.0 / b) / math.sqrt(k / poro) * sigma / 1000 * 1e-5)
        return pc, ["-- Capillary pressure from normalized J-function, in bar",
                    "-- a=%s, b=%s, poro=%s, perm=%s mD, sigma_costau=%s mN/m" % (
                        fmt_g(a), fmt_g(b), fmt_g(poro), fmt_g(perm), fmt_g(sigma))]
    if model == "let_primary_drainage":
        Lp, Ep, Tp = row.num("lpow"), row.num("epow"), row.num("tpow")
        Lt, Et, Tt = row.num("ltow"), row.num("etow"), row.num("ttow")
        pcmax, pct = row.num("pcowmax"), row.num("pcowt")
        if not pct <= pcmax:
            raise RefError("SATNUM %d: pcowt must not exceed pcowmax" % row.satnum)
        pc = []
        for s, x in zip(sw, swnpc):
            if wo.swn(s) < EPS:
                pc.append(pcmax)
                continue
            if x == 1.0:
                pc.append(0.0)
                continue
            a = pw(1 - x, Lp)
            ff = a / (a + Ep * pw(x, Tp))
            c = pw(x, Lt)
            ft = c / (c + Et * pw(1 - x, Tt))
            pc.append((pcmax - pct) * ff - pct * ft + pct)
        return pc, ["-- LET primary drainage Pc; Lp=%s, Ep=%s, Tp=%s, Lt=%s, Et=%s, Tt=%s, "
                    "Pcmax=%s, Pct=%s" % tuple(fmt_g(v) for v in (Lp, Ep, Tp, Lt, Et, Tt, pcmax, pct))]
    if model == "let_imbibition":
        Ls, Es, Ts = row.num("lsow"), row.num("esow"), row.num("tsow")
        Lf, Ef, Tf = row.num("lfow"), row.num("efow"), row.num("tfow")
        pcmax, pcmin, pct = row.num("pcowmax"), row.num("pcowmin"), row.num("pcowt")
        if not (pcmin <= pct <= pcmax):
            raise RefError("SATNUM %d: need pcowmin <= pcowt <= pcowmax" % row.satnum)
        pc = []
        for s in sw:
            y = (s - swirr) / ((1 - wo.sorw) - swirr)
            if y < EPS:
                pc.append(pcmax)
                continue
            if y > 1 - EPS:
                pc.append(pcmin)
                continue
            a = pw(1 - y, Ls)
            fs = a / (a + Es * pw(y, Ts))
            c = pw(y, Lf)
            ff = c / (c + Ef * pw(1 - y, Tf))
            pc.append((pcmax - pct) * fs + (pcmin - pct) * ff + pct)
        return pc, ["-- LET imbibition Pc; Ls=%s, Es=%s, Ts=%s, Lf=%s, Ef=%s, Tf=%s, "
                    "Pcmax=%s, Pcmin=%s, Pct=%s"
                    % tuple(fmt_g(v) for v in (Ls, Es, Ts, Lf, Ef, Tf, pcmax, pcmin, pct))]
    # Skjaeveland
    cw, co, aw, ao = row.num("cw"), row.num("co"), row.num("aw"), row.num("ao")
    swr, sor = swirr, wo.sorw
    if cw < 0 or co > 0 or aw <= 0 or ao <= 0:
        raise RefError("SATNUM %d: Skjaeveland needs cw >= 0, co <= 0, aw > 0, ao > 0"
                       % row.satnum)
    if not (0 <= swr <= 1) or not (0 <= sor <= 1) or swr >= 1 - sor:
        raise RefError("SATNUM %d: Skjaeveland needs 0 <= swirr < 1 - sorw" % row.satnum)
    pc = []
    last = math.nan
    for s in sw:
        if s < 1 - sor:
            u = (s - swr) / (1 - swr)
            v = ((1 - s) - sor) / (1 - sor)
            last = cw / pw(u, aw) + co / pw(v, ao)
            pc.append(last)
        else:
            # Past 1 - sor the formula's oil term is infinite; the last value is held.
            pc.append(last)
    return pc, ["-- Skjaeveland Pc; cw=%s, co=%s, aw=%s, ao=%s"
                % tuple(fmt_g(v) for v in (cw, co, aw, ao))]


# ---------------------------------------------------------------------------
# Gas-oil

class GasOil:
    def __init__(self, swirr, swl, sgcr, sorg, sgro, anchor, h, tag, gaswater=False, sgrw=None):
        self.tag = tag
        self.gaswater = gaswater
        self.sgrw = sgrw
        swl = max(swl, swirr)
        for name, v in (("sorg", sorg), ("sgcr", sgcr), ("sgro", sgro)):
            if 0 < v < 1e-4:
                warn("%s %g truncated to 0" % (name, v))
        sorg, sgcr, sgro = trunc0(sorg), trunc0(sgcr), trunc0(sgro)
        if not (close(sgro, 0.0) or close(sgro, sgcr)):
            raise RefError("sgro=%g must be 0 or equal to sgcr=%g" % (sgro, sgcr))
        if anchor != "sorg":
            if anchor != "":
                warn("unknown krgendanchor %r, anchoring to 1 - swl" % anchor)
            anchor = ""
        if sorg == 0:
            anchor = ""
        if h < 1e-4:
            warn("h %g raised to 1e-4" % h)
            h = 1e-4
        room = (1 - swl - sgcr - sorg) if anchor == "sorg" else (1 - swl - sgcr)
        if not room > 0:
            raise RefError("no gas saturation range: swl=%g sgcr=%g sorg=%g" % (swl, sgcr, sorg))
        self.swirr, self.swl, self.sgcr, self.sorg, self.sgro = swirr, swl, sgcr, sorg, sgro
        self.anchor, self.h = anchor, h
        top = (1 - sorg) - swl
        pts = [0.0, sgcr] + hgrid(sgcr + h, top, h) + [top, 1 - swl]
        sg = sort_dedupe(pts)
        snap(sg, top)
        snap(sg, sgcr)
        self.sg = sg
        n = len(sg)
        self.krg = [0.0] * n
        self.krog = [0.0] * n
        self.pc = [0.0] * n
        self.krg_line = "-- No krg"
        self.krog_line = "-- No krog"

    @property
    def anchored(self):
        return self.anchor == "sorg"

    def sgn(self, s):
        if self.anchored:
            return (s - self.sgcr) / (((1 - self.swl) - self.sgcr) - self.sorg)
        return (s - self.sgcr) / ((1 - self.swl) - self.sgcr)

    def son(self, s):
        return (((1 - s) - self.sorg) - self.swl) / (((1 - self.sorg) - self.swl) - self.sgro)

    def krg_end_rules(self, krgend, krgmax):
        sg, krg = self.sg, self.krg
        for i, s in enumerate(sg):
            if s <= self.sgcr:
                krg[i] = 0.0
        if self.anchored:
            start = (1 - self.sorg) - self.swl
            for i, s in enumerate(sg):
                if s >= 1 - (self.sorg + self.swl + EPS):
                    u = (s - start) / self.sorg
                    krg[i] = min(max((1 - u) * krgend + u * krgmax, 0.0), 1.0)
        else:
            for i, s in enumerate(sg):
                if s > 1 - self.swl - EPS:
                    krg[i] = krgend

    def krog_end_rules(self, kroend, kromax):
        if close(self.sgro, 0.0):
            kromax = kroend
        sg, krog = self.sg, self.krog
        for i, s in enumerate(sg):
            if s > ((1 - self.sorg) - self.swl) - EPS:
                krog[i] = 0.0
            krog[i] = min(krog[i], kromax)
        for i, s in enumerate(sg):
            if s == 0.0:
                krog[i] = kromax
        return kromax

    def add_gas(self, curve, krgend, krgmax):
        check_exponents(curve, "gas")
        if not (0 < krgend <= krgmax <= 1):
            raise RefError("need 0 < krgend (%g) <= krgmax (%g) <= 1" % (krgend, krgmax))
        if not self.anchored and krgmax < 1 and self.sorg > 0:
            warn("krgmax ignored without the sorg anchor")
        self.krg = [curve.value(self.sgn(s), krgend) for s in self.sg]
        self.krg_end_rules(krgend, krgmax)
        self.krgend, self.krgmax = krgend, krgmax
        tail = "krgend=%s" % fmt_g(krgend)
        if self.anchored:
            tail += ", krgmax=%s" % fmt_g(krgmax)
        self.krg_line = curve.describe("krg", tail)

    def add_oil(self, curve, kroend, kromax):
        check_exponents(curve, "oil")
        if not (0 < kroend <= 1):
            raise RefError("need 0 < kroend (%g) <= 1" % kroend)
        if self.sgro > 0 and not kroend <= kromax:
            raise RefError("kromax (%g) below kroend (%g)" % (kromax, kroend))
        if close(self.sgro, 0.0) and kromax != kroend:
            warn("kromax ignored as sgro = 0")
        self.krog = [curve.value(self.son(s), kroend) for s in self.sg]
        kromax = self.krog_end_rules(kroend, kromax)
        self.kroend, self.kromax = kroend, kromax
        self.krog_line = curve.describe("krog", "kroend=%s, kromax=%s" % (fmt_g(kroend), fmt_g(kromax)))

    def endpoint_line(self):
        if self.gaswater:
            return "-- swirr=%s, sgcr=%s, swl=%s, sgrw=%s" % (
                fmt_g(self.swirr), fmt_g(self.sgcr), fmt_g(self.swl), fmt_g(self.sgrw or 0.0))
        line = "-- swirr=%s, sgcr=%s, swl=%s, sorg=%s, sgro=%s" % (
            fmt_g(self.swirr), fmt_g(self.sgcr), fmt_g(self.swl), fmt_g(self.sorg), fmt_g(self.sgro))
        if self.anchored:
            line += ", krgendanchor=sorg"
        return line

    def check(self):
        cols = [("SG", self.sg), ("KRG", self.krg)]
        if not self.gaswater:
            cols.append(("KROG", self.krog))
        for name, col in cols:
            if any(math.isnan(x) or math.isinf(x) for x in col):
                raise RefError("%s: %s has values that are not finite" % (self.tag, name))
        steps = lambda v: [v[i] - v[i - 1] for i in range(1, len(v))]
        if any(d <= -EPS for d in steps(self.sg)):
            raise RefError("%s: SG not increasing" % self.tag)
        if any(d < -EPS for d in steps(self.krg)):
            raise RefError("%s: KRG not increasing" % self.tag)
        if not self.gaswater and any(d > EPS for d in steps(self.krog)):
            raise RefError("%s: KROG not decreasing" % self.tag)
        if self.pc[0] > -EPS and any(d >= EPS for d in steps(self.pc)):
            raise RefError("%s: gas PC not decreasing" % self.tag)
        for name, col in cols:
            if any(not (-EPS <= x <= 1 + EPS) for x in col):
                raise RefError("%s: %s outside [0, 1]" % (self.tag, name))
        if not close(min(self.krg), 0.0):
            raise RefError("%s: KRG does not start at 0" % self.tag)


# ---------------------------------------------------------------------------
# Building the objects of one row

def param(row, key, default, strict_cols=()):
    """A number, or the default for an absent key; an empty cell in strict_cols is an error."""
    if key in strict_cols and key in row.columns and not row.has(key):
        raise RefError("SATNUM %d: empty %s cell (no default in this table type)" % (row.satnum, key))
    return row.num(key, default)


THREE_PHASE_STRICT = ("swirr", "swl", "swcr", "sorw", "sorg", "sgcr", "h")
GASWATER_STRICT = ("swirr", "swl", "sgl", "swcr", "sgrw", "sgcr", "h")


def start_values(row, strict, h_override):
    """swirr, swl, swcr and h, resolving swlheight and swcr_add."""
    swirr = param(row, "swirr", 0.0, strict)
    if row.has("swlheight"):
        if row.has("swl"):
            raise RefError("SATNUM %d: swlheight and swl may not both be given" % row.satnum)
        need = ("swirr", "a", "b", "poro_ref", "perm_ref")
        if not all(row.has(k) for k in need):
            raise RefError("SATNUM %d: swlheight needs %s" % (row.satnum, " ".join(need)))
        height = row.num("swlheight")
        if not height > 0:
            raise RefError("SATNUM %d: swlheight must be positive" % row.satnum)
        a, b = row.num("a"), row.num("b")
        swl = swirr + (1 - swirr) * pw(height * math.sqrt(row.num("perm_ref") / row.num("poro_ref")) / a,
                                       1.0 / b)
        if row.has("swcr") and row.num("swcr") < swl:
            raise RefError("SATNUM %d: swcr below the swl from swlheight" % row.satnum)
    else:
        swl = param(row, "swl", 0.0, strict)
    if row.has("swcr_add"):
        if row.has("swcr"):
            raise RefError("SATNUM %d: swcr_add and swcr may not both be given" % row.satnum)
        if not (row.has("swl") or row.has("swlheight")):
            raise RefError("SATNUM %d: swcr_add needs swl" % row.satnum)
        swcr = swl + row.num("swcr_add")
    else:
        swcr = param(row, "swcr", 0.0, strict)
    h = param(row, "h", 0.01, strict)
    if h_override is not None:
        h = h_override
    return swirr, swl, swcr, h


def sorw_value(row, strict):
    sorw = param(row, "sorw", None, strict)
    sgrw = row.num("sgrw", None)
    if sorw is not None and sgrw is not None and sorw != sgrw:
        raise RefError("SATNUM %d: sorw and sgrw both given and different" % row.satnum)
    if sorw is None:
        sorw = sgrw if sgrw is not None else 0.0
    return sorw


def kroend_value(row):
    if not row.has("kroend") and (row.has("krowend") or row.has("krogend")):
        raise RefError("SATNUM %d: use kroend, not krowend/krogend" % row.satnum)
    return row.num("kroend", 1.0)


def build_wateroil(row, strict, h_override, three_phase):
    if three_phase and "socr" in row.columns:
        raise RefError("SATNUM %d: socr is not allowed in a three-phase table" % row.satnum)
    swirr, swl, swcr, h = start_values(row, strict, h_override)
    sorw = sorw_value(row, strict)
    socr_given = row.has("socr")
    socr = row.num("socr", sorw)
    wo = WaterOil(swirr, swl, swcr, sorw, socr, h, row.tag, socr_given)
    wcurve = row.curve_set(WATER_SETS, "water")
    ocurve = row.curve_set(OILW_SETS, "oil")
    krwend = row.num("krwend", 1.0)
    krwmax = row.num("krwmax", 1.0)
    wo.add_water(wcurve, krwend, krwmax)
    wo.add_oil(ocurve, kroend_value(row))
    wo.add_pc(row)
    wo.check()
    return wo


def build_gasoil(row, strict, h_override):
    swirr, swl, _swcr, h = start_values(row, strict, h_override)
    sgcr = param(row, "sgcr", 0.0, strict)
    sorg = param(row, "sorg", 0.0, strict)
    sgro = row.num("sgro", 0.0)
    anchor = row.values.get("krgendanchor", "sorg").lower()
    go = GasOil(swirr, swl, sgcr, sorg, sgro, anchor, h, row.tag)
    gcurve = row.curve_set(GAS_SETS, "gas")
    ocurve = row.curve_set(OILG_SETS, "oil")
    kroend = kroend_value(row)
    go.add_gas(gcurve, row.num("krgend", 1.0), row.num("krgmax", 1.0))
    go.add_oil(ocurve, kroend, row.num("kromax", kroend))
    go.check()
    return go


class GasWater:
    def __init__(self, wo, go):
        self.wo, self.go = wo, go


def build_gaswater(row, h_override):
    strict = GASWATER_STRICT
    swirr, swl, swcr, h = start_values(row, strict, h_override)
    sgrw = param(row, "sgrw", 0.0, strict)
    sgcr = param(row, "sgcr", 0.0, strict)
    sgl = param(row, "sgl", 0.0, strict)
    # sgl is only validated; the tables are built as if it were 0.
    if not (sgl < sgcr + EPS and sgl < sgrw + EPS and swl < 1 - sgl):
        raise RefError("SATNUM %d: sgl=%g must not exceed sgcr or sgrw, and swl < 1 - sgl"
                       % (row.satnum, sgl))
    wo = WaterOil(swirr, swl, swcr, sgrw, sgrw, h, row.tag, False, gaswater=True)
    wo.add_water(row.curve_set(WATER_SETS, "water"), row.num("krwend", 1.0), row.num("krwmax", 1.0))
    wo.add_pc(row)
    go = GasOil(swirr, swl, sgcr, 0.0, 0.0, "", h, row.tag, gaswater=True, sgrw=sgrw)
    go.add_gas(row.curve_set(GAS_SETS, "gas"), row.num("krgend", 1.0), row.num("krgmax", 1.0))
    wo.check()
    go.check()
    return GasWater(wo, go)


class WaterOilGas:
    def __init__(self, wo, go):
        self.wo, self.go = wo, go


def build_row(row, kind, h_override):
    try:
        return build_row_unchecked(row, kind, h_override)
    except RefError as e:
        text = str(e)
        if text.startswith("SATNUM"):
            raise
        where = "SATNUM %d%s" % (row.satnum, " (%s)" % row.case if row.case else "")
        raise RefError("%s: %s" % (where, text))


def build_row_unchecked(row, kind, h_override):
    if kind == "WaterOilGas":
        wo_ok, go_ok, _ = row_halves(row)
        wo = build_wateroil(row, THREE_PHASE_STRICT, h_override, True) if wo_ok else None
        go = build_gasoil(row, THREE_PHASE_STRICT, h_override) if go_ok else None
        return WaterOilGas(wo, go)
    if kind == "WaterOil":
        return WaterOilGas(build_wateroil(row, (), h_override, False), None)
    if kind == "GasOil":
        return WaterOilGas(None, build_gasoil(row, (), h_override))
    return build_gaswater(row, h_override)


# ---------------------------------------------------------------------------
# SCAL recommendation interpolation

def mixer(p):
    return lambda qa, qb: (1 - p) * qa + p * qb


def interpolation_tag(t, cases):
    tags = []
    for c in cases:
        if c.tag not in tags:
            tags.append(c.tag)
    return "\n".join(["SCAL recommendation interpolation to %r" % float(t)] + tags)


def interpolate_wateroil(low, base, high, t, h, gaswater=False):
    if close(t, 0.0):
        return base
    if close(t, -1.0):
        return low
    if close(t, 1.0):
        return high
    p = abs(t)
    A, B = base, (low if t < 0 else high)
    mix = mixer(p)
    wo = WaterOil(0.0, mix(A.swl, B.swl), mix(A.swcr, B.swcr), mix(A.sorw, B.sorw),
                  mix(A.socr, B.socr), h, interpolation_tag(t, (low, base, high)), True,
                  gaswater=gaswater)

    def k_w(c, s):
        x = c.swcr + s * ((1 - c.swcr) - c.sorw)
        return interp(x, c.sw, c.krw, 0.0, max(c.krw))

    def k_o(c, s):
        so = [1 - v for v in reversed(c.sw)]
        kro = list(reversed(c.krow))
        x = c.socr + s * ((1 - c.socr) - c.swl)
        return interp(x, so, kro, 0.0, max(c.krow))

    wo.krw = [mix(k_w(A, wo.swn(s)), k_w(B, wo.swn(s))) for s in wo.sw]
    krwend = mix(k_w(A, 1.0), k_w(B, 1.0))
    krwmax = mix(max(A.krw), max(B.krw))
    wo.krw_end_rules(krwend, krwmax)
    wo.krwend, wo.krwmax = krwend, krwmax
    wo.krw_line = "-- krw interpolated, krwend=%s, krwmax=%s" % (fmt_g(krwend), fmt_g(krwmax))
    if not gaswater:
        wo.krow = [mix(k_o(A, wo.son(s)), k_o(B, wo.son(s))) for s in wo.sw]
        kroend = mix(k_o(A, 1.0), k_o(B, 1.0))
        wo.krow_end_rules(kroend)
        wo.kroend = kroend
        wo.krow_line = "-- krow interpolated, kroend=%s" % fmt_g(kroend)

    def p_c(c, x):
        lo, hi = c.sw[0], c.sw[-1]
        return interp(lo + x * (hi - lo), c.sw, c.pc, max(c.pc), min(c.pc))

    lo, hi = wo.sw[0], wo.sw[-1]
    wo.pc = [mix(p_c(A, (s - lo) / (hi - lo)), p_c(B, (s - lo) / (hi - lo))) for s in wo.sw]
    wo.pc_lines = ["-- Capillary pressure interpolated"]
    wo.check()
    return wo


def interpolate_gasoil(low, base, high, t, h, gaswater=False):
    if close(t, 0.0):
        return base
    if close(t, -1.0):
        return low
    if close(t, 1.0):
        return high
    p = abs(t)
    A, B = base, (low if t < 0 else high)
    mix = mixer(p)
    sgcr = mix(A.sgcr, B.sgcr)
    sgro = mix(A.sgro, B.sgro)
    if not (close(sgro, 0.0) or close(sgro, sgcr)):
        raise RefError("interpolated sgro=%g is neither 0 nor sgcr=%g" % (sgro, sgcr))
    go = GasOil(0.0, mix(A.swl, B.swl), sgcr, mix(A.sorg, B.sorg), sgro,
                "" if gaswater else "sorg", h, interpolation_tag(t, (low, base, high)),
                gaswater=gaswater, sgrw=None)

    def k_g(c, s):
        # Always the sorg-anchored scale, whatever the case's own anchor was.
        x = c.sgcr + s * (((1 - c.swl) - c.sgcr) - c.sorg)
        return interp(x, c.sg, c.krg, 0.0, max(c.krg))

    def k_og(c, s):
        sl = [1 - v for v in reversed(c.sg)]
        kro = list(reversed(c.krog))
        x = c.swl + c.sorg + s * (((1 - c.swl) - c.sorg) - c.sgro)
        return interp(x, sl, kro, 0.0, max(c.krog))

    krgend = mix(k_g(A, 1.0), k_g(B, 1.0))
    krgmax = mix(max(A.krg), max(B.krg))
    go.krg = [mix(k_g(A, go.sgn(s)), k_g(B, go.sgn(s))) for s in go.sg]
    if not gaswater:
        kroend = mix(k_og(A, 1.0), k_og(B, 1.0))
        kromax = mix(max(A.krog), max(B.krog))
        go.krog = [mix(k_og(A, go.son(s)), k_og(B, go.son(s))) for s in go.sg]
        kromax = go.krog_end_rules(kroend, kromax)
        go.kroend, go.kromax = kroend, kromax
        go.krog_line = "-- krog interpolated, kroend=%s, kromax=%s" % (fmt_g(kroend), fmt_g(kromax))
    go.krg_end_rules(krgend, krgmax)
    go.krgend, go.krgmax = krgend, krgmax
    go.krg_line = "-- krg interpolated, krgend=%s, krgmax=%s" % (fmt_g(krgend), fmt_g(krgmax))

    def p_c(c, x):
        lo, hi = c.sg[0], c.sg[-1]
        return interp(lo + x * (hi - lo), c.sg, c.pc, max(c.pc), min(c.pc))

    lo, hi = go.sg[0], go.sg[-1]
    go.pc = [mix(p_c(A, (s - lo) / (hi - lo)), p_c(B, (s - lo) / (hi - lo))) for s in go.sg]
    go.check()
    return go


def parse_tlist(text, n, name):
    if text is None:
        return None
    out = []
    for part in text.split(","):
        part = part.strip()
        if part.lower() == "none":
            out.append(None)
            continue
        try:
            out.append(float(part))
        except ValueError:
            raise RefError("%s: %r is not a number" % (name, part))
    if len(out) == 1:
        out = out * n
    if len(out) != n:
        raise RefError("%s needs one value or one per SATNUM (%d)" % (name, n))
    for t in out:
        if t is not None and abs(t) > 1:
            raise RefError("%s: interpolation parameter %g outside [-1, 1]" % (name, t))
    return out


def build_scal(rows, kind, h_override, t_wo_text, t_go_text):
    nsat = max(r.satnum for r in rows)
    if t_wo_text is None:
        raise RefError("a table with CASE needs an interpolation parameter (--int-param-wo)")
    t_wo = parse_tlist(t_wo_text, nsat, "--int-param-wo")
    if None in t_wo:
        raise RefError("--int-param-wo: every value must be a number")
    t_go = parse_tlist(t_go_text, nsat, "--int-param-go") or [None] * nsat
    t_go = [tw if tg is None else tg for tw, tg in zip(t_wo, t_go)]
    h = h_override if h_override is not None else 0.01
    out = []
    for s in range(1, nsat + 1):
        cases = {r.case: build_row(r, kind, h_override) for r in rows if r.satnum == s}
        low, base, high = cases["low"], cases["base"], cases["high"]
        tw, tg = t_wo[s - 1], t_go[s - 1]
        if kind == "GasWater":
            wo = interpolate_wateroil(low.wo, base.wo, high.wo, tw, h, gaswater=True)
            go = interpolate_gasoil(low.go, base.go, high.go, tg, h, gaswater=True)
            out.append(GasWater(wo, go))
            continue
        wo = go = None
        if all(c.wo is not None for c in (low, base, high)):
            wo = interpolate_wateroil(low.wo, base.wo, high.wo, tw, h)
        if all(c.go is not None for c in (low, base, high)):
            go = interpolate_gasoil(low.go, base.go, high.go, tg, h)
        out.append(WaterOilGas(wo, go))
    return out


# ---------------------------------------------------------------------------
# Output: the number pipeline

A_STEP = 1e-7 - 1e-8


def monotone(col, s, lo, hi, zero_allowed, what):
    n = len(col)
    for i in range(1, n):
        if s * (col[i] - col[i - 1]) < -1e-6:
            raise RefError("%s is not %s" % (what, "increasing" if s > 0 else "decreasing"))
    if lo is not None and any(v < lo or v > hi for v in col):
        raise RefError("%s outside [%g, %g]" % (what, lo, hi))
    if zero_allowed and max(abs(v) for v in col) < A_STEP:
        return col
    col = list(col)

    def flagged(i):
        d = rd(col[i], 8) - rd(col[i - 1], 8)
        step_small = d < A_STEP if s > 0 else d > -A_STEP
        if not step_small:
            return False
        if lo is not None and not (lo + A_STEP < col[i] < hi - A_STEP):
            return False
        return True

    passes = 0
    nudge = s * 1e-7 - 1e-8
    while True:
        flags = [i for i in range(1, n) if flagged(i)]
        if not flags:
            break
        passes += 1
        if passes > 2 * n:
            raise RefError("%s could not be made strictly monotone" % what)
        for i in flags:
            col[i] += nudge
        for i in range(1, n):
            col[i] = max(col[i], col[i - 1]) if s > 0 else min(col[i], col[i - 1])
        if lo is not None:
            col = [min(max(v, lo), hi) for v in col]
    if passes > 0.05 * n:
        warn("%s needed %d monotonicity passes" % (what, passes))
    return col


def format_rows(columns):
    lines = []
    for i in range(len(columns[0])):
        lines.append(" ".join("%.7f" % rd(c[i], 9) for c in columns) + "\n")
    return "".join(lines)


def pipeline(columns, rules, names):
    """r8 everywhere, the monotonicity nudges, then r9 and %.7f."""
    cols = [[rd(v, 8) for v in c] for c in columns]
    for j, rule in enumerate(rules):
        if rule is None:
            continue
        s, lo, hi, zero_allowed = rule
        cols[j] = monotone(cols[j], s, lo, hi, zero_allowed, names[j])
    return format_rows(cols)


def header(names):
    widths = (7, 10, 10, 10)
    return "-- " + "".join(n.ljust(w) for n, w in zip(names, widths)) + "\n"


def tag_lines(tag):
    return "".join("-- " + line.strip() + "\n" for line in tag.split("\n"))


KR_UP = (1, 0.0, 1.0, False)
KR_DOWN = (-1, 0.0, 1.0, False)
PC_DOWN = (-1, None, None, True)
PC_UP = (1, None, None, True)


def table_text(tag, comments, names, columns, rules):
    text = tag_lines(tag) + "-- pyscal: %s\n" % VERSION
    text += "".join(c + "\n" for c in comments)
    text += header(names)
    text += pipeline(columns, rules, names) if rules is not None else format_rows(columns)
    return text + "/\n"


def swof(wo):
    cross = crosspoint(wo.sw, wo.krw, wo.krow)
    comments = [wo.endpoint_line(), wo.krw_line, wo.krow_line,
                "-- krw = krow @ sw=%.5f" % cross] + wo.pc_lines
    return table_text(wo.tag, comments, ["SW", "KRW", "KROW", "PC"],
                      [wo.sw, wo.krw, wo.krow, wo.pc], [None, KR_UP, KR_DOWN, PC_DOWN])


def gw_cross(wo, go):
    sgs = go.sg
    krg_at = [interp(1 - s, sgs, go.krg, go.krg[0], go.krg[-1]) for s in wo.sw]
    return crosspoint(wo.sw, wo.krw, krg_at)


def swfn(wo, go=None):
    comments = [wo.endpoint_line(), wo.krw_line]
    if go is not None:
        comments.append("-- krw = krg @ sw=%.5f" % gw_cross(wo, go))
    comments += wo.pc_lines
    return table_text(wo.tag, comments, ["SW", "KRW", "PC"],
                      [wo.sw, wo.krw, wo.pc], [None, KR_UP, PC_DOWN])


def sgof(go):
    cross = crosspoint(go.sg, go.krg, go.krog)
    comments = [go.endpoint_line(), go.krg_line, go.krog_line,
                "-- krg = krog @ sg=%.5f" % cross, "-- Zero capillary pressure"]
    return table_text(go.tag, comments, ["SG", "KRG", "KROG", "PC"],
                      [go.sg, go.krg, go.krog, go.pc], [None, KR_UP, KR_DOWN, PC_UP])


def slgof(go):
    limit = ((1 - go.sorg) - go.swl) + 1e-5
    idx = [i for i, s in enumerate(go.sg) if s <= limit]
    rows = sorted(((1 - go.sg[i], go.krg[i], go.krog[i], go.pc[i]) for i in idx),
                  key=lambda r: r[0])
    cols = [[r[j] for r in rows] for j in range(4)]
    cross = crosspoint(go.sg, go.krg, go.krog)
    comments = [go.endpoint_line(), go.krg_line, go.krog_line,
                "-- krg = krog @ sg=%.5f" % cross, "-- Zero capillary pressure"]
    return table_text(go.tag, comments, ["SL", "KRG", "KROG", "PC"], cols,
                      [None, (-1, 0.0, 1.0, False), (1, 0.0, 1.0, False), PC_DOWN])


def sgfn(go, wo=None):
    comments = [go.endpoint_line(), go.krg_line]
    if wo is not None:
        comments.append("-- krw = krg @ sw=%.5f" % gw_cross(wo, go))
    comments.append("-- Zero capillary pressure")
    return table_text(go.tag, comments, ["SG", "KRG", "PC"],
                      [go.sg, go.krg, go.pc], [None, KR_UP, PC_UP])


def sof3(wo, go):
    swl = wo.swl
    water_so = [1 - s for s in wo.sw]
    gas_so = [(1 - s) - swl for s in go.sg]
    so = sort_dedupe(water_so + gas_so)
    wx, wy = list(reversed(water_so)), list(reversed(wo.krow))
    gpts = sorted(zip(gas_so, go.krog))
    gx, gy = [p[0] for p in gpts], [p[1] for p in gpts]
    krow = [interp(x, wx, wy, wy[0], wy[-1]) for x in so]
    krog = [interp(x, gx, gy, gy[0], gy[-1]) for x in so]
    so = [0.0 if close(x, 0.0) else x for x in so]
    if not close(max(krow), max(krog)):
        warn("%s: max KROW %g and max KROG %g differ; Eclipse will fail"
             % (wo.tag.split("\n")[0], max(krow), max(krog)))
    if max(go.sg) + swl > 1:
        warn("%s: max SG + swl > 1" % wo.tag.split("\n")[0])
    tags = wo.tag if wo.tag == go.tag else wo.tag + "\n" + go.tag
    comments = [wo.endpoint_line(), go.endpoint_line(), wo.krow_line, go.krog_line]
    return table_text(tags, comments, ["SO", "KROW", "KROG"], [so, krow, krog], None)


def render(objs, kind, family, use_slgof):
    if kind in ("WaterOil", "GasOil") and (family == 2 or use_slgof):
        raise RefError("%s tables have no family 2 or SLGOF output" % kind)
    if kind == "GasWater":
        if family == 1:
            raise RefError("gas-water tables are written as family 2 (SWFN, SGFN) only")
        blocks = [("SWFN", [swfn(o.wo, o.go) for o in objs]),
                  ("SGFN", [sgfn(o.go, o.wo) for o in objs])]
    else:
        has_wo = all(o.wo is not None for o in objs)
        has_go = all(o.go is not None for o in objs)
        if family == 2:
            if not (has_wo and has_go):
                raise RefError("family 2 needs both water-oil and gas-oil data")
            if use_slgof:
                raise RefError("SLGOF is a family 1 keyword")
            blocks = [("SWFN", [swfn(o.wo) for o in objs]),
                      ("SGFN", [sgfn(o.go) for o in objs]),
                      ("SOF3", [sof3(o.wo, o.go) for o in objs])]
        else:
            blocks = []
            if has_wo:
                blocks.append(("SWOF", [swof(o.wo) for o in objs]))
            if has_go:
                if use_slgof:
                    blocks.append(("SLGOF", [slgof(o.go) for o in objs]))
                else:
                    blocks.append(("SGOF", [sgof(o.go) for o in objs]))
    return "\n".join(name + "\n" + "".join(tables) for name, tables in blocks)


def make_include(path, family=1, use_slgof=False, delta_s=None, t_wo=None, t_go=None):
    rows, has_case, _params = read_table(path)
    kind = decide_type(rows, has_case)
    if delta_s is not None and not delta_s > 0:
        raise RefError("--delta-s must be positive")
    if has_case:
        objs = build_scal(rows, kind, delta_s, t_wo, t_go)
    else:
        if t_wo is not None or t_go is not None:
            warn("interpolation parameters ignored without a CASE column")
        objs = [build_row(r, kind, delta_s) for r in rows]
    if kind == "GasWater" and t_go is not None and not has_case:
        warn("--int-param-go does not apply here")
    return render(objs, kind, family, use_slgof)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("parametertable")
    ap.add_argument("--family", type=int, choices=(1, 2), default=1)
    ap.add_argument("--slgof", action="store_true")
    ap.add_argument("--delta-s", type=float, default=None)
    ap.add_argument("--int-param-wo", default=None,
                    help="one number, or comma-separated, one per SATNUM")
    ap.add_argument("--int-param-go", default=None,
                    help="one number, or comma-separated, one per SATNUM ('none' = the wo value)")
    args = ap.parse_args(argv)
    try:
        text = make_include(args.parametertable, args.family, args.slgof, args.delta_s,
                            args.int_param_wo, args.int_param_go)
    except RefError as e:
        print("error: %s" % e, file=sys.stderr)
        return 1
    except ZeroDivisionError:
        print("error: degenerate saturation end points (a normalisation range is zero)",
              file=sys.stderr)
        return 1
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
