import enum
from typing import Iterable, NamedTuple, Optional, Union

__version__: str
DIRECTORY_EDITION: str
REGISTRY_EDITION: str

class Status(enum.Enum):
    CORRECT: str
    UNKNOWN_ENTITY: str
    WRONG_CONTROL_DIGITS: str
    WRONG_IBAN_DIGITS: str
    ALL_ZEROS: str
    FOREIGN_CORRECT: str
    FOREIGN_MALFORMED: str
    NOT_AN_ACCOUNT: str
    NO_ACCOUNT: str
    UNCLOSED_QUOTE: str
    MISSING_COLUMNS: str
    TOO_LONG: str
    SCIENTIFIC_NOTATION: str
    WRONG_NATIONAL_DIGITS: str

class Result(NamedTuple):
    iban: Optional[str]
    paper: Optional[str]
    bic: Optional[str]
    name: Optional[str]
    status: Status
    suggestion: Optional[str]

class ValidationError(ValueError):
    status: Status
    suggestion: Optional[str]
    def __init__(self, message: str, status: Status, suggestion: Optional[str] = ...) -> None: ...

class InvalidLength(ValidationError): ...
class InvalidFormat(ValidationError): ...
class InvalidChecksum(ValidationError): ...
class InvalidComponent(ValidationError): ...

# A missing value of a column (None, a float NaN) reads as an empty cell.
Number = Union[str, None, float]

def compact(number: Number) -> str: ...
def validate(number: Number) -> str: ...
def is_valid(number: Number) -> bool: ...
def format(number: Number) -> str: ...
def to_bic(number: Number) -> Optional[str]: ...
def bank_name(number: Number) -> Optional[str]: ...
def suggest(number: Number) -> Optional[str]: ...
def check(number: Number) -> Result: ...
def check_many(numbers: Iterable[Number]) -> list[Result]: ...
