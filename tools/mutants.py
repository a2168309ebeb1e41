#!/usr/bin/env python3
"""Mutation testing of the suite: a fixed list of small faults, of the kinds a slip of
the keyboard makes (a comparison flipped, a constant off by one, a branch dropped, a
status swapped), is put into core/, ui/ and cli/ one at a time; each time the tree is
rebuilt and the suite run. A fault the suite notices is killed; one it does not,
survived. The tree is given back as it was after each fault, and on any exit.

    python3 tools/mutants.py [--build DIR] [--only N[,N...]] [--save FILE] [--against FILE]
                             [--every-test]

--build     the build folder to use (build-mutants by default; configured when new)
--only      run only these mutants, by their number in the list
--save      write each mutant's outcome to FILE, one "number outcome" line each
--against   compare with a FILE saved before: a mutant killed there and not here is a
            loss of the suite's power, and makes the exit status 1
--every-test  run the whole suite on each fault, not only up to its first failure, and
            say which tests caught it (saved after its outcome): what a test alone
            catches is what cutting it would lose
--list      print the list and stop

Every fault's text must stand exactly once in its file; a list that no longer fits
the code says which entry and stops before changing anything.
"""

import argparse
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (file, the text as it stands, the text with the fault, what the fault is)
MUTANTS = [
    # core: the control digits
    ("core/ccc.h", "return d == 11 ? 0 : (d == 10 ? 1 : d);",
     "return d == 11 ? 0 : (d == 10 ? 0 : d);", "remainder 1 gives control digit 0"),
    ("core/ccc.h", "pesosEntitatOficina{4, 8, 5, 10, 9, 7, 3, 6}",
     "pesosEntitatOficina{4, 8, 5, 10, 9, 7, 6, 3}", "two weights of the first sum swapped"),
    ("core/ccc.h", "pesosCompte{1, 2, 4, 8, 5, 10, 9, 7, 3, 6}",
     "pesosCompte{1, 2, 4, 8, 5, 10, 9, 7, 3, 7}", "last weight of the second sum off by one"),
    ("core/ccc.h", "return valorDigit(control[0]) ==", "return valorDigit(control[1]) ==",
     "first control digit read from the second"),
    ("core/ccc.h", "&&\n           compte != zeros;", ";", "the all-zero account passes"),
    ("core/ccc.h", "if (compte.size() != digitsCCC)", "if (compte.size() < digitsCCC)",
     "a longer account is checked on its first 20"),
    # core: IBAN check digits and the registry
    ("core/iban.cpp", "if (digits < 2 || digits > 98 || r", "if (digits < 1 || digits > 98 || r",
     "check digits 01 accepted"),
    ("core/iban.cpp", "|| r.residu() != 1)", "|| r.residu() == 1)", "MOD 97 test inverted"),
    ("core/iban.cpp", "const int digits = 98 - r.xifra(0)", "const int digits = 97 - r.xifra(0)",
     "check digits one too low"),
    ("core/iban.cpp", "    case 'n':\n        return text::isDigit(c);",
     "    case 'n':\n        return text::isDigit(c) || text::isCapital(c);",
     "a letter where the registry wants a digit"),
    ("core/iban.cpp", "if (iban.size() != static_cast<std::size_t>(pais->llargada))",
     "if (iban.size() > static_cast<std::size_t>(pais->llargada))",
     "a short foreign IBAN taken for well formed"),
    ("core/modul97.h", "static constexpr std::uint64_t limit = 100'000'000'000'000'000;",
     "static constexpr std::uint64_t limit = 1'000'000'000'000'000'000;",
     "a long remainder overflows before it is reduced"),
    ("core/modul97.h", "afegir(100, static_cast<unsigned>(valorLletra(c)))",
     "afegir(10, static_cast<unsigned>(valorLletra(c)))", "a letter read as one digit"),
    ("core/iban.cpp", "return nacional && !nacional(bban) ?", "return nacional && nacional(bban) ?",
     "the national check inverted"),
    # core: the national checks
    ("core/control_nacional.cpp", "return (residu == 0 ? 97 : residu) ==",
     "return residu ==", "Belgium's remainder 0 not read as 97"),
    ("core/control_nacional.cpp", "k < 9 ? k + 1 : k < 18 ? k - 8 : k - 16",
     "k < 9 ? k + 1 : k < 18 ? k - 8 : k - 17", "the RIB key's S to Z one off"),
    ("core/control_nacional.cpp", "suma += j % 2 == 0 ? valorsCIN", "suma += j % 2 == 1 ? valorsCIN",
     "the CIN's odd and even places swapped"),
    ("core/control_nacional.cpp", "p = 2 * (p == 0 ? 10 : p) % 11;", "p = 2 * p % 11;",
     "MOD 11,10 reads 0 as 0"),
    ("core/control_nacional.cpp", "if (bban.substr(16, 8) == u\"00000000\")",
     "if (bban.substr(15, 8) == u\"00000000\")", "Hungary's short account told by the wrong places"),
    ("core/control_nacional.cpp", "std::array{10, 5, 8, 4, 2, 1}", "std::array{10, 5, 8, 4, 1, 2}",
     "two weights of the Czech prefix swapped"),
    ("core/control_nacional.cpp", "const int d = xifra(bban[bban.size() - 1 - k]) * (k % 2 == 0 ? 1 : 2);",
     "const int d = xifra(bban[bban.size() - 1 - k]) * (k % 2 == 0 ? 2 : 1);",
     "Luhn doubles the wrong digits"),
    # core: reading an account
    ("core/compte.h", "for (; i + 4 < iban.size(); i += 4, k += 5) {",
     "for (; i + 5 < iban.size(); i += 4, k += 5) {", "paper form loses its last blank"),
    ("core/compte.cpp", "if (text::isBlank(c) || text::isHyphen(c) || c == u'.')",
     "if (text::isBlank(c) || text::isHyphen(c))", "dots no longer separate groups"),
    ("core/compte.cpp", "if (resta.size() == digitsCCC && text::allDigits(resta))",
     "if (resta.size() >= digitsCCC && text::allDigits(resta))", "21 digits read as an account"),
    ("core/compte.cpp", "return resta.size() == 2 + digitsIBAN &&",
     "return resta.size() == 1 + digitsIBAN &&", "a Spanish IBAN one digit short"),
    ("core/text.h", "return c == u' ' || c == u'\\t';", "return c == u' ';",
     "a tab is no blank"),
    ("core/text.h", "static_cast<char16_t>(c - 0xFEE0)", "static_cast<char16_t>(c - 0xFEDF)",
     "full-width forms read one character off"),
    ("core/text.cpp", "if (rest > 0.5 || (rest == 0.5 && n % 2 != 0))",
     "if (rest >= 0.5)", "halves rounded up, not to even"),
    # core: the directory
    ("core/entitats.cpp", "if (codi.size() != campEntitat.mida)",
     "if (codi.size() > campEntitat.mida)", "a BIC for a code of fewer than four characters"),
    ("core/entitats.cpp", "return taulaNoms[*v];", "return taulaNoms[*v - 1];",
     "the name of the code one below"),
    ("core/entitats.cpp", "noms[codi] = e ? e->nom : std::u16string_view{};",
     "noms[codi] = e ? e->bic : std::u16string_view{};", "the names table filled with BICs"),
    # core: the suggestion
    ("core/suggeriment.cpp", "bool compta() const { return passa() && cercarEntitat(entitat) != nullptr; }",
     "bool compta() const { return passa(); }", "an unlisted entity counts as a candidate"),
    ("core/suggeriment.cpp", "e.digits += (i == 0 ? 10 : 1) * (nou - d[i]);",
     "e.digits += (i == 0 ? 1 : 10) * (nou - d[i]);", "the check digits' places swapped"),
    ("core/suggeriment.cpp", "return (!falla1 || dins(i, true) || dins(j, true)) &&",
     "return (!falla1 || dins(i, true)) &&", "a swap of a check digit into the entity not tried"),
    ("core/suggeriment.cpp", "for (std::size_t i = 0; i + 1 < x.mida && s.candidats < 2; ++i) {",
     "for (std::size_t i = 0; i + 2 < x.mida && s.candidats < 2; ++i) {",
     "the last two digits never swapped"),
    ("core/suggeriment.cpp", "control == 1 ? 1 : -1};", "control == 1 ? 10 : -1};",
     "a control digit 1's other remainder never tried"),
    # core: the check of one account
    ("core/comprovacio.cpp", "c.estat = c.entitat ? Estat::correcte : Estat::entitatDesconeguda;",
     "c.estat = Estat::correcte;", "an unknown entity reported correct"),
    ("core/comprovacio.cpp", "(digitsIBAN[0] != digits[0] || digitsIBAN[1] != digits[1])",
     "(digitsIBAN[0] != digits[0])", "an IBAN's second check digit not compared"),
    ("core/comprovacio.cpp", "        c.estat = Estat::estrangerMalFormat;\n        c.defecte = Defecte::format;",
     "        c.estat = Estat::noCompte;\n        c.defecte = Defecte::format;",
     "a malformed foreign IBAN called no account"),
    ("core/comprovacio.cpp", "c.estat = Estat::digitsNacionalsIncorrectes;",
     "c.estat = Estat::estrangerCorrecte;", "wrong national digits reported correct"),
    ("core/comprovacio.cpp", "        if (suggerir)\n            suggerirIBAN(iban, c.suggeriment);",
     "        if (suggerir && iban.empty())\n            suggerirIBAN(iban, c.suggeriment);",
     "a foreign IBAN never gets a suggestion"),
    ("core/comprovacio.h", "{Estat::estrangerCorrecte, u\"IBAN estranger correcte\", true},",
     "{Estat::estrangerCorrecte, u\"IBAN estranger correcte\", false},",
     "a right foreign IBAN not counted correct"),
    ("core/comprovacio.h", "{Estat::senseCompte, u\"sense compte\", false},",
     "{Estat::senseCompte, u\"sense comptes\", false},", "a status text misspelt"),
    ("core/compte.cpp", "return cercarPaisIBAN(resta.substr(0, 2)) ? Defecte::llargada : Defecte::component;",
     "return Defecte::llargada;", "an unknown country's fault called its length"),
    ("core/suggeriment.cpp", "const int nou = vell + d <= 9 ? vell + d : vell + d - 97;",
     "const int nou = vell + d <= 9 ? vell + d : vell + d - 96;",
     "a foreign typo to a lower digit never undone"),
    ("core/suggeriment.cpp", "((iban[i + 1] - iban[i]) * (pes[i] - pes[i + 1]) - falta) % 97 != 0)",
     "((iban[i + 1] - iban[i]) * (pes[i + 1] - pes[i]) - falta) % 97 != 0)",
     "a foreign swap's move of the remainder taken the wrong way"),
    # ui: the calculator window
    ("ui/frmCalculadora.cpp", "aturarSi(textDe(txtBanc).size() < mdlFuncions::campEntitat.mida,",
     "aturarSi(textDe(txtBanc).size() < mdlFuncions::campEntitat.mida - 1,",
     "a three-digit entity asks nothing"),
    ("ui/frmCalculadora.cpp", "aturarSi(textDe(txtCompte).size() != mdlFuncions::campCompte.mida,",
     "aturarSi(textDe(txtCompte).size() < mdlFuncions::campCompte.mida,",
     "an over-long account asks nothing"),
    ("ui/frmCalculadora.cpp", "|| mdlFuncions::validarCCC(compte)) {",
     "|| !mdlFuncions::validarCCC(compte)) {", "the wrong-digits question asked of right accounts"),
    ("ui/frmCalculadora.cpp", "if (textDe(camp).size() == llargada) {",
     "if (textDe(camp).size() + 1 == llargada) {", "the focus moves on one digit early"),
    ("ui/frmCalculadora.cpp", "    etiqueta.setCaption(nom);\n", "",
     "the entity's name never shown"),
    ("ui/frmCalculadora.cpp", "if (primeraActivacio_ != 0) {", "if (primeraActivacio_ == 0) {",
     "the first activation does nothing"),
    ("ui/frmCalculadora.cpp", "caption().empty() && textDe(txtBanc) == entitatBIC_;",
     "caption().empty();", "the BIC copied for an entity the fields no longer hold"),
    ("ui/frmCalculadora.cpp", "copiar(ibanOfert(), mdlFuncions::formatPaper(ibanSencer_));",
     "copiar(ibanOfert(), ibanSencer_);", "the paper form copied electronic"),
    ("ui/frmCalculadora.cpp", "        runtime().beep();\n        return;",
     "        return;", "no beep when there is no IBAN to copy"),
    ("ui/frmCalculadora.cpp", "if (suggeriment.candidats == 1) {", "if (suggeriment.candidats >= 0) {",
     "the pasted IBAN's box names a suggestion it has not"),
    ("ui/finestres.cpp", "finestra.setTop(*sobraAlt / 2);", "finestra.setTop(*sobraAlt / 3);",
     "the window placed off centre"),
    ("ui/finestres.cpp", "if (caracter < 30) {", "if (caracter < 8) {",
     "control keys dropped by the digit filter"),
    # cli: the splitter
    ("cli/csv.cpp", "return data[pos] == '\\n' && pos > from && data[pos - 1] == '\\r' ? pos - 1 : pos;",
     "return data[pos] == '\\n' && pos > from && data[pos - 1] == '\\r' ? pos : pos;",
     "a CRLF's CR kept in the row"),
    ("cli/csv.cpp", "            seg = close + 2;", "            seg = close + 1;",
     "a doubled quote read as two"),
    ("cli/csv.cpp", "record.raw = data.substr(0, eol_ == '\\n' && data[maxRow_ - 1] == '\\r' ? maxRow_ - 1 : maxRow_);",
     "record.raw = data.substr(0, maxRow_);",
     "an over-long row's CR at the limit taken from its CRLF"),
    ("cli/csv.cpp", "            record.allQuoted = false;\n            std::size_t after = pos;",
     "            std::size_t after = pos;", "a row with an unquoted cell taken as all quoted"),
    ("cli/csv.cpp", "if (semicolons >= tabs && semicolons >= commas)",
     "if (semicolons >= tabs && semicolons > commas)", "a tie of ';' and ',' goes to ','"),
    ("cli/account.cpp", "appendCell(out, text, separator_, quoteAll_);",
     "appendCell(out, text, ';', quoteAll_);", "added cells quoted for ';' whatever the separator"),
    # cli: encodings
    ("core/text.h", "if (b >= 0xC2 && b <= 0xDF)", "if (b >= 0xC0 && b <= 0xDF)",
     "overlong two-byte forms taken for UTF-8"),
    ("core/text.h", "high = b == 0xED && !wtf8 ? 0x9F : 0xBF;", "high = b == 0xED && wtf8 ? 0x9F : 0xBF;",
     "encoded surrogates taken for UTF-8"),
    ("cli/encoding.cpp", "out += b >= 0x80 && b < 0xA0 ? cp1252Alt[b - 0x80] : char16_t(b);",
     "out += b > 0x80 && b < 0xA0 ? cp1252Alt[b - 0x80] : char16_t(b);",
     "the Windows-1252 euro read as a control character"),
    ("cli/encoding.cpp", "if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))",
     "if (c < 0x80 || (c >= 0xC0 && c <= 0xFF))", "Latin-1 signs (the middle dot) written as '?'"),
    ("cli/encoding.cpp", "unit(static_cast<char16_t>(big_ ? first << 8 | second : second << 8 | first), out);",
     "unit(static_cast<char16_t>(big_ ? first << 8 | second : first << 8 | second), out);",
     "UTF-16LE read as big-endian"),
    # cli: reading an input
    ("cli/input.cpp", "        return Utf16::bigEndian;", "        return Utf16::littleEndian;",
     "UTF-16BE's byte order mark taken for UTF-16LE's"),
    ("cli/input.cpp", "decoder_.skip(utf8Bom.size());", "decoder_.skip(utf8Bom.size() - 1);",
     "the UTF-8 byte order mark's last byte read as the first row's"),
    ("cli/input.cpp", "        while (valid) {", "        while (!valid) {",
     "only the first bytes of a regular file checked"),
    ("cli/input.cpp", "if (utf8 && !buffer_.atEnd())", "if (utf8 && buffer_.atEnd())",
     "a pipe's bytes after the first window never checked"),
    ("cli/input.cpp", "failure.line = 1 + (lf_ > 0 ? lf_ : cr_);", "failure.line = lf_ > 0 ? lf_ : cr_;",
     "the late byte's line named one short"),
    ("cli/input.cpp", "        --end_;\n        marked_ = true;", "        marked_ = true;",
     "the end-of-file mark read into the last row"),
    # cli: the layout
    ("cli/layout.cpp", "            layout.separator = ';';", "            layout.separator = ',';",
     "a one-column CSV's added cells after ','"),
    ("cli/layout.cpp", "return !sample_.unreadable(r) && sample_.filled(r) <= 1 &&",
     "return !sample_.unreadable(r) && sample_.filled(r) < 1 &&", "a title line of one cell no title"),
    ("cli/layout.cpp", "if (best != hits.end() && *best > 0)", "if (best != hits.end() && *best > 1)",
     "a column with a single account not chosen"),
    ("cli/layout.cpp", "fours[c] += c + 4 <= cells &&", "fours[c] += c + 4 < cells &&",
     "four columns at the row's end not found"),
    ("cli/layout.cpp", "(atEnd || cr + 1 < window.size())", "(atEnd || cr + 1 <= window.size())",
     "a CR cut at the window's edge taken for Mac line ends"),
    ("cli/layout.cpp", "(columns.namesAccount(r) || (r + 1 == first && first < sample.size()))",
     "(r + 1 == first && first < sample.size())",
     "a header naming the account's column not taken unless just above an account"),
    # cli: one row's account
    ("cli/names.cpp", "c = text::toSmall(text::fromFullWidth(c));", "c = text::toSmall(c);",
     "a full-width header name not matched"),
    ("cli/names.cpp", "for (int n = 2; isTaken(chosen); ++n)", "for (int n = 1; isTaken(chosen); ++n)",
     "a clashing added name numbered from 1"),
    ("cli/account.cpp", "if (check_.estat == mdlFuncions::Estat::noCompte && !ascii(cell))",
     "if (check_.estat == mdlFuncions::Estat::noCompte && ascii(cell))",
     "a cell with non-ASCII bytes never decoded"),
    ("cli/account.cpp", "appendCell(out, text, separator_, quoteAll_);",
     "appendCell(out, text, separator_, false);", "added cells unquoted in an all-quoted file"),
    # cli: the row loop
    ("cli/rows.cpp", "if ((cells.status == status(mdlFuncions::Estat::senseCompte) ||\n         cells.status == Status::missingColumns) &&",
     "if ((cells.status == Status::missingColumns) &&", "a spreadsheet's empty row counted as a row"),
    ("cli/rows.cpp", "                                                            : false)) {\n        ++summary_.blank;\n",
     "                                                            : false)) {\n",
     "blank lines not counted"),
    ("cli/rows.cpp", "if (++rowMessages_ <= maxRowMessages)", "if (++rowMessages_ < maxRowMessages)",
     "one unreadable row fewer named than the cap"),
    ("cli/rows.cpp", "else if (rowMessages_ == maxRowMessages + 1)",
     "else if (rowMessages_ > maxRowMessages)", "the line past the cap said for every row"),
    ("cli/convert.cpp", "line_ += record.lineBreaks + !record.end.empty();",
     "line_ += !record.end.empty();", "line breaks inside quotes left out of the line numbers"),
    # cli: the summary
    ("cli/summary.cpp", "(n == 1 ? one : many)", "(n <= 1 ? one : many)", "zero takes the singular"),
    ("cli/summary.cpp", "byStatus[i] += other.byStatus[i];", "byStatus[i] = other.byStatus[i];",
     "the statuses of the last input alone counted"),
    ("cli/summary.cpp", "blank += other.blank;", "blank = other.blank;",
     "the blank lines of the last input alone counted"),
    ("cli/summary.cpp", "cli::correct(status) == correctKinds", "true",
     "every kind listed under both counts"),
    # cli: the files
    ("cli/files.cpp", "if (in.path != \"-\" && fs::equivalent(", "if (in.path == \"-\" && fs::equivalent(",
     "an output that is a named input overwritten"),
    ("cli/files.cpp", "if (existed_ && !mayWrite(utf8Path(target_)))", "if (!existed_ && !mayWrite(utf8Path(target_)))",
     "a read-only output replaced"),
    ("cli/files.cpp", "keepOwnership(file_, existed_, mode_, uid_, gid_);",
     "keepOwnership(file_, false, mode_, uid_, gid_);", "the replaced output's owner not kept"),
    ("cli/files.cpp", "    if (temporaryPending != 0)\n        removeFile(pendingTemporary);\n", "",
     "a run ended by a signal leaves its temporary file"),
    # cli: the command line
    ("cli/main.cpp", "if (a.header && a.noHeader)", "if (a.header || a.noHeader)",
     "either header option alone refused"),
    ("cli/main.cpp", "if (option->count() > 0 && option->results().front().empty())",
     "if (option->count() > 1 && option->results().front().empty())", "an empty value taken for none"),
    ("cli/main.cpp", "return total.rows == total.correct() ? 0 : 1;", "return total.rows == total.correct() ? 0 : 2;",
     "a wrong row exits as a failed run"),
    ("cli/main.cpp", "if (options.four.size() != 4)", "if (options.four.size() < 4)",
     "five columns for --quatre-columnes accepted"),
    ("cli/main.cpp", "if (option->check_lname(name) && equals + 1 == word.size())",
     "if (option->check_lname(name) && false)", "an empty value after '=' takes the next word"),
    # cli: workbooks
    ("cli/xlsx.cpp", "    if (whole > 15) {", "    if (whole > 16) {",
     "a sixteen-digit number read as if no digit were lost"),
    ("cli/xlsx.cpp", "if (digits.size() < zeros)", "if (digits.size() > zeros)",
     "a zeros format's leading zeros dropped"),
    ("cli/xlsx.cpp", "if (static_cast<long>(digits.size()) > whole || whole > 40)",
     "if (whole > 40)", "a number with decimals read as a whole one"),
    ("cli/xlsx.cpp", "static_cast<char>('A' + (n - 1) % 26)", "static_cast<char>('A' + n % 26)",
     "a column's letters one off"),
    ("cli/xml.cpp", "r.refusal_ = \"declara un tipus de document (DTD), que no es llegeix mai\";\n"
     "        XML_StopParser(parser(r.parser_), XML_FALSE);",
     "r.refusal_ = \"declara un tipus de document (DTD), que no es llegeix mai\";",
     "a document type read on"),
    ("cli/ods.cpp", "for (std::uint64_t k = 0; k < cell_.repeat; ++k) {",
     "for (std::uint64_t k = 0; k < 1; ++k) {", "a repeated ODS cell read once"),
    ("cli/zip.cpp", "constexpr std::uint64_t maxRatio = 500;",
     "constexpr std::uint64_t maxRatio = 500000;", "a zip bomb inflated"),
]


def check_list():
    problems = []
    for number, (path, before, after, _) in enumerate(MUTANTS, 1):
        with open(os.path.join(ROOT, path), encoding="utf-8") as f:
            count = f.read().count(before)
        if count != 1:
            problems.append(f"{number}: {path}: found {count} times: {before!r}")
        if before == after:
            problems.append(f"{number}: {path}: the fault changes nothing")
    return problems


def run(command, timeout):
    try:
        return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def configure(build):
    if not os.path.exists(os.path.join(ROOT, build, "CMakeCache.txt")):
        subprocess.run(["cmake", "-S", ".", "-B", build, "-G", "Ninja", "-DBRELVOXA_TESTS=ON",
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], cwd=ROOT, check=True,
                       stdout=subprocess.DEVNULL)
    build_tree(build, check=True)


def build_tree(build, check=False):
    code = run(["cmake", "--build", build, "-j", str(os.cpu_count() or 1)], timeout=1800)
    if check and code != 0:
        sys.exit(f"the unmutated tree does not build in {build}")
    return code


def suite(build, every):
    """The suite's exit status and the tests that failed. The first failing test is
    enough unless every; a fault that makes a test hang is caught by the time limit."""
    failed_log = os.path.join(ROOT, build, "Testing", "Temporary", "LastTestsFailed.log")
    if os.path.exists(failed_log):
        os.remove(failed_log)
    code = run(["ctest", "--test-dir", build, "-j", str(os.cpu_count() or 1),
                "--timeout", "120"] + ([] if every else ["--stop-on-failure"]), timeout=1800)
    failed = []
    if os.path.exists(failed_log):
        with open(failed_log, encoding="utf-8") as f:
            failed = [line.strip().split(":", 1)[-1] for line in f if line.strip()]
    return code, failed


def try_mutant(build, path, before, after, every):
    full = os.path.join(ROOT, path)
    with open(full, encoding="utf-8") as f:
        original = f.read()
    try:
        with open(full, "w", encoding="utf-8") as f:
            f.write(original.replace(before, after, 1))
        if build_tree(build) != 0:
            return "does-not-build", []
        code, failed = suite(build, every)
        return ("killed" if code != 0 else "survived"), failed
    finally:
        with open(full, "w", encoding="utf-8") as f:
            f.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-mutants")
    parser.add_argument("--only")
    parser.add_argument("--save")
    parser.add_argument("--against")
    parser.add_argument("--every-test", action="store_true")
    parser.add_argument("--list", action="store_true")
    args = parser.parse_args()

    if args.list:
        for number, (path, _, _, what) in enumerate(MUTANTS, 1):
            print(f"{number:3} {path}: {what}")
        return 0
    problems = check_list()
    if problems:
        print("The list no longer fits the code:", *problems, sep="\n  ", file=sys.stderr)
        return 2
    chosen = range(1, len(MUTANTS) + 1)
    if args.only:
        chosen = [int(n) for n in args.only.split(",")]

    configure(args.build)
    outcomes = {}
    caught_by = {}
    started = time.monotonic()
    try:
        for number in chosen:
            path, before, after, what = MUTANTS[number - 1]
            outcomes[number], caught_by[number] = try_mutant(args.build, path, before, after,
                                                             args.every_test)
            print(f"{number:3} {outcomes[number]:14} {path}: {what}", flush=True)
            if args.every_test and caught_by[number]:
                print("      caught by " + ", ".join(caught_by[number]), flush=True)
    finally:
        build_tree(args.build)  # the build as the tree is again

    counts = {o: list(outcomes.values()).count(o) for o in ("killed", "survived",
                                                           "does-not-build")}
    print(f"{counts['killed']} killed, {counts['survived']} survived, "
          f"{counts['does-not-build']} did not build, of {len(outcomes)} "
          f"({(time.monotonic() - started) / 60:.0f} min)")
    if args.save:
        with open(args.save, "w", encoding="utf-8") as f:
            for number, outcome in sorted(outcomes.items()):
                f.write(" ".join([str(number), outcome] + caught_by[number]) + "\n")
    if args.against:
        with open(args.against, encoding="utf-8") as f:
            before = dict(line.split()[:2] for line in f if line.strip())
        lost = [n for n, o in outcomes.items()
                if before.get(str(n)) == "killed" and o != "killed"]
        for n in lost:
            print(f"lost: {n} {MUTANTS[n - 1][0]}: {MUTANTS[n - 1][3]}")
        return 1 if lost else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
