# relperm.run is the program in the process: the same status and the same bytes on both
# streams, refusals included, and nothing written to the process's own streams.
import pytest

from conftest import DEMO, program, relperm

WATER_OIL = ["--system", "Water-Oil Data", "--dir", str(DEMO)]
GAS_OIL = ["--system", "Gas-Oil Data", "--dir", str(DEMO)]

CALLS = {
    "generate export": ["generate", "--fluids", "Water-Oil-Gas", "--correlation", "Corey",
                        "--swc", "20", "--sorw", "25", "--sorg", "10", "--sgc", "5"],
    "generate simulator": ["generate", "--fluids", "Water-Gas", "--correlation", "Rose",
                           "--porosity", "20", "--permeability", "150", "--swc", "20",
                           "--sgc", "5", "--format", "simulator"],
    "generate fractions warned": ["generate", "--correlation", "Corey", "--swc", "0.2",
                                  "--sorw", "0.25", "--sorg", "0.1", "--sgc", "0.05"],
    "generate refused": ["generate", "--swc", "abc"],
    "generate unknown option": ["generate", "--swx", "20"],
    "db count": ["db", "count", *WATER_OIL],
    "db count selection": ["db", "count", *GAS_OIL, "--lithology", "1"],
    "db show": ["db", "show", *WATER_OIL, "--match", "2"],
    "db show past the last": ["db", "show", *WATER_OIL, "--match", "100000"],
    "db list": ["db", "list", *GAS_OIL],
    "db refused": ["db", "count", "--system", "Oil Data", "--dir", str(DEMO)],
    "db missing folder": ["db", "count", "--system", "Water-Oil Data", "--dir", "/nonexistent"],
    "fit params": ["fit", *WATER_OIL, "--match", "1", "--model", "corey"],
    "fit let tables": ["fit", *GAS_OIL, "--match", "2", "--model", "let", "--format", "sgof"],
    "fit compare": ["fit", *WATER_OIL, "--match", "3", "--model", "corey", "--compare"],
    "fit refused": ["fit", *WATER_OIL, "--match", "1", "--model", "spline"],
    "recommend": ["recommend", *WATER_OIL, "--model", "corey"],
    "recommend tables": ["recommend", *GAS_OIL, "--model", "let", "--format", "sgof",
                         "--interpolate", "0.5"],
    "recommend refused": ["recommend", *WATER_OIL, "--model", "corey", "--max-rms", "0"],
    "tables missing file": ["tables", "/nonexistent/params.csv"],
    "no command": [],
    "unknown command": ["frobnicate"],
    "help": ["--help"],
    "version": ["--version"],
}


@pytest.mark.parametrize("args", CALLS.values(), ids=CALLS.keys())
def test_run_gives_what_the_program_gives(args, capfd):
    expected = program(args)
    assert relperm.run(args) == expected
    # Captured, not written to this process's standard output or error.
    assert capfd.readouterr() == ("", "")


def test_run_of_tables_equals_the_program(three_regions):
    for extra in ([], ["--family", "2"], ["--slgof", "--delta-s", "0.05"],
                  ["--family", "3"], ["--int-param-wo", "x"]):
        args = ["tables", str(three_regions), *extra]
        assert relperm.run(args) == program(args), extra


def test_run_writes_out_files_as_the_program_does(tmp_path):
    args = ["db", "list", *WATER_OIL, "--out"]
    status, out, err = relperm.run([*args, str(tmp_path / "module.csv")])
    assert (status, out, err) == (0, b"", b"")
    program([*args, str(tmp_path / "program.csv")])
    assert (tmp_path / "module.csv").read_bytes() == (tmp_path / "program.csv").read_bytes()


def test_run_takes_only_a_list_of_texts():
    with pytest.raises(TypeError):
        relperm.run("db count")
