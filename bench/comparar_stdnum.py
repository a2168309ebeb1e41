#!/usr/bin/python3
"""The same job as brelvoxa done with python-stdnum, for the throughput benchmark:
read each account of a plain list, or column 3 of a ';' CSV, check its control
digits (and an IBAN's check digits; another country's IBAN whole), make the IBAN in electronic and paper form, and
write the row back with those and a status. No BIC or name: stdnum has no directory.

    comparar_stdnum.py llista|csv FILE > OUT
"""
import csv
import sys

from stdnum import iban
from stdnum.es import ccc

DROP = str.maketrans("", "", " \t\u00a0-.")


def added(text):
    t = text.translate(DROP)
    if t[:4].upper() == "IBAN":
        t = t[4:]
    if len(t) == 24 and t[:2].upper() == "ES" and t[2:].isascii() and t[2:].isdigit():
        if not ccc.is_valid(t[4:]):
            return ("", "", "dígits de control incorrectes")
        if not iban.is_valid(t):
            return ("", "", "dígits de l'IBAN incorrectes")
        electronic = t.upper()
    elif len(t) == 20 and t.isascii() and t.isdigit():
        if not ccc.is_valid(t):
            return ("", "", "dígits de control incorrectes")
        electronic = ccc.to_iban(t)
    elif 4 < len(t) <= 34 and t[:2].isalpha() and t[2:4].isdigit() and t.isascii():
        # Another country's IBAN: stdnum checks it whole, with no finer verdict.
        electronic = t.upper()
        if not iban.is_valid(electronic):
            return ("", "", "IBAN estranger incorrecte")
        return (electronic, iban.format(electronic), "IBAN estranger correcte")
    else:
        return ("", "", "no és un compte")
    return (electronic, iban.format(electronic), "correcte")


def main():
    kind, path = sys.argv[1], sys.argv[2]
    out = sys.stdout
    with open(path, newline="", encoding="utf-8") as f:
        if kind == "llista":
            for line in f:
                text = line.rstrip("\r\n")
                if not text.strip():
                    out.write(line)
                    continue
                out.write(text + "\t" + "\t".join(added(text)) + "\n")
        else:
            reader = csv.reader(f, delimiter=";")
            writer = csv.writer(out, delimiter=";", lineterminator="\r\n")
            header = next(reader)
            writer.writerow(header + ["IBAN", "IBAN en format paper", "Estat"])
            for row in reader:
                writer.writerow(row + list(added(row[2])))


if __name__ == "__main__":
    main()
