"""Spanish bank accounts and IBANs of every registry country, checked as brelvoxa
checks a cell of a list: the IBAN, the BIC and the entity's registered name, a
status in Catalan, and for an account one typo away from a right one (Spanish, or
of a country with national check digits), the account that was likely meant.

A text may be a Spanish account of 20 digits or its IBAN, or another country's
IBAN, electronic or on paper, with or without "IBAN" in front, with blanks,
hyphens or dots and their look-alikes from PDFs (no-break spaces, en dashes,
full-width digits); white space and a line end around it are dropped. Bytes are
read as UTF-8. A missing value (None, NaN, pandas' NA and NaT) is an empty cell,
and any other item is read as its str(): an integer as its digits.

>>> import brelvoxa
>>> brelvoxa.validate('2100 0418 45 0200051332')
'ES9121000418450200051332'
>>> brelvoxa.is_valid('ES91 2100 0418 4502 0005 1332')
True
>>> brelvoxa.to_bic('ES9121000418450200051332')
'CAIXESBBXXX'
>>> brelvoxa.check('ES91 2100 0418 4502 0005 1333').status.value
'dígits de control incorrectes'

The entity directory is the register's of about 2012 (DIRECTORY_EDITION):
entities merged since are still listed, so a right account's digits agree, which
does not mean that its bank still issues it.
"""

import collections
import enum

from brelvoxa import _brelvoxa

__all__ = [
    "Status", "Result", "ValidationError", "InvalidLength", "InvalidFormat",
    "InvalidChecksum", "InvalidComponent", "compact", "validate", "is_valid",
    "format", "to_bic", "bank_name", "suggest", "check", "check_many",
    "DIRECTORY_EDITION", "REGISTRY_EDITION",
]

__version__ = _brelvoxa.version
DIRECTORY_EDITION = _brelvoxa.directory_edition
REGISTRY_EDITION = _brelvoxa.registry_edition

# A str, so that in a DataFrame, a CSV or JSON a status is its text.
Status = enum.StrEnum("Status", _brelvoxa.statuses(), module=__name__)
Status.__doc__ = """A status as brelvoxa writes it: a str, its Catalan text.

>>> Status.CORRECT == 'correcte', str(Status.CORRECT)
(True, 'correcte')
>>> Status('no és un compte')
<Status.NOT_AN_ACCOUNT: 'no és un compte'>
"""

_CORRECT = frozenset(list(Status)[i] for i in _brelvoxa.correct_statuses())

Result = collections.namedtuple(
    "Result", ["iban", "paper", "bic", "name", "status", "suggestion"], module=__name__)
Result.__doc__ = """What brelvoxa writes for one account: the IBAN electronic and
on paper, the BIC and the entity's name (for a right Spanish account of a listed
entity), the Status, and the suggested IBAN on paper; None where brelvoxa leaves
its cell empty."""

_brelvoxa._set_up(Result, list(Status))


class ValidationError(ValueError):
    """The text is not a right account. status is its Status; suggestion, for an
    account one typo away from exactly one right account, that account's IBAN on
    paper, else None; message, as str() of the error, the status's text, or the
    class's own message when made without one. It pickles and copies with its
    class and attributes, so that it comes back from a process pool.

    >>> error = InvalidChecksum()
    >>> error.message, error.status
    ('els dígits de control no concorden', None)
    """

    message = "el compte no és correcte"

    def __init__(self, message=None, status=None, suggestion=None):
        self.status = None if status is None else Status(status)
        self.message = message or (type(self).message if status is None else self.status.value)
        # The message alone in args, as for any exception; pickling brings the
        # rest back from the instance's attributes.
        super().__init__(self.message)
        self.suggestion = suggestion


class InvalidLength(ValidationError):
    """Too few or too many characters for an account or an IBAN, or none."""

    message = "la llargada no és la d'un compte"


class InvalidFormat(ValidationError):
    """A character out of place: a letter inside an account, a stray sign."""

    message = "el format no és el d'un compte"


class InvalidChecksum(ValidationError):
    """The control digits, the IBAN's check digits or the national ones do not agree."""

    message = "els dígits de control no concorden"


class InvalidComponent(ValidationError):
    """A part that names nothing: an unknown country, the all-zero account."""

    message = "una part del compte no és vàlida"


_FAULTS = {
    _brelvoxa.FAULT_LENGTH: InvalidLength,
    _brelvoxa.FAULT_FORMAT: InvalidFormat,
    _brelvoxa.FAULT_CHECKSUM: InvalidChecksum,
    _brelvoxa.FAULT_COMPONENT: InvalidComponent,
}


def _error(number, result):
    kind = _FAULTS[_brelvoxa.fault(number)]
    return kind(status=result.status, suggestion=result.suggestion)


def _right(number):
    result = _brelvoxa.check(number)
    if result.status not in _CORRECT:
        raise _error(number, result)
    return result


def compact(number):
    """The account as read, before any check: an IBAN in electronic form, upper
    case, or a bare Spanish account's 20 digits.

    >>> compact('iban es91 2100-0418-45-0200051332')
    'ES9121000418450200051332'
    >>> compact('2100 0418 45 0200051332')
    '21000418450200051332'
    >>> compact('Carrer Major, 3')
    Traceback (most recent call last):
        ...
    brelvoxa.InvalidFormat: no és un compte
    """
    read = _brelvoxa.compact(number)
    if read is None:
        raise _error(number, _brelvoxa.check(number))
    return read


def validate(number):
    """The IBAN in electronic form of a right account (a bare Spanish account
    gives its IBAN); raises a ValidationError otherwise.

    >>> validate('2100 0418 45 0200051332')
    'ES9121000418450200051332'
    >>> validate('GB29 NWBK 6016 1331 9268 19')
    'GB29NWBK60161331926819'
    >>> validate('2100 0418 45 0200051333')
    Traceback (most recent call last):
        ...
    brelvoxa.InvalidChecksum: dígits de control incorrectes
    """
    return _right(number).iban


def is_valid(number):
    """Whether the text is a right account; False for an item that is no text of
    one, never an error.

    >>> is_valid('DE89 3704 0044 0532 0130 00')
    True
    >>> is_valid('DE88 3704 0044 0532 0130 00')
    False
    """
    return _brelvoxa.is_valid(number)


def format(number):
    """The IBAN on paper, in groups of four, of a right account; raises a
    ValidationError otherwise.

    >>> format('es9121000418450200051332')
    'ES91 2100 0418 4502 0005 1332'
    """
    return _right(number).paper


def to_bic(number):
    """The BIC of a right Spanish account's entity; None when the directory does
    not list it, and for another country's IBAN. Raises a ValidationError for a
    text that is no right account.

    >>> to_bic('0049 1500 05 1234567892')
    'BSCHESMMXXX'
    >>> print(to_bic('DE89 3704 0044 0532 0130 00'))
    None
    """
    return _right(number).bic


def bank_name(number):
    """The registered name of a right Spanish account's entity, as to_bic.

    >>> bank_name('2100 0418 45 0200051332')
    'CAIXABANK, S.A.'
    """
    return _right(number).name


def suggest(number):
    """For a Spanish account whose digits do not agree, the one IBAN one typo
    away whose digits agree and whose entity is listed, on paper; the same for an
    IBAN of a country with national check digits, whose candidates must pass them;
    None when there is none or more than one, and for any other text. Never
    certain: for a person to read, not to apply.

    >>> suggest('ES91 2100 0418 4502 0005 1323')
    'ES91 2100 0418 4502 0005 1332'
    """
    return _brelvoxa.check(number).suggestion


def check(number):
    """The Result for one text, as brelvoxa writes it for a cell.

    >>> r = check('ES91 2100 0418 4502 0005 1332')
    >>> r.iban, r.bic, r.status
    ('ES9121000418450200051332', 'CAIXESBBXXX', <Status.CORRECT: 'correcte'>)
    """
    return _brelvoxa.check(number)


def check_many(numbers):
    """A list of the Results of every item of an iterable (a list, a generator, a
    pandas column), checked in one call, in batches of tens of thousands during
    which other threads run; Ctrl+C stops it between two. Missing values are empty cells, and
    no item, whatever its type, makes the call fail: each gets its Result. A bare
    str or bytes is a TypeError, not a row of characters. For a pandas Series s,
    pd.DataFrame(check_many(s), index=s.index) lines the Results up with its rows.

    >>> [r.status.name for r in check_many(['2100 0418 45 0200051332', '', None, 12.5])]
    ['CORRECT', 'NO_ACCOUNT', 'NO_ACCOUNT', 'NOT_AN_ACCOUNT']
    """
    return _brelvoxa.check_many(numbers)
