// Runs the real brelvoxa on the files in dades/ and compares what it writes, byte
// for byte, with the files in dades/esperat/.

#include "brelvoxa/version.h"
#include "cli/account.h"
#include "tests/cli/run.h"

#include <tuple>
#include <vector>

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

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        found.push_back(line);
    return found;
}

// What became of each line of the input, joined by "|": "=" written back as it
// came, "capçalera" given the added columns' names, else the status it was given,
// with "+^Z" when the input's end-of-file mark follows it.
std::string outcomes(const std::string& input, const std::string& output) {
    const auto in = lines(input);
    auto out = lines(output);
    std::string joined;
    for (std::size_t i = 0; i < out.size(); ++i) {
        std::string outcome = i < in.size() && out[i] == in[i] ? "=" : "?";
        std::erase(out[i], '"');
        if (outcome != "=" && out[i].find("IBAN en format paper") != std::string::npos)
            outcome = "capçalera";
        for (std::size_t s = 0; outcome == "?" && s < cli::statusCount; ++s)
            for (const char sep : {';', ',', '\t'}) {
                const std::string text = cli::statusText(static_cast<cli::Status>(s));
                if (out[i].find(sep + text + sep) != std::string::npos && text.size() > 1)
                    outcome = text; // the longer of "correcte" and "IBAN estranger correcte"
            }
        if (outcome != "=" && out[i].ends_with('\x1A'))
            outcome += "+^Z";
        joined += (i == 0 ? "" : "|") + outcome;
    }
    return joined;
}

} // namespace

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

// The shapes a list really comes in: the header is taken only when it names the
// columns, spreadsheets' own ways of writing a number down, old end-of-file marks.
TEST_F(EndToEnd, each_shape_of_list_gives_each_row_its_status_and_the_run_its_exit_status) {
    constexpr const char* es91 = "ES9121000418450200051332";
    const std::string ok = "21000418450200051332";
    const struct {
        std::string file, input, arguments;
        int status;
        std::string outcomes, message; // message: a part of stderr
    } rows[] = {
        {"a.csv", "Anna Puig;;120,00\r\nPere Soler;" + std::string(es91) + ";80,00\r\n", "", 1,
         "sense compte|correcte", "; sense capçalera\n"},
        {"a.csv", "Anna;ES91 2100 0418 4502 0005 133;1\nPere;" + std::string(es91) + ";2\n", "", 1,
         "no és un compte|correcte", ""},
        {"a.csv", "\"2100041845020005133\"\r\n\"" + ok + "\"\r\n", "", 1,
         "no és un compte|correcte", ""},
        {"a.csv", "Anna,2100,418,45,0200051332\nPere,2100,0418,45,0200051332\n", "", 1,
         "no és un compte|correcte", ""},
        {"a.csv", "\r\n\r\nNom;IBAN\r\nPere;" + std::string(es91) + "\r\n", "", 0,
         "=|=|capçalera|correcte", "; la primera fila és la capçalera: «Nom», «IBAN»\n"},
        {"a.csv",
         "Proveïdors de l'exercici 2026;;\r\n;;\r\nNom;IBAN;Import\r\nPere;" + ok + ";80\r\n", "",
         0, "=|=|capçalera|correcte",
         "; la línia 3 és la capçalera: «Nom», «IBAN», «Import»; a sobre, 1 fila de títol\n"},
        {"a.txt", "IBAN\x1B\n" + std::string(es91) + "\n", "", 0, "capçalera|correcte",
         "UTF-8; la primera fila és la capçalera: «IBAN?»\n"},
        {"a.csv", "Compte\r\n" + ok + "\r\n", "", 0, "capçalera|correcte", "separat per «;»"},
        {"a.csv", "Nom;IBAN;Import\r\nPere;" + ok + ";80\r\n;;\r\n;;\r\n", "", 0,
         "capçalera|correcte|=|=", "1 fila llegida: 1 correcta, 0 amb errors\n"},
        {"a.csv",
         "Nom;IBAN\r\nA;=\"" + ok + "\"\r\nB;'" + ok +
             "\r\nC;IBAN: ES91 2100 0418 4502 0005 1332\r\nD;IBAN:" + es91 + "\r\n",
         "", 0, "capçalera|correcte|correcte|correcte|correcte", ""},
        {"a.csv", "A;2,1E+19\r\nB;" + ok + "\r\nC;2.10004E+19\r\nD;1E5\r\n", "", 1,
         "nombre en notació científica: xifres perdudes|correcte|nombre en notació científica: "
         "xifres perdudes|no és un compte",
         "; sense capçalera\n"},
        {"a.txt", ok + "\n\x1A", "", 0, "correcte|=", ""},
        {"a.txt", ok + "\x1A", "", 0, "correcte+^Z", ""},
    };
    for (const auto& row : rows) {
        std::ofstream(dir_ / row.file, std::ios::binary) << row.input;
        const int status = shell("$BRELVOXA " + row.arguments + " " + row.file + " >out 2>err");
        EXPECT_EQ(status, row.status) << row.input;
        EXPECT_EQ(outcomes(row.input, file("out")), row.outcomes) << row.input;
        EXPECT_NE(file("err").find(row.message), std::string::npos) << row.input << file("err");
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
