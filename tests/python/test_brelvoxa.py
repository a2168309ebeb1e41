"""The module brelvoxa: each function on the forms people write, the exceptions
validate raises, and many threads at once; its docstrings' examples as doctests."""
import ast
import concurrent.futures
import doctest
import inspect
import re
from pathlib import Path

import pytest

import brelvoxa
from brelvoxa import Status

ES91 = "ES9121000418450200051332"
NBSP, THIN, EN_DASH = "\u00a0", "\u2009", "\u2013"
FULL_WIDTH_13 = "\uff11\uff13"

# text, status, IBAN, BIC, suggestion
CHECKS = [
    ("2100 0418 45 0200051332", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    ("iban es91-2100-0418-4502-0005-1332", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    (f"ES91{NBSP}2100{THIN}0418{EN_DASH}4502 0005 {FULL_WIDTH_13}32", Status.CORRECT, ES91,
     "CAIXESBBXXX", None),
    ("9999 0418 85 0200051332", Status.UNKNOWN_ENTITY, "ES5399990418850200051332", None, None),
    ("FR14 2004 1010 0505 0001 3M02 606", Status.FOREIGN_CORRECT, "FR1420041010050500013M02606",
     None, None),
    ("ES91 2100 0418 4502 0005 1323", Status.WRONG_CONTROL_DIGITS, None, None,
     "ES91 2100 0418 4502 0005 1332"),
    ("ES19 2100 0418 4502 0005 1332", Status.WRONG_IBAN_DIGITS, None, None,
     "ES91 2100 0418 4502 0005 1332"),
    ("GB29 NWBK 6016 1331 9268 1", Status.FOREIGN_MALFORMED, None, None, None),
    # Well formed, so written, but the Belgian account's own check digits are wrong.
    ("BE41 5390 0754 7035", Status.WRONG_NATIONAL_DIGITS, "BE41539007547035", None, None),
    ("IT60 X154 2811 1010 0000 0123 456", Status.WRONG_IBAN_DIGITS, None, None,
     "IT60 X054 2811 1010 0000 0123 456"),
    ("0000 0000 00 0000000000", Status.ALL_ZEROS, None, None, None),
    ("2100 0418 45 020005133", Status.NOT_AN_ACCOUNT, None, None, None),
    ("2.10004E+19", Status.SCIENTIFIC_NOTATION, None, None, None),
    ('="21000418450200051332"', Status.CORRECT, ES91, "CAIXESBBXXX", None),
    # A lone surrogate has no UTF-8 form: a text in no encoding at all.
    ("2100\udcff0418450200051332", Status.NOT_AN_ACCOUNT, None, None, None),
    (" " * (1 << 20) + "21000418450200051332", Status.CORRECT, ES91, "CAIXESBBXXX", None),
    ("", Status.NO_ACCOUNT, None, None, None),
    (None, Status.NO_ACCOUNT, None, None, None),
    (float("nan"), Status.NO_ACCOUNT, None, None, None),
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
    ("2100 0418 45 02000513X2", brelvoxa.InvalidFormat),
    ("2,10004E+19", brelvoxa.InvalidFormat),
    ("GB29 NWBK 6016 1331 9268 190", brelvoxa.InvalidLength),
    ("GB29 NWB1 6016 1331 9268 19", brelvoxa.InvalidFormat),
    ("XX89 3704 0044 0532 0130 00", brelvoxa.InvalidComponent),
    ("0000 0000 00 0000000000", brelvoxa.InvalidComponent),
]


@pytest.mark.parametrize("text,kind", FAULTS)
def test_validate_raises_the_fault_s_own_error(text, kind):
    with pytest.raises(kind) as e:
        brelvoxa.validate(text)
    assert isinstance(e.value, ValueError) and str(e.value) == e.value.status.value


def test_threads_checking_at_once_each_get_their_own_results():
    texts = [row[0] for row in CHECKS if len(str(row[0])) < 64] * 500
    expected = [brelvoxa.check(t) for t in texts]
    with concurrent.futures.ThreadPoolExecutor(4) as pool:
        got = list(pool.map(lambda _: brelvoxa.check_many(t for t in texts), range(4)))
    assert got == [expected] * 4
    with pytest.raises(TypeError):
        brelvoxa.check_many(["2100 0418 45 0200051332", 21000418450200051332])


def test_the_docstrings_examples_run():
    assert doctest.testmod(brelvoxa).failed == 0


def test_the_type_stubs_declare_what_the_module_has():
    stub = ast.parse(Path(brelvoxa.__file__).with_suffix(".pyi").read_text())
    declared = {}
    for node in stub.body:
        if isinstance(node, ast.FunctionDef):
            declared[node.name] = [a.arg for a in node.args.args]
        elif isinstance(node, ast.ClassDef):
            declared[node.name] = [n.target.id for n in node.body if isinstance(n, ast.AnnAssign)]
        elif isinstance(node, ast.AnnAssign):
            declared[node.target.id] = None
    assert set(declared) == set(brelvoxa.__all__) | {"__version__"}
    for name, params in declared.items():
        if inspect.isfunction(getattr(brelvoxa, name)):
            assert params == list(inspect.signature(getattr(brelvoxa, name)).parameters), name
    assert declared["Status"] == [s.name for s in Status]
    assert declared["Result"] == list(brelvoxa.Result._fields)
