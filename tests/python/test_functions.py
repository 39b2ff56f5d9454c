# Each function against the program's own output for the same request.
import csv
import io
import warnings

import numpy as np
import pandas as pd
import pytest

from conftest import DEMO, THREE_REGIONS, general, program, relperm

SYSTEMS = ["Water-Oil Data", "Gas-Oil Data", "Gas-Water Data", "Gas-Condensate Data"]


def rows(text):
    return list(csv.reader(io.StringIO(text.decode())))


def numbers(cells):
    return [float(c) for c in cells]


@pytest.mark.parametrize("options", [
    dict(fluids="Water-Oil-Gas", correlation="Corey", swc=20, sorw=25, sorg=10, sgc=5),
    dict(fluids="Water-Oil-Gas", correlation="Honarpour/Varnholt/Harvey", porosity=18,
         permeability=250, swc=22, sorw=28, sorg=12, sgc=4, spacing=2.5,
         wettability="Water Wet", formation="Sandstone"),
    dict(fluids="Water-Gas", correlation="Rose", porosity=20, permeability=150, swc=20, sgc=5),
    dict(fluids="Gas-Condensate", correlation="Corey", swc=25, sgc=10, krg_sorg=0.8),
])
def test_generate_gives_the_export_files_values(options):
    args = ["generate"]
    for name, value in options.items():
        args += ["--" + name.replace("_", "-"), str(value)]
    status, out, _ = program(args)
    assert status == 0
    lines = rows(out)
    n = int(lines[0][1])
    water = np.array([numbers(r) for r in lines[1:1 + n]]).reshape(-1, 3)
    m = int(lines[1 + n][1])
    # The export file lists the gas rows as Sl, krog, krg from the last row up.
    gas = np.array([numbers(r) for r in lines[2 + n:2 + n + m]])[::-1]

    tables = relperm.generate(**options)
    assert tables["water_oil"].shape == (n, 3) and tables["gas"].shape == (m, 3)
    assert [[general(v) for v in r] for r in tables["water_oil"]] == water.tolist()
    ours = tables["gas"]
    assert [general(1 - sg) for sg in ours[:, 0]] == gas[:, 0].tolist()
    assert [general(v) for v in ours[:, 1]] == gas[:, 2].tolist()  # krg
    assert [general(v) for v in ours[:, 2]] == gas[:, 1].tolist()  # krog (krw, krcg)


def test_generate_takes_typed_texts_as_the_boxes_do():
    typed = relperm.generate(fluids="Water-Oil-Gas", correlation="Corey", swc="20",
                             sorw=" 25", sorg=10.0, sgc=5)
    given = relperm.generate(fluids="Water-Oil-Gas", correlation="Corey", swc=20, sorw=25,
                             sorg=10, sgc=5)
    assert np.array_equal(typed["water_oil"], given["water_oil"])
    assert np.array_equal(typed["gas"], given["gas"])


def test_generate_starts_from_a_run_file(tmp_path):
    run_file = tmp_path / "field.run"
    status, out, _ = program(["generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey",
                              "--swc", "15", "--sorw", "30", "--sorg", "12", "--sgc", "6",
                              "--format", "run"])
    assert status == 0
    run_file.write_bytes(out)
    from_run = relperm.generate(run=run_file, sgc=8)
    direct = relperm.generate(fluids="Water-Oil-Gas", correlation="Corey", swc=15, sorw=30,
                              sorg=12, sgc=8)
    assert np.array_equal(from_run["water_oil"], direct["water_oil"])
    assert np.array_equal(from_run["gas"], direct["gas"])


@pytest.mark.parametrize("system", SYSTEMS)
def test_database_count_and_sets_are_db_count_and_list(system):
    db = relperm.Database(DEMO)
    where = ["--system", system, "--dir", str(DEMO)]
    assert db.count(system) == int(program(["db", "count", *where])[1])
    listed = list(csv.DictReader(io.StringIO(program(["db", "list", *where])[1].decode())))
    sets = db.sets(system)
    assert len(sets) == len(listed) > 0
    for found, row in zip(sets, listed):
        assert found.system == system
        assert found.match == int(row.pop("match"))
        assert len(found.points) == int(row.pop("points"))
        assert list(found.header) == list(row)
        for name, text in row.items():
            value = found.header[name]
            if isinstance(value, str):
                assert value == text
            else:
                assert (None if value is None else general(value)) == \
                       (float(text) if text else None), name


def test_a_sets_points_are_those_db_show_writes():
    db = relperm.Database(DEMO)
    data_set = db.sets("Water-Oil Data")[1]
    assert data_set.columns == ["Sw norm", "krw", "krow"]
    out = program(["db", "show", "--system", "Water-Oil Data", "--dir", str(DEMO), "--match",
                   "2", "--format", "csv"])[1].decode()
    points = [r for r in csv.reader(io.StringIO(out))
              if r and not r[0].startswith("#") and len(r) == 3]
    assert len(points) == len(data_set.points)
    for ours, theirs in zip(data_set.points, points):
        assert [general(v) for v in ours] == numbers(theirs)


def test_selection_keywords_select_as_the_flags_do():
    db = relperm.Database(str(DEMO))
    where = ["--system", "Water-Oil Data", "--dir", str(DEMO)]
    for keywords, flags in [
        (dict(lithology=1), ["--lithology", "1"]),
        (dict(location=1, method=2), ["--location", "1", "--method", "2"]),
        (dict(search_percent=True, swc=20, sor=25, tolerance=10),
         ["--search-percent", "--swc", "20", "--sor", "25", "--tolerance", "10"]),
    ]:
        expected = int(program(["db", "count", *where, *flags])[1])
        assert db.count("Water-Oil Data", **keywords) == expected, keywords
        assert len(db.sets("Water-Oil Data", **keywords)) == expected, keywords


@pytest.mark.parametrize("system,match,model,weight", [
    ("Water-Oil Data", 1, "corey", "kr"),
    ("Water-Oil Data", 4, "let", "log"),
    ("Gas-Oil Data", 2, "corey", "kr"),
    ("Gas-Water Data", 1, "let", "kr"),
])
def test_fit_gives_the_parameter_file(system, match, model, weight):
    data_set = relperm.Database(DEMO).sets(system)[match - 1]
    out = program(["fit", "--system", system, "--dir", str(DEMO), "--match", str(match),
                   "--model", model, "--weight", weight])[1]
    head, values = rows(out)
    fitted = relperm.fit(data_set, model, weight=weight)
    assert ["satnum", *fitted] == head
    assert [general(v) for v in fitted.values()] == numbers(values[1:])


@pytest.mark.parametrize("system,model,options,flags", [
    ("Water-Oil Data", "corey", {}, []),
    ("Gas-Oil Data", "let", dict(weight="log"), ["--weight", "log"]),
    ("Water-Oil Data", "corey", dict(lithology=1, max_rms=0.05),
     ["--lithology", "1", "--max-rms", "0.05"]),
])
def test_recommend_gives_the_parameter_file(system, model, options, flags):
    db = relperm.Database(DEMO)
    out = program(["recommend", "--system", system, "--dir", str(DEMO), "--model", model,
                   *flags])[1]
    head, *cases = rows(out)
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # the sets left out, as standard error names them
        recommended = relperm.recommend(db, system, model, **options)
    assert [list(r) for r in recommended] == [head] * 3
    for ours, theirs in zip(recommended, cases):
        assert ours["satnum"] == int(theirs[0]) and ours["case"] == theirs[1]
        assert [general(v) for v in list(ours.values())[2:]] == numbers(theirs[2:])
    # A recommendation's parameter file is a parameter table.
    assert relperm.tables(pd.DataFrame(recommended), int_param_wo=0.5).startswith("--")


@pytest.mark.parametrize("options,flags", [
    ({}, []),
    (dict(family=2), ["--family", "2"]),
    (dict(slgof=True, delta_s=0.05), ["--slgof", "--delta-s", "0.05"]),
    (dict(delta_s=0.02, family=1), ["--delta-s", "0.02", "--family", "1"]),
])
def test_tables_of_a_file_a_dataframe_and_dicts_are_the_programs(three_regions, options, flags):
    status, out, _ = program(["tables", str(three_regions), *flags])
    assert status == 0
    assert relperm.tables(str(three_regions), **options) == out.decode()
    assert relperm.tables(three_regions, **options) == out.decode()
    frame = pd.read_csv(three_regions)
    from_frame = relperm.tables(frame, **options)
    from_dicts = relperm.tables(frame.to_dict("records"), **options)
    assert from_frame == from_dicts
    # The head names where the table came from; the tables themselves are the same.
    assert _body(from_frame) == _body(out.decode())


def _body(text):
    return [line for line in text.splitlines() if not line.startswith("--")]


def test_tables_interpolates_a_recommendation_per_satnum(tmp_path):
    path = tmp_path / "scal.csv"
    path.write_text("SATNUM,CASE,swl,sorw,nw,now,krwend,kroend\n"
                    "1,low,0.15,0.25,3,3.5,0.4,0.8\n1,base,0.1,0.2,2.5,3,0.5,0.9\n"
                    "1,high,0.05,0.15,2,2.5,0.6,1\n"
                    "2,low,0.2,0.3,3,3.5,0.4,0.8\n2,base,0.15,0.25,2.5,3,0.5,0.9\n"
                    "2,high,0.1,0.2,2,2.5,0.6,1\n")
    out = program(["tables", str(path), "--int-param-wo", "-0.5,0.25"])[1].decode()
    assert relperm.tables(path, int_param_wo=[-0.5, 0.25]) == out
    assert relperm.tables(path, int_param_wo=(-0.5, 0.25)) == out
    one = program(["tables", str(path), "--int-param-wo", "1"])[1].decode()
    assert relperm.tables(str(path), int_param_wo=1) == one


def test_a_dataframes_missing_values_are_empty_cells(three_regions, tmp_path):
    # Region 3 water-oil only: its gas columns empty, as in a file with empty cells.
    text = THREE_REGIONS.replace("3,silt,0.1,0.2,0.2,0.2,0.2,0.05,2.5,2.5,2,2",
                                 "3,silt,0.1,0.2,0.2,0.2,,,2.5,2.5,,")
    path = tmp_path / "mixed.csv"
    path.write_text(text)
    status, out, err = program(["tables", str(path)])
    frame = pd.read_csv(path)
    assert frame.isna().any().any()
    if status == 0:
        assert _body(relperm.tables(frame)) == _body(out.decode())
    else:
        with pytest.raises(ValueError) as refused:
            relperm.tables(frame)
        assert str(refused.value) == err.decode().split(": ", 1)[1].strip() \
            .replace(str(path), "the parameters")


BAD_DECK = """SWOF
0.1 0 1 0
0.5 0.3 0.4 0
0.4 0.2 0.1 0
0.9 0.2 0 0 /
SGOF
0 0 1 0
0.5 0.4 0.2 0
0.9 1 0.1 0 /
"""


def test_check_gives_the_findings_of_deck_check(tmp_path):
    path = tmp_path / "bad.inc"
    path.write_text(BAD_DECK)
    status, out, _ = program(["deck", "check", str(path), "--format", "csv"])
    assert status == 2
    head, *expected = rows(out)
    found = relperm.check(str(path))
    assert len(found) == len(expected) > 0
    for finding, row in zip(found, expected):
        assert list(finding) == head
        assert [str(v) for v in finding.values()] == row
    # The same text given as text: the same findings, named after no file.
    from_text = relperm.check(BAD_DECK)
    assert [{**f, "file": ""} for f in from_text] == [{**f, "file": ""} for f in found]
    assert {f["file"] for f in from_text} == {"<text>"}


def test_check_of_good_tables_finds_nothing(three_regions):
    include = relperm.tables(three_regions)
    assert relperm.check(include) == []
