import enum
from typing import Iterable, NamedTuple, Optional, Union

__version__: str
DIRECTORY_EDITION: str
REGISTRY_EDITION: str

# The values are brelvoxa's texts, which stubtest compares with the module's.
class Status(enum.StrEnum):
    CORRECT = "correcte"
    UNKNOWN_ENTITY = "correcte, entitat desconeguda"
    WRONG_CONTROL_DIGITS = "dígits de control incorrectes"
    WRONG_IBAN_DIGITS = "dígits de l'IBAN incorrectes"
    ALL_ZEROS = "compte tot zeros"
    FOREIGN_CORRECT = "IBAN estranger correcte"
    FOREIGN_MALFORMED = "IBAN estranger mal format"
    NOT_AN_ACCOUNT = "no és un compte"
    NO_ACCOUNT = "sense compte"
    UNCLOSED_QUOTE = "fila il·legible: cometes sense tancar"
    MISSING_COLUMNS = "fila il·legible: falten columnes"
    TOO_LONG = "fila il·legible: massa llarga"
    SCIENTIFIC_NOTATION = "nombre en notació científica: xifres perdudes"
    WRONG_NATIONAL_DIGITS = "dígits de control nacionals incorrectes"

class Result(NamedTuple):
    iban: Optional[str]
    paper: Optional[str]
    bic: Optional[str]
    name: Optional[str]
    status: Status
    suggestion: Optional[str]

class ValidationError(ValueError):
    message: str
    status: Optional[Status]
    suggestion: Optional[str]
    def __init__(
        self,
        message: Optional[str] = ...,
        status: Union[Status, str, None] = ...,
        suggestion: Optional[str] = ...,
    ) -> None: ...

class InvalidLength(ValidationError): ...
class InvalidFormat(ValidationError): ...
class InvalidChecksum(ValidationError): ...
class InvalidComponent(ValidationError): ...

# Any item is read: a str or UTF-8 bytes as a text, a missing value (None, NaN,
# pandas' NA and NaT) as an empty cell, anything else as its str().
def compact(number: object) -> str: ...
def validate(number: object) -> str: ...
def is_valid(number: object) -> bool: ...
def format(number: object) -> str: ...
def to_bic(number: object) -> Optional[str]: ...
def bank_name(number: object) -> Optional[str]: ...
def suggest(number: object) -> Optional[str]: ...
def check(number: object) -> Result: ...
def check_many(numbers: Iterable[object]) -> list[Result]: ...
