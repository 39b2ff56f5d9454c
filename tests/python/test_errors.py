# Refused input raises ValueError with the program's message (without "relperm COMMAND: "),
# a file that cannot be read OSError, and a keyword no function takes TypeError.
import warnings

import pytest

from conftest import DEMO, program, refusal, relperm

WATER_OIL = ["--system", "Water-Oil Data", "--dir", str(DEMO)]


def raised(call):
    try:
        call()
    except (ValueError, OSError) as error:
        return (1 if isinstance(error, OSError) else 2), str(error)
    pytest.fail("no exception")


REFUSALS = {
    "generate: not a number": (
        lambda: relperm.generate(swc="abc"), ["generate", "--swc", "abc"], "generate"),
    "generate: no movable range": (
        lambda: relperm.generate(fluids="Water-Oil-Gas", correlation="Corey", swc=20, sorw=90,
                                 sorg=10, sgc=5),
        ["generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey", "--swc", "20",
         "--sorw", "90", "--sorg", "10", "--sgc", "5"], "generate"),
    "generate: spacing": (
        lambda: relperm.generate(correlation="Corey", swc=20, spacing=0),
        ["generate", "--correlation", "Corey", "--swc", "20", "--spacing", "0"], "generate"),
    "generate: run file missing": (
        lambda: relperm.generate(run="/nonexistent/field.run"),
        ["generate", "--run", "/nonexistent/field.run"], "generate"),
    "database: folder missing": (
        lambda: relperm.Database("/nonexistent"),
        ["db", "count", "--system", "Water-Oil Data", "--dir", "/nonexistent"], "db"),
    "database: system": (
        lambda: relperm.Database(DEMO).count("Oil Data"),
        ["db", "count", "--system", "Oil Data", "--dir", str(DEMO)], "db"),
    "database: list index": (
        lambda: relperm.Database(DEMO).sets("Water-Oil Data", location=9),
        ["db", "list", *WATER_OIL, "--location", "9"], "db"),
    "database: wettability of gas data": (
        lambda: relperm.Database(DEMO).sets("Gas-Oil Data", wettability=1),
        ["db", "list", "--system", "Gas-Oil Data", "--dir", str(DEMO), "--wettability", "1"],
        "db"),
    "fit: model": (
        lambda: relperm.fit(relperm.Database(DEMO).sets("Water-Oil Data")[0], "spline"),
        ["fit", *WATER_OIL, "--match", "1", "--model", "spline"], "fit"),
    "fit: weight": (
        lambda: relperm.fit(relperm.Database(DEMO).sets("Water-Oil Data")[0], "corey",
                            weight="square"),
        ["fit", *WATER_OIL, "--match", "1", "--model", "corey", "--weight", "square"], "fit"),
    "recommend: max rms": (
        lambda: relperm.recommend(relperm.Database(DEMO), "Water-Oil Data", "corey", max_rms=0),
        ["recommend", *WATER_OIL, "--model", "corey", "--max-rms", "0"], "recommend"),
    "recommend: nothing matches": (
        lambda: relperm.recommend(relperm.Database(DEMO), "Water-Oil Data", "corey",
                                  search_percent=True, swc=99, tolerance=0.1),
        ["recommend", *WATER_OIL, "--model", "corey", "--search-percent", "--swc", "99",
         "--tolerance", "0.1"], "recommend"),
    "tables: file missing": (
        lambda: relperm.tables("/nonexistent/params.csv"),
        ["tables", "/nonexistent/params.csv"], "tables"),
    "tables: family": (
        lambda: relperm.tables("/nonexistent/params.csv", family=3),
        ["tables", "/nonexistent/params.csv", "--family", "3"], "tables"),
    "tables: delta-s": (
        lambda: relperm.tables("/nonexistent/params.csv", delta_s=2),
        ["tables", "/nonexistent/params.csv", "--delta-s", "2"], "tables"),
    "check: file missing": (
        lambda: relperm.check("/nonexistent/deck.DATA"),
        ["deck", "check", "/nonexistent/deck.DATA"], "deck check"),
}


@pytest.mark.parametrize("call,args,command", REFUSALS.values(), ids=REFUSALS.keys())
def test_errors_carry_the_programs_message(call, args, command):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        assert raised(call) == refusal(args, command)


def test_a_bad_parameter_is_named_by_row_and_column(tmp_path):
    path = tmp_path / "bad.csv"
    path.write_text("SATNUM,swl,sorw,nw,now,krwend,kroend\n1,0.1,0.2,2,2,0.5,1\n"
                    "2,0.1,0.2,two,2,0.5,1\n")
    status, message = refusal(["tables", str(path)], "tables")
    assert (status, message) == raised(lambda: relperm.tables(path))
    assert f"{path} row 3, column nw" in message
    # Rows given in Python are numbered as in the file, the column names being row 1.
    rows = [{"SATNUM": 1, "swl": 0.1, "sorw": 0.2, "nw": 2, "now": 2, "krwend": 0.5,
             "kroend": 1},
            {"SATNUM": 2, "swl": 0.1, "sorw": 0.2, "nw": "two", "now": 2, "krwend": 0.5,
             "kroend": 1}]
    assert raised(lambda: relperm.tables(rows)) == \
        (2, message.replace(str(path), "the parameters"))


def test_check_refuses_text_that_is_no_tables():
    with pytest.raises(ValueError, match="holds no saturation table"):
        relperm.check("RUNSPEC\nDIMENS\n 10 10 3 /\n")
    with pytest.raises(OSError, match="cannot include files"):
        relperm.check("INCLUDE\n 'swof.inc' /\n")


def test_fractions_warn_as_the_program_does():
    status, _, err = program(["generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey",
                              "--swc", "0.2", "--sorw", "0.25", "--sorg", "0.1", "--sgc", "0.05"])
    assert status == 0 and b"warning" in err
    with pytest.warns(UserWarning) as warned:
        relperm.generate(fluids="Water-Oil-Gas", correlation="Corey", swc=0.2, sorw=0.25,
                         sorg=0.1, sgc=0.05)
    assert [str(w.message) for w in warned] == \
        [err.decode().removeprefix("relperm generate: warning: ").strip()]


def test_unknown_keywords_are_type_errors():
    with pytest.raises(TypeError, match="unexpected keyword argument 'swx'"):
        relperm.generate(swx=20)
    with pytest.raises(TypeError, match="'format'"):
        relperm.generate(format="grid")
    with pytest.raises(TypeError, match="'lithologie'"):
        relperm.Database(DEMO).count("Water-Oil Data", lithologie=1)
    with pytest.raises(TypeError):
        relperm.tables(42)
