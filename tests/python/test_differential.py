"""The module against brelvoxa itself: every sample file of tests/cli/dades run
through the real brelvoxa, and each row's account cell checked by the module must
give the six cells brelvoxa added. Left out: the four-column files, whose account is
not one cell, and files with rows brelvoxa cannot read, whose open quotes it ends
otherwise than Python's csv."""
import csv
import io
import os
import pathlib
import re
import subprocess

import pytest

import brelvoxa

DADES = pathlib.Path(os.environ.get("BRELVOXA_SOURCE", ".")) / "tests" / "cli" / "dades"
EXE = os.environ.get("BRELVOXA_EXE")
ENCODINGS = {"UTF-8": "utf-8-sig", "UTF-16LE": "utf-16", "UTF-16BE": "utf-16", "Windows-1252": "cp1252"}
SEPARATORS = {"«;»": ";", "«,»": ",", "tabulador": "\t"}


def cells(text):
    r = brelvoxa.check(text)
    return [r.iban, r.paper, r.bic, r.name, r.status.value, r.suggestion]


def rows(path):
    """Each data row brelvoxa wrote: (account cell, the six cells it added)."""
    run = subprocess.run([EXE, str(path)], capture_output=True, check=False)
    assert run.returncode in (0, 1), run.stderr
    said = run.stderr.decode("utf-8").splitlines()[0]
    if "columnes" in said or "fila il·legible" in run.stderr.decode("utf-8"):
        pytest.skip("four columns, or rows brelvoxa cannot read")
    text = run.stdout.decode(ENCODINGS[re.search(r"(UTF-8|UTF-16..|Windows-1252)", said)[1]])
    # Before the data, blank rows aside: the title lines and the header.
    skip = ("és la capçalera" in said) + sum(map(int, re.findall(r"a sobre, (\d+) fil", said)))
    if "llista" in said:  # a DOS end-of-file mark comes back last, after the rows
        table = [line.rsplit("\t", 6) for line in text.removesuffix("\x1a").splitlines()]
        return [(row[0], row[1:]) for row in table if row[0].strip()][skip:]
    separator = SEPARATORS[re.search(r"separat per («.»|tabulador)", said)[1]]
    column = int(re.search(r"columna (\d+)", said)[1]) - 1
    table = csv.reader(io.StringIO(text, newline=""), delimiter=separator)
    return [(row[column], row[-6:]) for row in table if "".join(row).strip()][skip:]


# The samples that are no list: workbooks, which tests/cli/test_workbooks.py checks
# against the same CSV cells, and binary files brelvoxa refuses.
NOT_LISTS = {"llibre.xlsx", "llibre.ods", "antic.xls", "document.pdf", "nuls.txt"}


@pytest.mark.skipif(EXE is None, reason="brelvoxa is not built")
@pytest.mark.parametrize(
    "name", sorted(p.name for p in DADES.iterdir() if p.is_file() and p.name not in NOT_LISTS))
def test_the_module_gives_the_cells_brelvoxa_writes(name):
    written = rows(DADES / name)
    assert written
    for account, added in written:
        assert cells(account) == [cell or None for cell in added], account
