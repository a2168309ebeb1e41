// Runs the real brelvoxa on the files in dades/ and compares what it writes, byte
// for byte, with the files in dades/esperat/.

#include "brelvoxa/version.h"
#include "cli/account.h"
#include "core/control_nacional.h"
#include "tests/cli/run.h"

#include <regex>
#include <tuple>

class EndToEnd : public InDirectory {
protected:
    struct Outcome {
        int status;
        std::string out, err;
    };

    // Runs the program in dades/ with the given arguments and shell redirections.
    Outcome run(const std::string& arguments) {
        const int status =
            shell("d=$PWD; cd \"$DADES\" && $BRELVOXA " + arguments + " >\"$d/out\" 2>\"$d/err\"");
        return {status, file("out"), file("err")};
    }
};

TEST_F(EndToEnd, each_sample_run_gives_the_expected_output_status_and_messages) {
    const std::tuple<const char*, std::string, int> rows[] = {
        {"llista", "llista.txt", 1},
        {"punt-i-coma", "-c IBAN punt-i-coma.csv", 1},
        {"quatre-columnes", "--quatre-columnes=Entitat,Oficina,DC,Compte quatre-columnes.csv", 1},
        {"quatre-columnes-triades", "quatre-columnes.csv", 1},
        {"windows-1252", "- < windows-1252.tsv", 0},
        {"illegible", "illegible.csv", 1},
        {"correcte", "correcte.csv", 0},
        // Excel's "Unicode text": UTF-16LE with its byte order mark, tabs and CRLF.
        {"text-unicode", "text-unicode.txt", 1},
        {"text-unicode-columna", "-c Compte text-unicode.txt", 1},
        {"utf16be", "- < utf16be.csv", 1},
        {"text-unicode", "-e windows-1252 text-unicode.txt", 1}, // its byte order mark wins
        {"mac", "mac.csv", 1},
        {"saldo", "saldo.csv", 1},
        {"una-columna", "una-columna.csv", 1},
        // A full-width header name is found by its ASCII name, and taken by it too.
        {"amplada-completa", "-c IBAN amplada-completa.csv", 0},
        {"enganxats", "enganxats.csv", 0},
        {"mixta", "mixta.txt", 1},
        {"estrangers", "estrangers.csv", 1},
        // Accounts in the forms the samples above leave out, in Windows-1252, whose
        // statuses are written in it too.
        {"formes", "formes.csv", 1},
        // Four cells with blanks, look-alikes or nothing, and a suggestion, then none.
        {"quatre-camps", "quatre-camps.csv", 1},
        {"blancs", "blancs.txt", 0},
        // Four digits in a row are an account's, not a name's.
        {"any", "-c 1 any.tsv", 1},
        {"parts", "parts.csv", 0},
        {"minuscules", "-c IBAN minuscules.csv", 0},
        {"barra", "-c 2 -s , barra.csv", 0},
        {"bom", "- < bom.txt", 1},
        {"bom-windows-1252", "-e windows-1252 bom.txt", 1},
        {"mig-bom", "mig-bom.txt", 1}, // half a UTF-16 byte order mark is none
        {"capcalera", "-f llista --capcalera capcalera.txt", 0},
        // Added columns named apart from the header's names in any case, and from
        // names numbered already.
        {"noms", "noms.csv", 0},
        // The shapes a list really comes in: the header is taken only when it names the
        // columns, after blank or title lines; spreadsheets' own ways of writing a
        // number down; their empty rows; old end-of-file marks.
        {"sense-capcalera", "sense-capcalera.csv", 1},
        {"un-digit-menys", "un-digit-menys.csv", 1},
        {"cometes", "cometes.csv", 1},
        {"parts-curtes", "parts-curtes.csv", 1},
        {"linies-buides", "linies-buides.csv", 0},
        {"titol", "titol.csv", 1},
        {"control", "control.txt", 0}, // a control character in a name is not printed
        {"compte", "compte.csv", 0},
        {"files-buides", "files-buides.csv", 0},
        {"formules", "formules.csv", 0},
        {"cientific", "cientific.csv", 1},
        {"marca", "marca.txt", 0},
        {"marca-enganxada", "marca-enganxada.txt", 0},
        {"ajuda", "--help", 0},
        // The forms people write an account or an IBAN in, and near misses.
        {"lectures", "lectures.txt", 1},
        // Usage errors: a Catalan message and, unless only the input shows them, a hint.
        {"opcio-desconeguda", "--no-existeix llista.txt", 2},
        {"separador-no-valid", "-s '|' correcte.csv", 2},
        {"columna-inexistent", "-c Telefon correcte.csv", 2},
        {"quatre-columnes-dues", "--quatre-columnes=1,2 correcte.csv", 2},
        {"quatre-columnes-cinc", "--quatre-columnes=1,2,3,4,5 correcte.csv", 2},
        {"sortida-buida", "-o '' correcte.csv", 2},
        {"sortida-dos-cops", "-o /dev/null -o /dev/null correcte.csv", 2},
        {"columna-dos-cops", "-c 3 -c Compte correcte.csv", 2},
        {"sense-capcalera-nom", "--sense-capcalera -c Compte correcte.csv", 2},
        {"sense-capcalera-quatre",
         "--sense-capcalera --quatre-columnes=1,Oficina,3,4 quatre-columnes.csv", 2},
        {"sense-columna", "-f csv --sense-capcalera - < /dev/null", 2},
        // An empty value after "=" is refused before the file after it, a copy of a
        // sample, is opened: it is never taken for the value.
        {"buit-sortida", "--sortida= \"$d/c.csv\" < /dev/null", 2},
        {"buit-columna", "--columna= \"$d/c.csv\"", 2},
        {"buit-quatre-columnes", "--quatre-columnes= \"$d/c.csv\"", 2},
        {"buit-separador", "--separador= \"$d/c.csv\"", 2},
        {"buit-format", "--format= \"$d/c.csv\"", 2},
        {"buit-codificacio", "--codificacio= \"$d/c.csv\"", 2},
        {"capcalera-amb-valor", "--capcalera= \"$d/c.csv\"", 2},
        {"guions", "-c 3 -- correcte.csv", 0}, // after "--", files
        // Workbooks (llibre.xlsx made by XlsxWriter, llibre.ods from it by LibreOffice),
        // written where they can seek: their layout and summary; a sheet by name; a
        // workbook among other inputs, or --full on a list; binary files given as lists.
        {"llibre", "llibre.xlsx -o /dev/null", 1},
        {"llibre-ods", "- -o /dev/null < llibre.ods", 1},
        {"llibre-full", "--full=Altres llibre.xlsx -o /dev/null", 2},
        {"llibre-full-desconegut", "--full=Cap llibre.ods -o /dev/null", 2},
        {"llibre-i-llista", "llibre.xlsx llista.txt -o /dev/null", 2},
        {"full-sense-llibre", "--full=Clients llista.txt", 2},
        {"antic", "antic.xls", 2},
        {"pdf", "document.pdf", 2},
        {"nuls", "- < nuls.txt", 2},
        // Past 100 unreadable rows stderr names no more of them, and says so once.
        {"illegibles", "illegibles.csv", 1},
        // Two inputs into one output file, named with -o (which replaces the file the
        // shell opened for stdout): their rows in order, each input's own layout line
        // and row messages, then one summary of both.
        {"llista-i-correcte", "-o \"$d/out\" llista.txt correcte.csv", 1},
    };
    ASSERT_EQ(shell("cp \"$DADES/correcte.csv\" c.csv"), 0);
    for (const auto& [name, arguments, status] : rows) {
        const Outcome r = run(arguments);
        EXPECT_EQ(r.status, status) << arguments;
        EXPECT_EQ(r.out, read(dades / "esperat" / (std::string(name) + ".sortida"))) << arguments;
        EXPECT_EQ(r.err, read(dades / "esperat" / (std::string(name) + ".errors"))) << arguments;
    }
    EXPECT_EQ(file("c.csv"), read(dades / "correcte.csv"));
}

TEST_F(EndToEnd, the_version_goes_to_stdout_and_exits_0) {
    const Outcome r = run("--version");
    EXPECT_EQ(
        std::tuple(r.status, r.out.rfind("brelvoxa (Brelvoxa) " BRELVOXA_VERSION "\n", 0), r.err),
        std::tuple(0, 0u, ""));
}

// The help, the manual page and the README name every status in the order of the
// one list, the correct ones first, as each says; the README's table of national
// checks names every country the core checks.
TEST_F(EndToEnd, the_help_the_manual_and_the_readme_list_the_statuses_and_countries_as_they_are) {
    const fs::path arrel = dades.parent_path().parent_path().parent_path();
    const std::tuple<const char*, std::string, std::string, std::string> documents[] = {
        {"help", run("--help").out, "Estats:", "Els tres primers compten com a correctes."},
        {"manual", read(arrel / "packaging/linux/brelvoxa.1"), ".SH ESTATS",
         "Els tres primers compten com a correctes."},
        {"README", read(arrel / "README.md"), "| status |", "The first three count as correct."},
    };
    for (std::size_t i = 0; i < cli::statusCount; ++i)
        EXPECT_EQ(cli::correct(static_cast<cli::Status>(i)), i < 3) << i;
    for (auto [nom, text, inici, frase] : documents) {
        // groff's middle dot, and lines wrapped anywhere.
        text = std::regex_replace(std::regex_replace(text, std::regex(R"(\\\[u00B7\])"), "·"),
                                  std::regex(R"(\s+)"), " ");
        std::size_t des = text.find(inici);
        for (std::size_t i = 0; i < cli::statusCount && des != std::string::npos; ++i) {
            const auto estat = static_cast<cli::Status>(i);
            std::string escrit = cli::statusText(estat);
            if (nom == std::string("manual") && cli::unreadable(estat))
                escrit = escrit.substr(escrit.find(": ") + 2); // "fila il·legible: MOTIU"
            des = text.find(escrit, des);
            EXPECT_NE(des, std::string::npos) << nom << ": " << escrit;
        }
        EXPECT_NE(text.find(frase, des == std::string::npos ? 0 : des), std::string::npos) << nom;
    }
    const std::string& readme = std::get<1>(documents[2]);
    const std::string paisos = readme.substr(readme.find("| country | what is checked |"));
    for (const auto& control : mdlFuncions::controlsNacionals) {
        const std::string codi{char(control.pais[0]), char(control.pais[1])};
        EXPECT_TRUE(std::regex_search(paisos.substr(0, paisos.find("\n\n")),
                                      std::regex("[|,] " + codi + "[ ,]")))
            << codi;
    }
}
