# The README's Python example runs as shown, from the top of a clone whose build/demo is
# this build's demo database.
import contextlib
import io
import os
import re

from conftest import DEMO, SOURCE


def test_the_readmes_example_runs(tmp_path, monkeypatch):
    readme = (SOURCE / "README.md").read_text()
    section = readme.split("\n## Python\n", 1)[1].split("\n## ", 1)[0]
    examples = re.findall(r"```python\n(.*?)```", section, re.S)
    assert len(examples) == 1
    (tmp_path / "build").mkdir()
    os.symlink(DEMO, tmp_path / "build" / "demo")
    monkeypatch.chdir(tmp_path)
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(examples[0], "README.md", "exec"), {})
    lines = printed.getvalue().splitlines()
    assert len(lines) == 4
    assert lines[0].startswith("(")
    assert "sets; median nw" in lines[1]
    assert lines[2].startswith("--")
    assert re.fullmatch(r"0 \d+", lines[3])
