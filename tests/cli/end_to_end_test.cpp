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
