# What the module's tests share: the module of this build, the relperm program built with it
# (whose output the module must give), and the demo database.
import os
import subprocess
import sys
from pathlib import Path

import pytest

sys.path.insert(0, os.environ.get("PYTHONPATH", ""))
import relperm  # noqa: E402

PROGRAM = os.environ["RELPERM"]
DEMO = Path(os.environ["RELPERM_DEMO"])
SOURCE = Path(os.environ["RELPERM_SOURCE"])

# Three regions of three phases with simple-J capillary pressure, as the benchmark times.
THREE_REGIONS = (
    "SATNUM,comment,swirr,swl,swcr,sorw,sorg,sgcr,nw,now,ng,nog,krwend,krgend,kroend,"
    "a,b,poro_ref,perm_ref,drho\n"
    "1,sand,0.05,0.1,0.15,0.2,0.15,0.05,2,2.5,1.5,2,0.5,0.9,1,0.321,-1.283,0.25,1000,300\n"
    "2,shale,0.2,0.3,0.35,0.25,0.2,0.1,3,3,2.5,2.5,0.4,0.7,0.8,0.321,-1.283,0.18,300,300\n"
    "3,silt,0.1,0.2,0.2,0.2,0.2,0.05,2.5,2.5,2,2,0.45,0.8,0.9,0.321,-1.283,0.2,500,300\n"
)


def program(args, cwd=None):
    """The relperm program run as a process: (status, stdout, stderr) as bytes."""
    done = subprocess.run([PROGRAM, *args], capture_output=True, cwd=cwd, check=False)
    return done.returncode, done.stdout, done.stderr


def refusal(args, command):
    """The one line a refused command writes on standard error, without its prefix."""
    status, _, err = program(args)
    assert status in (1, 2), (args, status, err)
    text = err.decode()
    prefix = f"relperm {command}: "
    assert text.startswith(prefix) and text.endswith("\n") and text.count("\n") == 1, text
    return status, text[len(prefix):-1]


def general(value):
    """A value as the program writes it: the shortest text of at most 15 digits, read back."""
    return float(f"{value:.15g}")


@pytest.fixture
def three_regions(tmp_path):
    path = tmp_path / "three.csv"
    path.write_text(THREE_REGIONS)
    return path
