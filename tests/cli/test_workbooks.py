"""brelvoxa on workbooks made by writers it did not write: XlsxWriter (shared and,
in constant-memory mode, inline strings), openpyxl, odfpy and LibreOffice (from a
CSV), made here at test time. Each output is read again by an independent reader
(openpyxl, odfpy) and by LibreOffice, turned back into a CSV: the input's cells as
they were and the six added ones, which must be those brelvoxa adds to the same
cells in a CSV. Every part of the package but the converted sheet (and the
styles, for the status fill) must be the same bytes. Then bad inputs: status 2, a
message naming the file, an existing output left as it was, no file left over."""
import csv
import io
import os
import pathlib
import struct
import subprocess
import zipfile

import pytest

EXE = os.environ["BRELVOXA_EXE"]

# The cells of the account column as a person sees them, and what each is.
ACCOUNTS = [
    "ES91 2100 0418 4502 0005 1332",  # correct, on paper
    "21000418450200051333",  # control digits wrong, with a suggestion
    "GB29 NWBK 6016 1331 9268 19",  # another country's
    "IBAN: ES9121000418450200051332",  # a spreadsheet's tag
    "no tinc compte",
]
LOST = 21000418450200051332  # written as a number: its last digits are lost
HEADER = ["Nom", "IBAN", "Import"]
TITLE = "Proveïdors de l'exercici 2026 & co."
# The title, the header and a row for each account, as every writer writes them.
ROWS = [[TITLE], HEADER] + [[f"Client {i}", a, i * 10.5] for i, a in enumerate(ACCOUNTS)]


def run(*args, **how):
    return subprocess.run([EXE, *map(str, args)], capture_output=True, check=False, **how)


def reference(cells):
    """The six cells brelvoxa adds to these account cells in a CSV."""
    text = "IBAN\n" + "".join(f'"{c}"\n' for c in cells)
    out = subprocess.run([EXE, "-c", "IBAN", "-s", ","], input=text.encode(), capture_output=True)
    rows = list(csv.reader(io.StringIO(out.stdout.decode())))
    return [row[1:] for row in rows[1:]]


# Each writer makes the same sheet: a merged title, the header, the accounts (one as
# a number), a formula; a second sheet; a frozen pane. Returns the account cells.
def xlsxwriter_book(path, constant_memory=False):
    import xlsxwriter

    book = xlsxwriter.Workbook(str(path), {"constant_memory": constant_memory})
    sheet = book.add_worksheet("Clients")
    bold = book.add_format({"bold": True})
    if constant_memory:
        sheet.write(0, 0, TITLE, bold)
    else:
        sheet.merge_range("A1:C1", TITLE, bold)
    sheet.write_row(1, 0, HEADER, bold)
    for i, account in enumerate(ACCOUNTS):
        sheet.write_row(2 + i, 0, [f"Client {i}", account, i * 10.5])
    sheet.write(2 + len(ACCOUNTS), 0, "Número")
    sheet.write_number(2 + len(ACCOUNTS), 1, LOST)
    sheet.write_formula(2 + len(ACCOUNTS), 2, "=C3+C4", None, 10.5)
    sheet.freeze_panes(2, 0)
    book.add_worksheet("Altres").write(0, 0, "no es toca")
    book.close()


def openpyxl_book(path):
    import openpyxl

    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = "Clients"
    for cells in ROWS:
        sheet.append(cells)
    sheet.merge_cells("A1:C1")
    sheet.append(["Número", LOST, "=C3+C4"])
    sheet.freeze_panes = "A3"
    book.create_sheet("Altres")["A1"] = "no es toca"
    book.save(path)


def ods_row(table, *cells):
    """A row of an ODS table, equal neighbours in one repeated cell as LibreOffice
    writes them."""
    from odf.table import TableCell, TableRow
    from odf.text import P

    r = TableRow()
    for i, cell in enumerate(cells):
        if i > 0 and cell == cells[i - 1]:
            continue
        repeat = next((n for n in range(i + 1, len(cells)) if cells[n] != cell), len(cells)) - i
        if isinstance(cell, str):
            c = TableCell(valuetype="string", numbercolumnsrepeated=repeat)
        else:
            c = TableCell(valuetype="float", value=str(cell), numbercolumnsrepeated=repeat)
        c.addElement(P(text=str(cell)))
        r.addElement(c)
    table.addElement(r)


def odfpy_book(path):
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table, TableCell, TableRow

    doc = OpenDocumentSpreadsheet()
    table, other = Table(name="Clients"), Table(name="Altres")
    for cells in ROWS:
        ods_row(table, *cells)
    ods_row(table, "Número", LOST, 1)
    # A spreadsheet's empty rows at the end, repeated, gain nothing.
    empty = TableRow(numberrowsrepeated=1000)
    empty.addElement(TableCell(numbercolumnsrepeated=3))
    table.addElement(empty)
    ods_row(other, "no es toca")
    doc.spreadsheet.addElement(table)
    doc.spreadsheet.addElement(other)
    doc.save(str(path))


def soffice(*args, cwd):
    """LibreOffice headless, with a profile of its own so that runs do not meet."""
    profile = pathlib.Path(cwd) / "perfil"
    subprocess.run(["soffice", f"-env:UserInstallation=file://{profile}", "--headless", *args],
                   cwd=cwd, capture_output=True, check=True, timeout=300)


def libreoffice_books(tmp):
    """LibreOffice's own .xlsx and .ods of a CSV with the same cells."""
    with open(tmp / "lo.csv", "w", newline="", encoding="utf-8") as f:
        csv.writer(f, delimiter=";").writerows(ROWS + [["Número", LOST, 1]])
    for kind in ("xlsx", "ods"):
        # Separator ';', quote '"', UTF-8 (76), from line 1; column 2 as text (2).
        soffice("--infilter=CSV:59,34,76,1,1/1/2/2/3/1", "--convert-to", kind, "lo.csv", cwd=tmp)


WRITERS = {
    "xlsxwriter.xlsx": lambda p: xlsxwriter_book(p),
    "xlsxwriter-inline.xlsx": lambda p: xlsxwriter_book(p, constant_memory=True),
    "xlsxwriter-stored.xlsx": lambda p: stored_book(p),
    "openpyxl.xlsx": openpyxl_book,
    "odfpy.ods": odfpy_book,
    "lo.xlsx": None,  # made with the .ods by libreoffice_books
    "lo.ods": None,
}


@pytest.fixture(scope="module")
def books(tmp_path_factory):
    """Every writer's workbook converted; LibreOffice's CSVs of inputs and outputs."""
    tmp = tmp_path_factory.mktemp("llibres")
    libreoffice_books(tmp)
    results = {}
    for name, write in WRITERS.items():
        if write:
            write(tmp / name)
        out = tmp / ("sortida-" + name)
        results[name] = (tmp / name, out, run(tmp / name, "-o", out))
    # One LibreOffice run for every input and output: each to a CSV of its first sheet.
    files = [str(p) for name in WRITERS for p in (results[name][0], results[name][1])]
    (tmp / "csv").mkdir()
    soffice("--convert-to", 'csv:Text - txt - csv (StarCalc):59,34,76,1', "--outdir", "csv",
            *files, cwd=tmp)
    return tmp, results


def sheet_rows(path):
    """The first sheet's rows, as an independent reader gives their cells' texts."""
    if path.suffix == ".xlsx":
        import openpyxl

        sheet = openpyxl.load_workbook(path).worksheets[0]
        return [["" if v is None else str(v) for v in row] for row in sheet.iter_rows(values_only=True)]
    from odf.opendocument import load
    from odf.table import Table, TableCell, TableRow

    rows = []
    table = load(str(path)).spreadsheet.getElementsByType(Table)[0]
    for row in table.getElementsByType(TableRow):
        cells = []
        for cell in row.getElementsByType(TableCell):
            repeat = int(cell.getAttribute("numbercolumnsrepeated") or 1)
            cells += [str(cell)] * min(repeat, 20)
        if any(cells):
            rows.append(cells)
    return rows


def trimmed(row):
    while row and row[-1] == "":
        row = row[:-1]
    return row


def expected(name):
    """The six cells of each data row: LibreOffice was told the account column is
    text, so its last account is the 20 digits; the others hold a number."""
    last = str(LOST) if name.startswith("lo.") else "2.1E+19"
    return reference(ACCOUNTS + [last])


def libreoffice_rows(tmp, path):
    """The first sheet's rows as LibreOffice read them into a CSV."""
    with open(tmp / "csv" / (path.stem + ".csv"), encoding="utf-8") as f:
        return [trimmed(row) for row in csv.reader(f, delimiter=";")]


@pytest.mark.parametrize("name", WRITERS)
def test_each_writers_book_gains_the_cells_a_csv_gains_and_keeps_its_own(books, name):
    tmp, results = books
    source, out, result = results[name]
    said = result.stderr.decode()
    assert result.returncode == 1, said
    assert "és la capçalera: «Nom», «IBAN», «Import»; a sobre, 1 fila de títol" in said, said
    six = expected(name)
    # As an independent reader reads them back, and as LibreOffice does.
    for read in (sheet_rows, lambda path: libreoffice_rows(tmp, path)):
        before, after = read(source), read(out)
        assert len(after) == len(before)
        for i, (old, new) in enumerate(zip(before, after)):
            new = new + [""] * 9
            assert trimmed(new[:3]) == trimmed(old)
            if i == 0:
                assert trimmed(new) == [TITLE], "a title gains nothing"
            elif i == 1:
                assert new[3:9] == ["IBAN 2", "IBAN en format paper", "BIC", "Entitat", "Estat",
                                    "Suggeriment"]
            else:
                assert new[3:9] == six[i - 2], new


@pytest.mark.parametrize("name", WRITERS)
def test_every_other_part_is_the_same_bytes(books, name):
    _, results = books
    source, out, _ = results[name]
    changed = {"content.xml"} if name.endswith(".ods") else {"xl/worksheets/sheet1.xml", "xl/styles.xml"}
    with zipfile.ZipFile(source) as a, zipfile.ZipFile(out) as b:
        assert [i.filename for i in a.infolist()] == [i.filename for i in b.infolist()]
        for x, y in zip(a.infolist(), b.infolist()):
            if x.filename in changed:
                continue
            assert (x.CRC, x.compress_type, x.compress_size, x.file_size) == \
                (y.CRC, y.compress_type, y.compress_size, y.file_size), x.filename
            assert a.read(x) == b.read(y)
        assert b.testzip() is None


def test_four_columns_read_as_the_cells_show_them(tmp_path):
    import openpyxl
    from odf.opendocument import OpenDocumentSpreadsheet
    from odf.table import Table

    book = openpyxl.Workbook()
    sheet = book.active
    sheet.append(["Entitat", "Oficina", "DC", "Compte"])
    sheet.append([49, 1500, 5, 1234567892])
    for cell, zeros in zip(sheet[2], ["0000", "0000", "00", "0000000000"]):
        cell.number_format = zeros
    sheet.append([49, 1500, 5, 1234567892])  # no format: 49 is no entity
    book.save(tmp_path / "q.xlsx")
    # The entity and the office alike: one cell repeated across both columns.
    doc, table = OpenDocumentSpreadsheet(), Table(name="Q")
    for cells in (["Entitat", "Oficina", "DC", "Compte"], ["2100", "2100", "35", "0200051332"]):
        ods_row(table, *cells)
    doc.spreadsheet.addElement(table)
    doc.save(str(tmp_path / "q.ods"))
    for kind, correct in (
            ("xlsx", ["ES6000491500051234567892", "ES60 0049 1500 0512 3456 7892",
                      "BSCHESMMXXX", "BANCO SANTANDER, S.A.", "correcte"]),
            ("ods", ["ES0521002100350200051332", "ES05 2100 2100 3502 0005 1332",
                     "CAIXESBBXXX", "CAIXABANK, S.A.", "correcte"])):
        out = tmp_path / f"r.{kind}"
        result = run(tmp_path / f"q.{kind}", "--quatre-columnes=Entitat,Oficina,DC,Compte", "-o", out)
        assert result.returncode == (1 if kind == "xlsx" else 0), result.stderr
        assert sheet_rows(out)[1][4:9] == correct
    assert sheet_rows(tmp_path / "r.xlsx")[2][8] == "no és un compte"


def zip_with(entries, method=zipfile.ZIP_DEFLATED):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as z:
        for name, data in entries:
            z.writestr(name, data)
    return buffer.getvalue()


def stored(data):
    """The package with every part stored as it is, none deflated."""
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        return zip_with([(i.filename, z.read(i)) for i in z.infolist()], zipfile.ZIP_STORED)


def stored_book(path):
    xlsxwriter_book(path)
    path.write_bytes(stored(path.read_bytes()))


def book_bytes(tmp):
    return (tmp / "xlsxwriter.xlsx").read_bytes()


def replaced(data, name, new):
    """The package with one part replaced."""
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        return zip_with([(i.filename, new if i.filename == name else z.read(i)) for i in z.infolist()])


def sheet_entry(data, fix):
    """The package with the sheet's entry changed by fix(bytes, its local header's
    offset, its central directory header's offset)."""
    with zipfile.ZipFile(io.BytesIO(data)) as z:
        local = z.getinfo("xl/worksheets/sheet1.xml").header_offset
    central = data.rindex(b"PK\x01\x02", 0, data.rindex(b"xl/worksheets/sheet1.xml"))
    out = bytearray(data)
    fix(out, local, central)
    return bytes(out)


def flipped(out, local, central):
    for i in range(local + 80, local + 200):
        out[i] ^= 0x55


def smaller(out, local, central):
    # The sizes said in both headers: 100 bytes inflated.
    struct.pack_into("<I", out, local + 22, 100)
    struct.pack_into("<I", out, central + 24, 100)


def cut_short(out, local, central):
    # The compressed sizes said in both headers: half the deflate stream.
    half = struct.unpack_from("<I", out, central + 20)[0] // 2
    struct.pack_into("<I", out, local + 18, half)
    struct.pack_into("<I", out, central + 20, half)


DTD = (b'<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaa"><!ENTITY b "&a;&a;&a;">]>'
       b'<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
       b'<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>&b;</t></is></c></row></sheetData></worksheet>')
OLE = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + bytes(504)
BAD = [
    ("truncat.xlsx", lambda t: book_bytes(t)[:2000], "el fitxer zip és malmès o incomplet"),
    ("malmes.xlsx", lambda t: sheet_entry(book_bytes(t), flipped), "és malmès"),
    ("curt.xlsx", lambda t: sheet_entry(book_bytes(t), cut_short), "és malmès o incomplet"),
    # A stored part has no deflate stream to fail: only its check sum tells.
    ("malmes-sense-comprimir.xlsx",
     lambda t: stored(book_bytes(t)).replace(b"Client 0", b"Client 9"), "és malmès"),
    ("mida-falsa.xlsx", lambda t: sheet_entry(book_bytes(t), smaller), "s'infla més del que diu la seva mida"),
    ("dtd.xlsx", lambda t: replaced(book_bytes(t), "xl/worksheets/sheet1.xml", DTD),
     "declara un tipus de document (DTD)"),
    ("contrasenya.xlsx", lambda t: OLE + "EncryptedPackage".encode("utf-16-le"),
     "protegit amb contrasenya"),
    ("nuls.txt", lambda t: b"ES9121000418450200051332\n\0\0\0\n", "té bytes nuls"),
    ("arxiu.zip", lambda t: zip_with([("a.txt", b"hola")]), "no un llibre .xlsx ni .ods"),
    # A sheet chosen by name: one without accounts, and one that is not there.
    ("altres.xlsx", lambda t: (t / "openpyxl.xlsx").read_bytes(), "no s'ha trobat cap columna"),
    ("cap.ods", lambda t: (t / "lo.ods").read_bytes(), "no hi ha cap full «Cap»; els fulls són: «lo»"),
]
SHEET = {"altres.xlsx": ["--full=Altres"], "cap.ods": ["--full=Cap"]}


@pytest.mark.parametrize("name,make,said", BAD, ids=[b[0] for b in BAD])
def test_a_bad_input_fails_with_status_2_and_loses_nothing(books, tmp_path, name, make, said):
    tmp, _ = books
    (tmp_path / name).write_bytes(make(tmp))
    old = tmp_path / "sortida.xlsx"
    old.write_bytes(b"the old output")
    result = run(tmp_path / name, *SHEET.get(name, []), "-o", old)
    err = result.stderr.decode()
    assert result.returncode == 2, err
    assert f"{tmp_path / name}: " in err and said in err, err
    assert old.read_bytes() == b"the old output"
    assert sorted(p.name for p in tmp_path.iterdir()) == sorted([name, "sortida.xlsx"])


def test_an_insane_ratio_is_refused_before_it_is_inflated(tmp_path):
    book = tmp_path / "bomba.xlsx"
    types = ('<Types xmlns="x"><Override PartName="/xl/workbook.xml" ContentType="application/'
             'vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/></Types>')
    with zipfile.ZipFile(book, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        z.writestr("[Content_Types].xml", types)
        z.writestr("xl/workbook.xml", '<workbook xmlns:r="http://schemas.openxmlformats.org/'
                   'officeDocument/2006/relationships"><sheets><sheet name="A" r:id="r1"/>'
                   "</sheets></workbook>")
        z.writestr("xl/_rels/workbook.xml.rels", '<Relationships><Relationship Id="r1" '
                   'Type="x/worksheet" Target="s.xml"/></Relationships>')
        z.writestr("xl/s.xml", b" " * (64 << 20))  # 64 MiB in about 64 KiB
    result = run(book, "-o", tmp_path / "o.xlsx")
    assert result.returncode == 2 and "s'infla massa" in result.stderr.decode(), result.stderr
    assert not (tmp_path / "o.xlsx").exists()


def test_a_workbook_is_read_from_a_pipe_never_and_written_to_a_terminal_never(books, tmp_path):
    tmp, _ = books
    piped = run("-o", tmp_path / "o.xlsx", input=book_bytes(tmp))
    assert piped.returncode == 2 and "només es llegeix d'un fitxer" in piped.stderr.decode()
    with open(tmp / "xlsxwriter.xlsx", "rb") as stdin:
        redirected = run("-o", tmp_path / "o.xlsx", stdin=stdin)
    assert redirected.returncode == 1 and zipfile.is_zipfile(tmp_path / "o.xlsx")


def test_an_ods_row_wider_than_its_first_rows_has_the_sheet_written_again(tmp_path):
    """A large content part is read only as far as its first rows before it is
    written; a later row that reaches further has it read whole and written again."""
    ns = ('xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
          'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
          'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"')
    cell = '<table:table-cell office:value-type="string"><text:p>{}</text:p></table:table-cell>'
    row = lambda *cells: "<table:table-row>" + "".join(cell.format(c) for c in cells) + "</table:table-row>"
    rows = [row("IBAN")] + [row("ES91 2100 0418 4502 0005 1332", "x" * 150)] * 120000
    rows[110000] = row("ES91 2100 0418 4502 0005 1332", "", "", "", "més enllà")
    content = (f'<office:document-content {ns}><office:body><office:spreadsheet>'
               f'<table:table table:name="A">{"".join(rows)}</table:table>'
               "</office:spreadsheet></office:body></office:document-content>")
    book = tmp_path / "ample.ods"
    mimetype = (zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
    book.write_bytes(zip_with([mimetype, ("content.xml", content)]))
    result = run(book, "-o", tmp_path / "o.ods")
    said = result.stderr.decode()
    assert result.returncode == 0 and said.count("llibre .ods, full «A» (el primer)") == 1, said
    with zipfile.ZipFile(tmp_path / "o.ods") as z:
        written = z.read("content.xml").decode()
    # Every row's IBAN is in the sixth column, after the wide row's five.
    assert written.count("ES9121000418450200051332") == 120000
    first = written[written.index("<table:table-row>", written.index("IBAN")):]
    first = first[: first.index("</table:table-row>")]
    assert first.count("<table:table-cell") == 2 + 1 + 6 and 'number-columns-repeated="3"' in first
