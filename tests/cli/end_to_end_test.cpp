// Runs the real brelvoxa on the files in dades/ and compares what it writes, byte
// for byte, with the files in dades/esperat/.

#include "brelvoxa/version.h"
#include "tests/cli/run.h"

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

TEST_F(EndToEnd, each_form_of_input_gives_the_expected_output_status_and_messages) {
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
        {"estrangers", "estrangers.csv", 0},
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
        // The forms people write an account or an IBAN in, and near misses.
        {"lectures", "lectures.txt", 1},
        // Past 100 unreadable rows stderr names no more of them, and says so once.
        {"illegibles", "illegibles.csv", 1},
        // Two inputs into one output file, named with -o (which replaces the file the
        // shell opened for stdout): their rows in order, each input's own layout line
        // and row messages, then one summary of both.
        {"llista-i-correcte", "-o \"$d/out\" llista.txt correcte.csv", 1},
    };
    for (const auto& [name, arguments, status] : rows) {
        const Outcome r = run(arguments);
        EXPECT_EQ(r.status, status) << arguments;
        EXPECT_EQ(r.out, read(dades / "esperat" / (std::string(name) + ".sortida"))) << arguments;
        EXPECT_EQ(r.err, read(dades / "esperat" / (std::string(name) + ".errors"))) << arguments;
    }
}

TEST_F(EndToEnd, usage_errors_exit_2_with_a_catalan_message_and_a_hint) {
    const std::string noHeaderByName = "brelvoxa: amb --sense-capcalera, cal indicar cada columna "
                                       "pel seu número: un nom necessita una capçalera\n";
    const std::tuple<std::string, std::string> rows[] = {
        {"--no-existeix llista.txt", "brelvoxa: opció desconeguda: «--no-existeix»\n"},
        {"-s '|' correcte.csv", "brelvoxa: separador no vàlid: «|» (ha de ser «;», «,» o «tab»)\n"},
        {"-c Telefon correcte.csv",
         "brelvoxa: correcte.csv: no hi ha cap columna «Telefon» a la capçalera\n"},
        {"--quatre-columnes=1,2 correcte.csv",
         "brelvoxa: --quatre-columnes vol quatre columnes separades per comes\n"},
        {"--quatre-columnes=1,2,3,4,5 correcte.csv",
         "brelvoxa: --quatre-columnes vol quatre columnes separades per comes\n"},
        {"-o '' correcte.csv", "brelvoxa: el valor de --sortida és buit\n"},
        {"-o /dev/null -o /dev/null correcte.csv",
         "brelvoxa: --sortida s'ha donat més d'una vegada\n"},
        {"-c 3 -c Compte correcte.csv", "brelvoxa: --columna s'ha donat més d'una vegada\n"},
        {"--sense-capcalera -c Compte correcte.csv", noHeaderByName},
        {"--sense-capcalera --quatre-columnes=1,Oficina,3,4 quatre-columnes.csv", noHeaderByName},
        {"-f csv --sense-capcalera - < /dev/null",
         "brelvoxa: entrada estàndard: no s'ha trobat cap columna amb comptes; indiqueu-la amb "
         "--columna o --quatre-columnes\n"},
    };
    for (const auto& [arguments, message] : rows) {
        const Outcome r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments;
        EXPECT_EQ(r.err.substr(0, message.size()), message) << arguments;
    }
}

TEST_F(EndToEnd, help_and_version_go_to_stdout_and_exit_0) {
    for (const auto& [arguments, start] :
         {std::pair("--help", "Ús: brelvoxa [OPCIÓ]... [FITXER]...\n"),
          std::pair("--version", "brelvoxa (Brelvoxa) " BRELVOXA_VERSION "\n")}) {
        const Outcome r = run(arguments);
        EXPECT_EQ(std::tuple(r.status, r.out.rfind(start, 0), r.err), std::tuple(0, 0u, ""))
            << arguments;
    }
}
