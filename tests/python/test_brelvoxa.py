"""The module brelvoxa: each function on each status (the forms people write: the
samples test_differential.py runs through it), the items a pandas column holds, the
exceptions validate raises and how they travel, many threads and processes at once,
Ctrl+C; its docstrings' examples as doctests and its stubs against it."""
import concurrent.futures
import copy
import doctest
import json
import pickle
import re
import signal
import subprocess
import sys
import time
from decimal import Decimal

import numpy
import pandas as pd
import pytest

import brelvoxa
from brelvoxa import Status

ES91 = "ES9121000418450200051332"


class Unreadable:
    def __str__(self):
        raise RuntimeError("no text")


# text, status, IBAN, BIC, suggestion
CHECKS = [
    ("2100 0418 45 0200051332", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    ("9999 0418 85 0200051332", Status.UNKNOWN_ENTITY, "ES5399990418850200051332", None, None),
    ("FR14 2004 1010 0505 0001 3M02 606", Status.FOREIGN_CORRECT, "FR1420041010050500013M02606",
     None, None),
    ("ES91 2100 0418 4502 0005 1323", Status.WRONG_CONTROL_DIGITS, None, None,
     "ES91 2100 0418 4502 0005 1332"),
    ("ES19 2100 0418 4502 0005 1332", Status.WRONG_IBAN_DIGITS, None, None,
     "ES91 2100 0418 4502 0005 1332"),
    ("GB29 NWBK 6016 1331 9268 1", Status.FOREIGN_MALFORMED, None, None, None),
    # The RIB key reads S to Z as 2 to 9; Belgium's remainder 0 is written 97.
    ("FR81 3000 2005 5000 0015 7SZ4 166", Status.FOREIGN_CORRECT, "FR8130002005500000157SZ4166",
     None, None),
    ("BE54 5390 0755 3397", Status.FOREIGN_CORRECT, "BE54539007553397", None, None),
    # Well formed, so written, but the Belgian account's own check digits are wrong.
    ("BE41 5390 0754 7035", Status.WRONG_NATIONAL_DIGITS, "BE41539007547035", None, None),
    ("IT60 X154 2811 1010 0000 0123 456", Status.WRONG_IBAN_DIGITS, None, None,
     "IT60 X054 2811 1010 0000 0123 456"),
    ("0000 0000 00 0000000000", Status.ALL_ZEROS, None, None, None),
    ("2100 0418 45 020005133", Status.NOT_AN_ACCOUNT, None, None, None),
    ("2.10004E+19", Status.SCIENTIFIC_NOTATION, None, None, None),
    # A lone surrogate has no UTF-8 form: a text in no encoding at all.
    ("2100\udcff0418450200051332", Status.NOT_AN_ACCOUNT, None, None, None),
    (" " * (1 << 20) + "21000418450200051332", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    # A line as a file gives it; a line end inside is no account.
    ("21000418450200051332\n", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    (" ES91 2100 0418 4502 0005 1332\r\n", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    (b"2100 0418 45 0200051332\r", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    ("2100 0418 45\n0200051332", Status.NOT_AN_ACCOUNT, None, None, None),
    # An object column's other items: read as their str().
    (21000418450200051332, Status.CORRECT, ES91, "CAIXESBBXXX", None),
    (Decimal("21000418450200051332"), Status.CORRECT, ES91, "CAIXESBBXXX", None),
    (12.5, Status.NOT_AN_ACCOUNT, None, None, None),
    (2.1000418450200051e19, Status.SCIENTIFIC_NOTATION, None, None, None),
    (Unreadable(), Status.NOT_AN_ACCOUNT, None, None, None),
    # Missing values, and empty texts.
    ("", Status.NO_ACCOUNT, None, None, None),
    ("\r\n", Status.NO_ACCOUNT, None, None, None),
    (None, Status.NO_ACCOUNT, None, None, None),
    (float("nan"), Status.NO_ACCOUNT, None, None, None),
    (numpy.float32("nan"), Status.NO_ACCOUNT, None, None, None),
    (Decimal("NaN"), Status.NO_ACCOUNT, None, None, None),
    (pd.NA, Status.NO_ACCOUNT, None, None, None),
    (pd.NaT, Status.NO_ACCOUNT, None, None, None),
]


@pytest.mark.parametrize("text,status,iban,bic,suggestion", CHECKS, ids=lambda v: repr(v)[:32])
def test_check_gives_what_brelvoxa_writes(text, status, iban, bic, suggestion):
    r = brelvoxa.check(text)
    assert (r.status, r.iban, r.bic, r.suggestion) == (status, iban, bic, suggestion)
    assert r.paper == (None if iban is None else " ".join(re.findall(".{1,4}", iban)))
    assert (r.name is not None) == (bic is not None)
    valid = iban is not None and status is not Status.WRONG_NATIONAL_DIGITS
    assert (brelvoxa.is_valid(text), brelvoxa.suggest(text)) == (valid, suggestion)
    if not valid:
        with pytest.raises(brelvoxa.ValidationError) as e:
            brelvoxa.validate(text)
        assert (e.value.status, e.value.suggestion) == (status, suggestion)
    else:
        assert brelvoxa.validate(text) == iban
        assert brelvoxa.format(text) == r.paper
        assert (brelvoxa.to_bic(text), brelvoxa.bank_name(text)) == (bic, r.name)
    assert brelvoxa.check_many([text, text]) == [r, r]


# text, exception validate raises
FAULTS = [
    ("2100 0418 45 0200051333", brelvoxa.InvalidChecksum),
    ("DE88 3704 0044 0532 0130 00", brelvoxa.InvalidChecksum),
    ("BE41 5390 0754 7035", brelvoxa.InvalidChecksum),
    ("2100 0418 45 020005133", brelvoxa.InvalidLength),
    ("", brelvoxa.InvalidLength),
    ("2100 0418 45\r\n0200051332", brelvoxa.InvalidFormat),
    ("2100 0418 45 02000513X2", brelvoxa.InvalidFormat),
    ("2,10004E+19", brelvoxa.InvalidFormat),
    ("GB29 NWBK 6016 1331 9268 190", brelvoxa.InvalidLength),
    ("GB29 NWB1 6016 1331 9268 19", brelvoxa.InvalidFormat),
    ("XX89 3704 0044 0532 0130 00", brelvoxa.InvalidComponent),
    ("0000 0000 00 0000000000", brelvoxa.InvalidComponent),
]


@pytest.mark.parametrize("text,kind", FAULTS)
def test_validate_raises_the_fault_s_own_error_which_copies_and_pickles(text, kind):
    with pytest.raises(kind) as e:
        brelvoxa.validate(text)
    error = e.value
    assert isinstance(error, ValueError) and str(error) == error.message == error.status
    for again in (copy.copy, copy.deepcopy, lambda x: pickle.loads(pickle.dumps(x))):
        c = again(error)
        assert (type(c), str(c), c.message, c.status, c.suggestion) == (
            kind, str(error), error.message, error.status, error.suggestion)
    made = kind()
    assert (str(made), made.message, made.status, made.suggestion) == (
        kind.message, kind.message, None, None)


def test_a_process_pool_gets_a_bad_row_s_error_back():
    code = """if True:
        import multiprocessing, brelvoxa
        with multiprocessing.Pool(2) as pool:
            try:
                pool.map(brelvoxa.validate, ["2100 0418 45 0200051332",
                                             "ES91 2100 0418 4502 0005 1323"])
            except brelvoxa.InvalidChecksum as error:
                print(error.status.name, error.suggestion)"""
    run = subprocess.run([sys.executable, "-c", code], capture_output=True, timeout=60, check=True)
    assert run.stdout.decode() == "WRONG_CONTROL_DIGITS ES91 2100 0418 4502 0005 1332\n"


def test_threads_checking_at_once_each_get_their_own_results():
    # More than one batch: only a whole batch is checked without the GIL.
    texts = [row[0] for row in CHECKS if len(repr(row[0])) < 64] * 5000
    expected = [brelvoxa.check(t) for t in texts]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        got = list(pool.map(lambda _: brelvoxa.check_many(t for t in texts), range(4)))
    assert got == [expected] * 4


@pytest.mark.parametrize("one", ["ES9121000418450200051332", b"21000418450200051332"])
def test_check_many_of_one_text_says_it_wants_many(one):
    with pytest.raises(TypeError, match="not one text"):
        brelvoxa.check_many(one)


def test_a_pandas_column_s_results_line_up_and_its_statuses_write_as_text():
    s = pd.Series(["2100 0418 45 0200051332", pd.NA, "ES91"], index=[7, 3, 5], dtype="string")
    df = pd.DataFrame(brelvoxa.check_many(s), index=s.index)
    assert list(df.index) == [7, 3, 5] and list(df.status == "correcte") == [True, False, False]
    assert df.loc[3, "status"] == Status.NO_ACCOUNT and df.loc[7, "iban"] == ES91
    assert df.to_csv(columns=["status"]).splitlines()[1:] == [
        "7,correcte", "3,sense compte", "5,no és un compte"]
    assert json.loads(json.dumps(list(df.status))) == ["correcte", "sense compte", "no és un compte"]


def test_ctrl_c_interrupts_a_long_check_many_long_before_it_ends():
    # About 20 s of accounts whose search for a suggestion is the slowest; a batch
    # takes a fraction of a second, the bound leaves room for the sanitizers' build
    # (3 s a batch) on a busy machine.
    code = """if True:
        import brelvoxa
        texts = ["ES91 2100 0418 4502 0005 1323"] * 8_000_000
        print("ready", flush=True)
        try:
            brelvoxa.check_many(texts)
        except KeyboardInterrupt:
            print("interrupted")"""
    with subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE) as child:
        assert child.stdout.readline() == b"ready\n"
        time.sleep(0.3)
        child.send_signal(signal.SIGINT)
        try:
            said, _ = child.communicate(timeout=10)
        finally:
            child.kill()
    assert said == b"interrupted\n"


def test_the_docstrings_examples_run():
    assert doctest.testmod(brelvoxa).failed == 0


def test_the_type_stubs_are_what_stubtest_finds_in_the_module(tmp_path):
    # Run from an empty folder, so that mypy looks for the module where Python does.
    run = subprocess.run([sys.executable, "-m", "mypy.stubtest", "brelvoxa"], capture_output=True,
                         cwd=tmp_path, check=False)
    assert run.returncode == 0, run.stdout.decode()
