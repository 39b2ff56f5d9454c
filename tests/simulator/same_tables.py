#!/usr/bin/env python3
"""Judges the include files of saturation tables that relperm deck convert writes.

    same_tables.py kr ORIGINAL CONVERTED KEYWORD[,KEYWORD...]
    same_tables.py rows EXPECTED ACTUAL

kr: CONVERTED holds exactly the keywords named, in that order, and gives every kr and Pc
function of ORIGINAL (SWOF with SGOF or SLGOF) at every saturation. Each function is
piecewise linear in its table's saturation, and the saturations of the families are affine
in one another (So = 1 - Sw for SOF3's krow, So = 1 - Swc - Sg for its krog, Sl = 1 - Sg),
so two tables that agree at the union of their rows agree everywhere. Flow cannot see all of
this on SPE1: its water stays at connate saturation, so a SOF3 whose krow lost SWOF's rows
gives the same rates, and only this catches it.

rows: ACTUAL holds EXPECTED's keywords with the same rows, value for value as the numbers
read, whatever their spelling: a conversion there and back must give the rows it started from.

Standard library only; the text follows the simulator's rules (-- comments, a / ends a table
and the rest of its line, n*value repeats), and a file with any keyword other than the
saturation keywords is refused, as relperm deck convert writes nothing else.
"""

import bisect
import sys

COLUMNS = {"SWOF": 4, "SGOF": 4, "SLGOF": 4, "SGWFN": 4, "SWFN": 3, "SGFN": 3, "SOF3": 3, "SOF2": 2}
# The files print 15 significant digits; an affine change of saturation costs a rounding or two.
VALUE_TOL = 1e-12


class Refused(Exception):
    pass


def read_tables(path):
    """[(keyword, [table, ...])] in file order; a table is a list of rows of floats."""
    keywords = []
    keyword, values = None, []
    with open(path) as f:
        for number, line in enumerate(f, 1):
            text = line.split("--", 1)[0]
            ends_table = "/" in text
            text = text.split("/", 1)[0]
            for word in text.split():
                if word[0].isalpha():
                    if values:
                        raise Refused("%s line %d: %s before the / that ends the table before it"
                                      % (path, number, word))
                    if word not in COLUMNS:
                        raise Refused("%s line %d: %s is not a saturation keyword" % (path, number, word))
                    keyword = word
                    keywords.append((keyword, []))
                    continue
                if keyword is None:
                    raise Refused("%s line %d: a value before any keyword" % (path, number))
                count, star, value = word.rpartition("*")
                if star and not value:
                    raise Refused("%s line %d: a defaulted value (%s)" % (path, number, word))
                values += [float(value)] * (int(count) if star else 1)
            if ends_table:
                if keyword is None:
                    raise Refused("%s line %d: a / before any keyword" % (path, number))
                width = COLUMNS[keyword]
                if len(values) % width:
                    raise Refused("%s line %d: %s table of %d values, not rows of %d"
                                  % (path, number, keyword, len(values), width))
                keywords[-1][1].append([values[i:i + width] for i in range(0, len(values), width)])
                values = []
    if values:
        raise Refused("%s: the last table has no /" % path)
    if not keywords:
        raise Refused("%s: no saturation keyword" % path)
    return keywords


class Piecewise:
    """A piecewise-linear function of the points given, x increasing, and constant beyond
    them as the simulator takes a table's end rows: a SOF3 may carry krow on to So = 0 where
    the SWOF it came from stopped short of Sw = 1 with the same krow."""

    def __init__(self, points):
        points = sorted(points)
        self.x = [p[0] for p in points]
        self.y = [p[1] for p in points]

    def __call__(self, x):
        i = bisect.bisect_right(self.x, x)
        if i == 0:
            return self.y[0]
        if i == len(self.x):
            return self.y[-1]
        x0, x1, y0, y1 = self.x[i - 1], self.x[i], self.y[i - 1], self.y[i]
        return y0 if x1 == x0 else y0 + (y1 - y0) * (x - x0) / (x1 - x0)


def functions(path, keywords):
    """Every region's kr and Pc functions: water's in Sw, gas's in Sg."""
    found = dict(keywords)
    regions = max(len(tables) for _, tables in keywords)
    for name, tables in keywords:
        if len(tables) != regions:
            raise Refused("%s: %s has %d tables, another keyword %d" % (path, name, len(tables), regions))
    result = []
    for region in range(regions):
        f = {}
        swc = None
        if "SWOF" in found:
            rows = found["SWOF"][region]
            f["krw"] = Piecewise([(r[0], r[1]) for r in rows])
            f["krow"] = Piecewise([(r[0], r[2]) for r in rows])
            f["Pcow"] = Piecewise([(r[0], r[3]) for r in rows])
            swc = rows[0][0]
        if "SWFN" in found:
            rows = found["SWFN"][region]
            f["krw"] = Piecewise([(r[0], r[1]) for r in rows])
            f["Pcow"] = Piecewise([(r[0], r[2]) for r in rows])
            swc = rows[0][0]
        if "SGOF" in found:
            rows = found["SGOF"][region]
            f["krg"] = Piecewise([(r[0], r[1]) for r in rows])
            f["krog"] = Piecewise([(r[0], r[2]) for r in rows])
            f["Pcog"] = Piecewise([(r[0], r[3]) for r in rows])
        if "SLGOF" in found:
            rows = found["SLGOF"][region]
            f["krg"] = Piecewise([(1 - r[0], r[1]) for r in rows])
            f["krog"] = Piecewise([(1 - r[0], r[2]) for r in rows])
            f["Pcog"] = Piecewise([(1 - r[0], r[3]) for r in rows])
        if "SGFN" in found:
            rows = found["SGFN"][region]
            f["krg"] = Piecewise([(r[0], r[1]) for r in rows])
            f["Pcog"] = Piecewise([(r[0], r[2]) for r in rows])
        if "SOF3" in found:
            if swc is None:
                raise Refused("%s: SOF3 without a water table to give Swc" % path)
            rows = found["SOF3"][region]
            f["krow"] = Piecewise([(1 - r[0], r[1]) for r in rows])
            f["krog"] = Piecewise([(1 - swc - r[0], r[2]) for r in rows])
        result.append(f)
    return result


def close(a, b):
    return abs(a - b) <= VALUE_TOL * max(1.0, abs(a), abs(b))


def same_kr(original, converted, wanted):
    keywords = read_tables(original)
    converted_keywords = read_tables(converted)
    names = [k for k, _ in converted_keywords]
    if names != wanted:
        print("FAIL: %s holds %s, not %s" % (converted, " ".join(names), " ".join(wanted)))
        return False
    before = functions(original, keywords)
    after = functions(converted, converted_keywords)
    if len(before) != len(after):
        print("FAIL: %s has %d regions, %s %d" % (converted, len(after), original, len(before)))
        return False
    ok = True
    for region, (f, g) in enumerate(zip(before, after), 1):
        for name in sorted(f):
            if name not in g:
                print("FAIL: region %d: %s gives no %s" % (region, converted, name))
                ok = False
                continue
            a, b = f[name], g[name]
            variable = "Sw" if name in ("krw", "krow", "Pcow") else "Sg"
            worst, where = 0.0, None
            for x in sorted(set(a.x) | set(b.x)):
                if abs(a(x) - b(x)) > worst:
                    worst, where = abs(a(x) - b(x)), x
            if where is not None and not close(a(where), b(where)):
                print("FAIL: region %d: %s at %s %.15g is %.15g from %s, %.15g from %s"
                      % (region, name, variable, where, b(where), converted, a(where), original))
                ok = False
    if ok:
        print("%s (%s) gives every kr and Pc of %s at every saturation"
              % (converted, " ".join(names), original))
    return ok


def same_rows(expected, actual):
    want = read_tables(expected)
    got = read_tables(actual)
    if [k for k, _ in want] != [k for k, _ in got]:
        print("FAIL: %s holds %s, %s holds %s" % (actual, " ".join(k for k, _ in got),
                                                  expected, " ".join(k for k, _ in want)))
        return False
    for (keyword, want_tables), (_, got_tables) in zip(want, got):
        if len(want_tables) != len(got_tables):
            print("FAIL: %s has %d %s tables, %s %d"
                  % (actual, len(got_tables), keyword, expected, len(want_tables)))
            return False
        for region, (w, g) in enumerate(zip(want_tables, got_tables), 1):
            for row, (a, b) in enumerate(zip(w, g), 1):
                if a != b:
                    print("FAIL: %s table %d row %d is %s in %s, %s in %s"
                          % (keyword, region, row, " ".join("%.15g" % v for v in b), actual,
                             " ".join("%.15g" % v for v in a), expected))
                    return False
            if len(w) != len(g):
                print("FAIL: %s table %d has %d rows in %s, %d in %s"
                      % (keyword, region, len(g), actual, len(w), expected))
                for extra in (g[len(w):] or w[len(g):])[:3]:
                    print("  row not in both: %s" % " ".join("%.15g" % v for v in extra))
                return False
    print("%s holds the rows of %s" % (actual, expected))
    return True


def main():
    args = sys.argv[1:]
    try:
        if len(args) == 4 and args[0] == "kr":
            ok = same_kr(args[1], args[2], args[3].split(","))
        elif len(args) == 3 and args[0] == "rows":
            ok = same_rows(args[1], args[2])
        else:
            print(__doc__)
            sys.exit(2)
    except (Refused, ValueError, OSError) as error:
        print("FAIL: %s" % error)
        ok = False
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
