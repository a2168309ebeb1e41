"""The national check digits against python-stdnum (Debian's python3-stdnum), for
every country whose IBANs it checks inside (stdnum.iban with check_country, 1.18:
Belgium, Spain, Montenegro, Norway): random BBANs of the registry's structure, each
with one digit set to every value in turn so that the national digits are right in
some, the IBAN check digits computed for each, must be right for both or for
neither. stdnum also refuses bank codes it does not list (InvalidComponent), which
is no check digit: those are left out."""
import os
import pathlib
import random

import pytest
from stdnum import exceptions, util
from stdnum import iban as stdnum_iban

import brelvoxa

REGISTRY = pathlib.Path(os.environ.get("BRELVOXA_SOURCE", ".")) / "core" / "iban_registre.tsv"
KINDS = {"n": "0123456789", "a": "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         "c": "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"}


def structures():
    """Each registry country's BBAN as one kind letter per character."""
    rows = [line.split("\t") for line in REGISTRY.read_text().splitlines()
            if line and not line.startswith("#")][1:]
    out = {}
    for country, _, groups in rows:
        out[country] = "".join(kind * int(count) for count, kind in
                               (group.split("!") for group in groups.replace("!n", "!n ")
                                .replace("!a", "!a ").replace("!c", "!c ").split()))
    return out


def with_check_digits(country, bban):
    number = int("".join(str(int(c, 36)) for c in bban + country + "00"))
    return "%s%02d%s" % (country, 98 - number % 97, bban)


def stdnum_says(text):
    """True, False for wrong check digits, None for a fault of another kind."""
    try:
        stdnum_iban.validate(text)
        return True
    except exceptions.InvalidChecksum:
        return False
    except exceptions.ValidationError:
        return None


CHECKED = [c for c in sorted(structures()) if util.get_cc_module(c.lower(), "iban")]


def test_stdnum_checks_countries_brelvoxa_checks_too():
    assert CHECKED == ["BE", "ES", "ME", "NO"]


@pytest.mark.parametrize("country", CHECKED)
def test_brelvoxa_and_stdnum_agree_on_the_national_check_digits(country):
    structure = structures()[country]
    rnd = random.Random(country)
    agreed = {True: 0, False: 0}
    for _ in range(60):
        bban = [rnd.choice(KINDS[kind]) for kind in structure]
        for place in range(len(bban)):
            for digit in KINDS["n"] if structure[place] != "a" else ():
                text = with_check_digits(country, "".join(bban[:place] + [digit] + bban[place + 1:]))
                theirs = stdnum_says(text)
                if theirs is not None:
                    assert brelvoxa.is_valid(text) == theirs, (text, brelvoxa.check(text).status)
                    agreed[theirs] += 1
    assert min(agreed.values()) > 20, agreed
