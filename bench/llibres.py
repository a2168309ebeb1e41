#!/usr/bin/python3
"""The workbook benchmark's two Python pieces, with Debian's python3-xlsxwriter,
python3-openpyxl and python3-stdnum:

    llibres.py fer N LLISTA.csv OUT.xlsx    a sheet of N rows of three columns (name,
                                            account, amount) from generar_comptes.py's
                                            CSV, by XlsxWriter in constant-memory mode
    llibres.py openpyxl IN.xlsx OUT.xlsx    the same job as brelvoxa done with openpyxl
                                            and python-stdnum: read each row, check its
                                            account, add six cells, save
"""
import csv
import sys

from comparar_stdnum import added


def make(n, source, target):
    import xlsxwriter

    book = xlsxwriter.Workbook(target, {"constant_memory": True})
    sheet = book.add_worksheet("Comptes")
    sheet.write_row(0, 0, ["Nom", "Compte", "Import"])
    with open(source, newline="", encoding="utf-8") as f:
        rows = csv.reader(f, delimiter=";")
        next(rows)
        for i, row in zip(range(n), rows):
            sheet.write_string(i + 1, 0, row[1])
            sheet.write_string(i + 1, 1, row[2])
            sheet.write_number(i + 1, 2, float(row[3].replace(",", ".")))
    book.close()


def convert(source, target):
    import openpyxl

    # Streamed both ways, openpyxl's fastest: read-only in, write-only out.
    book = openpyxl.load_workbook(source, read_only=True)
    out = openpyxl.Workbook(write_only=True)
    sheet = out.create_sheet("Comptes")
    rows = book.worksheets[0].iter_rows(values_only=True)
    sheet.append(list(next(rows)) + ["IBAN", "IBAN en format paper", "BIC", "Entitat",
                                     "Estat", "Suggeriment"])
    for row in rows:
        electronic, paper, status = added(str(row[1] or ""))
        sheet.append(list(row) + [electronic, paper, "", "", status, ""])
    out.save(target)


if __name__ == "__main__":
    if sys.argv[1] == "fer":
        make(int(sys.argv[2]), sys.argv[3], sys.argv[4])
    else:
        convert(sys.argv[2], sys.argv[3])
