"""The README's section "Com a biblioteca": its C example compiled against the
library and its Python example run, each printing what the README shows after it;
and the tables' editions it names are those compiled in."""
import os
import pathlib
import re
import subprocess
import sys

import brelvoxa

README = (pathlib.Path(os.environ.get("BRELVOXA_SOURCE", ".")) / "README.md").read_text()
SECTION = README.split("## Com a biblioteca")[1].split("\n## ")[0]


def example(language):
    """The example's code and the output shown in the next text block."""
    code, shown = re.search(rf"```{language}\n(.*?)```.*?```text\n(.*?)```", SECTION, re.S).groups()
    return code, shown


def test_the_c_example_prints_what_the_readme_shows(tmp_path):
    code, shown = example("c")
    (tmp_path / "exemple.c").write_text(code)
    subprocess.run([os.environ["BRELVOXA_CC"], "-std=c99", "-Wall", "-Werror", "exemple.c",
                    "-I", os.environ["BRELVOXA_INCLUDE"], "-L", os.environ["BRELVOXA_LIBDIR"],
                    "-lbrelvoxa", "-o", "exemple"], cwd=tmp_path, check=True)
    env = dict(os.environ, LD_LIBRARY_PATH=os.environ["BRELVOXA_LIBDIR"])
    run = subprocess.run([tmp_path / "exemple"], env=env, capture_output=True, check=True)
    assert run.stdout.decode() == shown


def test_the_python_example_prints_what_the_readme_shows_and_the_editions_are_right():
    code, shown = example("python")
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, check=True)
    assert run.stdout.decode() == shown
    words = " ".join(README.split())
    assert f"Directori d'entitats: {brelvoxa.DIRECTORY_EDITION}" in words
    assert f"registry's {brelvoxa.REGISTRY_EDITION} (" in words
