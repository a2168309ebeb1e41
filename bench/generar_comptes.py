#!/usr/bin/env python3
"""Writes a plain list and a CSV of N accounts for the throughput benchmark.

A realistic mix, the same in both files: most accounts correct, in the forms people
write them (20 digits, grouped with blanks or hyphens, IBAN electronic or on paper);
some with wrong control digits, some IBANs with wrong check digits, some not accounts,
and a tenth other countries' IBANs (their national check digits right where the
country has them), a few of them wrong. With --erronis every row is
instead one typo away from a right Spanish account (a digit changed or two neighbours
swapped, in any written form), so that every row fails and is searched for a
suggestion: the slowest file there is per row.
The CSV is what a Spanish spreadsheet exports: ';', a header, a few quoted names.

    generar_comptes.py N LIST.txt FILE.csv [--erronis]
"""
import random
import sys

WEIGHTS_OFFICE = (4, 8, 5, 10, 9, 7, 3, 6)
WEIGHTS_ACCOUNT = (1, 2, 4, 8, 5, 10, 9, 7, 3, 6)
ENTITIES = ("2100", "0049", "0182", "0081", "2038", "0128", "1465", "3058", "0075", "2080")


def control(digits, weights):
    d = 11 - sum(int(c) * w for c, w in zip(digits, weights)) % 11
    return 0 if d == 11 else 1 if d == 10 else d


def iban_digits(ccc):
    return 98 - int(ccc + "142800") % 97


# Other countries' BBANs as the registry writes them: n digits, a capitals, c either.
FOREIGN = (("DE", "18n"), ("FR", "10n11c2n"), ("PT", "21n"), ("IT", "1a10n12c"),
           ("NL", "4a10n"), ("GB", "4a14n"), ("BE", "12n"), ("AT", "16n"))
KINDS = {"n": "0123456789", "a": "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         "c": "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"}


def check_digits(bban, country):
    number = "".join(str(int(c, 36)) for c in bban + country + "00")
    return "%02d" % (98 - int(number) % 97)


# Italy's CIN: the value of each character at an even place after it, and the plain
# value (digit, or A as 0) at an odd place.
CIN_EVEN = (1, 0, 5, 7, 9, 13, 15, 17, 19, 21, 2, 4, 18, 20, 11, 3, 6, 8, 12, 14, 16, 10,
            22, 25, 24, 23)


def plain(c):
    return int(c) if c.isdigit() else ord(c) - ord("A")


def national(country, bban):
    """The BBAN with its country's own check digits right, as a real account has them."""
    if country == "BE":
        return bban[:10] + "%02d" % (int(bban[:10]) % 97 or 97)
    if country == "PT":
        return bban[:19] + "%02d" % ((1 - int(bban[:19]) * 100) % 97)
    if country == "FR":  # the RIB key, each letter one digit: A J 1, B K S 2 ...
        digits = "".join(c if c.isdigit() else str("ABCDEFGHIJKLMNOPQRSTUVWXYZ".index(c) % 9 + 1
                                                   + ((c >= "S") and 1)) for c in bban[:21])
        return bban[:21] + "%02d" % (97 - int(digits) * 100 % 97)
    if country == "IT":
        total = sum(CIN_EVEN[plain(c)] if i % 2 == 0 else plain(c) for i, c in enumerate(bban[1:]))
        return chr(ord("A") + total % 26) + bban[1:]
    return bban


def foreign(rnd):
    country, structure = rnd.choice(FOREIGN)
    bban, count = "", ""
    for c in structure:
        if c.isdigit():
            count += c
        else:
            bban += "".join(rnd.choice(KINDS[c]) for _ in range(int(count)))
            count = ""
    bban = national(country, bban)
    iban = country + check_digits(bban, country) + bban
    kind = rnd.random()
    if kind < 0.05:  # check digits wrong
        return iban[:2] + "%02d" % ((int(iban[2:4]) + 1) % 97 + 2) + iban[4:]
    if kind < 0.5:
        return " ".join(iban[i:i + 4] for i in range(0, len(iban), 4))
    return iban


def account(rnd):
    entity_office = rnd.choice(ENTITIES) + "%04d" % rnd.randrange(10000)
    number = "%010d" % rnd.randrange(10**10)
    dc = "%d%d" % (control(entity_office, WEIGHTS_OFFICE), control(number, WEIGHTS_ACCOUNT))
    return entity_office + dc + number


def typo(rnd, digits):
    """One digit changed, or two different neighbours swapped."""
    while True:
        i = rnd.randrange(len(digits))
        if rnd.random() < 0.8:
            d = str((int(digits[i]) + 1 + rnd.randrange(9)) % 10)
            return digits[:i] + d + digits[i + 1:]
        if i + 1 < len(digits) and digits[i] != digits[i + 1]:
            return digits[:i] + digits[i + 1] + digits[i] + digits[i + 2:]


def wrong(rnd):
    """A right Spanish account with one typo, which no longer passes its checks."""
    while True:
        ccc = account(rnd)
        kind = rnd.randrange(3)
        if kind == 0:
            text = typo(rnd, ccc)
            ok = control(text[:8], WEIGHTS_OFFICE) == int(text[8]) and \
                control(text[10:], WEIGHTS_ACCOUNT) == int(text[9])
        else:
            digits = typo(rnd, "%02d%s" % (iban_digits(ccc), ccc))
            text = "ES" + digits
            ok = control(digits[2:10], WEIGHTS_OFFICE) == int(digits[10]) and \
                control(digits[12:], WEIGHTS_ACCOUNT) == int(digits[11]) and \
                iban_digits(digits[2:]) == int(digits[:2])
            if kind == 2:
                text = " ".join(text[i:i + 4] for i in range(0, 24, 4))
        if not ok:
            return text


def written(rnd):
    if rnd.random() < 0.10:
        return foreign(rnd)
    ccc = account(rnd)
    kind = rnd.random()
    if kind < 0.05:  # wrong control digits
        wrong = (int(ccc[9]) + 1 + rnd.randrange(9)) % 10
        return ccc[:9] + str(wrong) + ccc[10:]
    iban = "ES%02d%s" % (iban_digits(ccc), ccc)
    if kind < 0.08:  # an IBAN whose check digits do not match
        return "ES%02d%s" % ((int(iban[2:4]) + 1) % 100, ccc)
    if kind < 0.10:  # not an account
        return rnd.choice((ccc[:19], ccc + "7", ccc[:5] + "X" + ccc[6:], "pendent", ""))
    form = rnd.randrange(5)
    if form == 0:
        return ccc
    if form == 1:
        return "%s %s %s %s" % (ccc[:4], ccc[4:8], ccc[8:10], ccc[10:])
    if form == 2:
        return "%s-%s-%s-%s" % (ccc[:4], ccc[4:8], ccc[8:10], ccc[10:])
    if form == 3:
        return iban
    return " ".join(iban[i:i + 4] for i in range(0, 24, 4))


def main():
    n, list_path, csv_path = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    row = wrong if sys.argv[4:] == ["--erronis"] else written
    rnd = random.Random(20261207)
    names = ("Garcia Puig, Anna", "Martí i Soler, Jordi", "Ferrer Vidal, Núria", "Roca Serra, Pau")
    with open(list_path, "w", newline="") as plain, open(csv_path, "w", newline="") as csv:
        csv.write("Id;Nom;Compte;Import\r\n")
        lines, rows = [], []
        for i in range(n):
            text = row(rnd)
            lines.append(text + "\n")
            rows.append('%d;"%s";%s;%d,%02d\r\n' % (i + 1, names[i % 4], text, i % 5000, i % 100))
            if len(lines) == 100000:
                plain.write("".join(lines))
                csv.write("".join(rows))
                lines, rows = [], []
        plain.write("".join(lines))
        csv.write("".join(rows))


if __name__ == "__main__":
    main()
