// brelvoxa: adds to every account of a plain list, a CSV file or a workbook its IBAN, BIC,
// registered name, a status and a suggestion, row for row, losing nothing. Options are read
// with CLI11; messages are GNU-style, in Catalan, on stderr; progress shows only
// when stderr is a terminal.

#include "cli/convert.h"
#include "cli/files.h"
#include "cli/summary.h"
#include "cli/workbook.h"
#include "core/control_nacional.h"
#include "core/entitats.h"
#include "core/registre_iban.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "brelvoxa/version.h"

namespace {

using cli::Failure;

constexpr const char* program = "brelvoxa";

constexpr const char* helpText = R"(Ús: brelvoxa [OPCIÓ]... [FITXER]...
Afegeix a cada compte bancari d'una llista, d'un fitxer CSV o d'un llibre de
full de càlcul (.xlsx, .ods) el seu IBAN
(electrònic i en format paper), el BIC, el nom de l'entitat, un estat i, si
el compte és erroni, un suggeriment, fila per fila, sense perdre ni reordenar
res.

Sense FITXER, o quan FITXER és -, llegeix l'entrada estàndard; en un terminal,
s'acaba amb un Ctrl+D a l'inici d'una línia (Ctrl+Z i Retorn a Windows).
Una llista té un compte per línia: un compte espanyol de 20 dígits o en forma
d'IBAN, o l'IBAN d'un altre país, amb espais, guions o punts o sense, amb «IBAN»
al davant o sense. Un CSV pot anar separat per ';', ',' o tabuladors, en UTF-8
(amb BOM o sense) o en Windows-1252; tot això es dedueix si no es diu. Un
fitxer en UTF-16 amb BOM (el «text Unicode» d'Excel) es llegeix i s'escriu en
UTF-16. Les línies acaben en LF o CRLF, o bé en CR sol si el primer MiB no
té cap LF. Un Ctrl+Z (0x1A) com a últim byte, final de fitxer de DOS, es torna
al final i no és de cap fila. Si l'entrada estàndard, llegida com a UTF-8 pel
primer MiB, després té un byte que no ho és, s'atura amb l'estat 2: torneu-ho
a provar amb -e windows-1252.

La capçalera és la primera fila no en blanc la cel·la de la qual a la columna
del compte (a les quatre) és un nom: alguna lletra, cap tira de quatre xifres,
cap compte. Si no, és de dades. Les línies de títol (una sola cel·la) de sobre
es tornen tal com són; la capçalera és llavors la fila que anomena el compte o
la d'abans del primer compte. Un fitxer .csv d'una columna s'escriu com a CSV.

Un llibre .xlsx (o .xlsm) o .ods, conegut pel seu contingut, es torna a
escriure sencer i del mateix tipus: del primer full (o del que diu --full),
amb les regles d'un CSV, cada fila amb un compte guanya sis cel·les després
de l'última columna usada, i l'estat d'una fila incorrecta té un fons vermell
clar; la resta (altres fulls, formats, fórmules, macros) no es toca. Un
nombre amb format de zeros (0000) es llegeix amb els zeros que mostra; un de
més de 15 xifres ha perdut xifres. Un llibre es converteix sol, es llegeix
d'un fitxer (no d'un conducte) i s'escriu a un fitxer, mai en un terminal.
Un .xls antic o un llibre amb contrasenya cal desar-lo abans com a .xlsx o
.ods.

Es llegeixen ="2100...", '2100... i «IBAN: ES91...». Un nombre en notació
científica (una xifra de l'1 al 9; coma o punt i més xifres, o res; E o e; un +
o res; un exponent del 16 al 19) amb menys xifres que el nombre, com ara
2,10004E+19, ha perdut xifres. Les files de cel·les buides (;;) es tornen tal
com són i no compten.

  -o, --sortida=FITXER       escriu a FITXER en comptes de la sortida estàndard;
                               el fitxer només es reemplaça quan és complet, i
                               mai no pot ser un dels d'entrada; d'un enllaç
                               simbòlic es reemplaça el fitxer on porta, i un
                               fitxer que no es pot escriure es refusa
  -c, --columna=COL          el compte és a la columna COL: el seu nom a la
                               capçalera o el seu número, des d'1
      --quatre-columnes=E,O,D,C  el compte és en quatre columnes (entitat,
                               oficina, dígits de control i compte), pel seu
                               nom o número
  -s, --separador=SEP        separador del CSV: ';', ',' o 'tab'
  -f, --format=FORMAT        'llista' o 'csv'
  -e, --codificacio=COD      'utf-8' o 'windows-1252'
      --capcalera            la primera fila que no és en blanc és la
                               capçalera
      --sense-capcalera      no hi ha capçalera; les columnes s'indiquen
                               llavors pel número
      --full=NOM             d'un llibre, el full NOM en lloc del primer
  -h, --help                 mostra aquesta ajuda i surt
      --version              mostra la versió i surt

Cada opció es dona un sol cop, i mai amb un valor buit. Després de --, totes
les paraules són fitxers, encara que comencin amb un guió.

Sense --columna ni --quatre-columnes, es tria la columna els valors de la qual
es llegeixen com a comptes (espanyols o IBAN d'altres països), i es diu quina a
la sortida d'errors.

)";

// The added columns' names are the converter's own; the help lists them from there.
constexpr const char* helpColumns = R"(
En un CSV van separades pel seu separador, i la capçalera en porta els noms; en
una llista, per tabuladors, i sense fila de capçalera si la llista no en té. Un
nom que la capçalera ja té porta el primer número lliure al darrere («IBAN 2»).
Les quatre primeres queden buides quan no hi ha res correcte per posar-hi.
Estats:
  correcte                       compte espanyol correcte
  correcte, entitat desconeguda  correcte, però l'entitat no és al directori
  IBAN estranger correcte        IBAN d'un altre país correcte: IBAN i format
                                   paper, sense BIC ni entitat (el directori és
                                   espanyol); si el país en té, també hi quadren
                                   els dígits de control nacionals
  dígits de control incorrectes  els dígits de control del compte no quadren
  dígits de l'IBAN incorrectes   els dígits de control de l'IBAN no quadren
  dígits de control nacionals incorrectes
                                 IBAN d'un altre país ben format i amb els
                                   dígits de l'IBAN bons, però els dígits de
                                   control del compte del país no quadren: té
                                   IBAN i format paper, però és un error
  IBAN estranger mal format      país conegut, però llargada o forma incorrectes
  compte tot zeros               20 zeros: els dígits quadren, però cap banc
                                   no en dona cap
  no és un compte                el text no és un compte sencer
  nombre en notació científica: xifres perdudes
                                 un full de càlcul el va fer nombre; no es
                                   pot refer
  sense compte                   la cel·la és buida
  fila il·legible: cometes sense tancar, fila il·legible: falten columnes,
  fila il·legible: massa llarga  la fila es torna tal com era
Els tres primers compten com a correctes.

Suggeriment: per a un compte espanyol amb dígits incorrectes, el compte que
probablement s'hi volia escriure, en format paper: l'únic que, canviant una sola
xifra o intercanviant dues xifres veïnes, passa totes les comprovacions i és
d'una entitat del directori. Per a l'IBAN d'un país amb dígits de control
nacionals, el mateix, sense canviar-ne mai cap lletra: l'únic que passa els
dígits de l'IBAN (del 02 al 98) i els nacionals. Si no n'hi ha cap o n'hi ha
més d'un, queda buit. No és mai segur ni s'aplica: la fila es deixa com era, i
cal que una persona el revisi. Només troba errors d'una sola xifra.

Estat de sortida:
 0  si totes les files tenien un compte correcte,
 1  si alguna no en tenia,
 2  si hi ha hagut un error d'ús, de lectura o d'escriptura.

Exemples:
  brelvoxa comptes.txt
  brelvoxa clients.csv -o clients-iban.csv
  brelvoxa clients.xlsx -o clients-iban.xlsx
  brelvoxa -c IBAN proveidors.csv > proveidors-iban.csv
  brelvoxa --quatre-columnes=Entitat,Oficina,DC,Compte banc.csv
)";

void printHelp() {
    std::cout << helpText << "Columnes afegides, en aquest ordre:\n ";
    const char* separator = " ";
    for (const std::string_view name : cli::addedHeader) {
        std::cout << separator << name;
        separator = ", ";
    }
    std::cout << helpColumns;
}

constexpr const char* versionText = R"(brelvoxa (Brelvoxa) )" BRELVOXA_VERSION R"(
Aquest programa es distribueix gratuïtament i sense cap garantia.
)";

// Which tables are compiled in, their editions as their data files name them; after
// the help and the version alike.
void printEditions() {
    std::cout << "\nDirectori d'entitats: " << mdlFuncions::edicioDirectori() << " ("
              << mdlFuncions::entitatsDirectori().size() << " entitats de crèdit espanyoles).\n"
              << "Registre IBAN: " << mdlFuncions::edicioRegistre() << " ("
              << mdlFuncions::registreIBAN.size() << " països).\n"
              << "Dígits de control nacionals comprovats (" << mdlFuncions::controlsNacionals.size()
              << " països):\n";
    const char* separador = "";
    for (const auto& control : mdlFuncions::controlsNacionals) {
        std::cout << separador << char(control.pais[0]) << char(control.pais[1]);
        separador = " ";
    }
    std::cout << ".\n"
              << "Les entitats fusionades des de llavors (Bankia 2038, Popular 0075, BMN\n"
                 "0487…) hi continuen, de manera que «correcte» vol dir que els dígits\n"
                 "quadren, no que el banc encara emeti el compte.\n";
}

// Said at once when a person at a terminal started the program on no file.
#ifdef _WIN32
constexpr const char* typingHint =
    "es llegeixen els comptes que s'escriguin aquí; acabeu amb Ctrl+Z i Retorn";
#else
constexpr const char* typingHint =
    "es llegeixen els comptes que s'escriguin aquí; acabeu amb Ctrl+D a l'inici d'una línia";
#endif

void message(const std::string& text) {
    std::cerr << program << ": " << text << '\n';
}

[[noreturn]] void usage(const std::string& text) {
    message(text);
    std::cerr << "Proveu «" << program << " --help» per a més informació.\n";
    std::exit(2);
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const auto comma = text.find(',', from);
        parts.push_back(text.substr(from, comma - from));
        if (comma == std::string::npos)
            return parts;
        from = comma + 1;
    }
}

// CLI11 reads "--opció=" as the option given no value, and takes the next word for
// it: "--sortida= clients.txt" would write the converted input over the list. A
// value given with "=" is the text after it, so an empty one is refused here, before
// any file is opened, as is a value given to an option that takes none.
void refuseEmptyValues(int argc, char** argv, std::span<const CLI::Option* const> valued,
                       std::span<const CLI::Option* const> flags) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--")
            return;
        const auto equals = word.find('=');
        if (!word.starts_with("--") || equals == word.npos)
            continue;
        const std::string name(word.substr(2, equals - 2));
        for (const CLI::Option* option : valued)
            if (option->check_lname(name) && equals + 1 == word.size())
                usage("el valor de " + option->get_name() + " és buit");
        for (const CLI::Option* flag : flags)
            if (flag->check_lname(name))
                usage("l'opció --" + name + " no admet cap valor");
    }
}

// The command line as given, before its values are checked.
struct Arguments {
    bool help = false, version = false, header = false, noHeader = false;
    std::string output, column, four, separator, format, encoding, sheet;
    std::vector<std::string> files;
};

Arguments readArguments(int argc, char** argv) {
    Arguments a;
    CLI::App app{"", program};
    app.set_help_flag();
    app.allow_extras();
    // Each at most once (CLI11's default policy): a second value would silently win.
    const CLI::Option* valued[] = {
        app.add_option("-o,--sortida", a.output),    app.add_option("-c,--columna", a.column),
        app.add_option("--quatre-columnes", a.four), app.add_option("-s,--separador", a.separator),
        app.add_option("-f,--format", a.format),     app.add_option("-e,--codificacio", a.encoding),
        app.add_option("--full", a.sheet),
    };
    const CLI::Option* flags[] = {
        app.add_flag("-h,--help", a.help),
        app.add_flag("--version", a.version),
        app.add_flag("--capcalera", a.header),
        app.add_flag("--sense-capcalera", a.noHeader),
    };
    app.add_option("fitxers", a.files);
    refuseEmptyValues(argc, argv, valued, flags);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ArgumentMismatch&) {
        for (const CLI::Option* option : valued)
            if (option->count() > 1)
                usage(option->get_name() + " s'ha donat més d'una vegada");
        usage("falta el valor d'una opció");
    } catch (const CLI::ParseError& e) {
        usage(std::string("opcions no vàlides (") + e.what() + ")");
    }
    // An empty value would read as no option at all: -o "" as standard output.
    for (const CLI::Option* option : valued)
        if (option->count() > 0 && option->results().front().empty())
            usage("el valor de " + option->get_name() + " és buit");
    // CLI11 leaves unknown options among the extras, and the "--" that ends the
    // options (the words after it are files, whatever they look like).
    for (const auto& extra : app.remaining()) {
        if (extra == "--")
            continue;
        if (extra.size() > 1 && extra[0] == '-')
            usage("opció desconeguda: «" + extra + "»");
        a.files.push_back(extra);
    }
    return a;
}

// The options' values checked; a wrong one ends the run with a usage message.
cli::Options checkOptions(const Arguments& a) {
    cli::Options options;
    if (a.format == "llista")
        options.format = cli::Format::list;
    else if (a.format == "csv")
        options.format = cli::Format::csv;
    else if (!a.format.empty())
        usage("format desconegut: «" + a.format + "» (ha de ser «llista» o «csv»)");
    const std::string& sep = a.separator;
    if (sep == ";" || sep == "," || sep == "tab" || sep == "\t")
        options.separator = sep == "tab" ? '\t' : sep[0];
    else if (!sep.empty())
        usage("separador no vàlid: «" + sep + "» (ha de ser «;», «,» o «tab»)");
    const std::string& enc = a.encoding;
    if (enc == "utf-8" || enc == "UTF-8" || enc == "utf8")
        options.encoding = cli::Encoding::utf8;
    else if (enc == "windows-1252" || enc == "Windows-1252" || enc == "cp1252")
        options.encoding = cli::Encoding::windows1252;
    else if (!enc.empty())
        usage("codificació desconeguda: «" + enc + "» (ha de ser «utf-8» o «windows-1252»)");
    if (a.header && a.noHeader)
        usage("--capcalera i --sense-capcalera no van juntes");
    options.header = a.header     ? cli::HeaderMode::yes
                     : a.noHeader ? cli::HeaderMode::no
                                  : cli::HeaderMode::automatic;
    if (!a.column.empty() && !a.four.empty())
        usage("--columna i --quatre-columnes no van juntes");
    options.column = a.column;
    options.sheet = a.sheet;
    if (!a.four.empty()) {
        options.four = splitList(a.four);
        if (options.four.size() != 4)
            usage("--quatre-columnes vol quatre columnes separades per comes");
    }
    if (options.header == cli::HeaderMode::no) {
        std::vector<std::string> named = options.four;
        named.push_back(options.column);
        for (const auto& column : named)
            if (!column.empty() && !cli::columnNumber(column))
                usage("amb --sense-capcalera, cal indicar cada columna pel seu número: un nom "
                      "necessita una capçalera");
    }
    if (options.format == cli::Format::list &&
        (!options.column.empty() || !options.four.empty() || options.separator != 0))
        usage("una llista no té columnes ni separador");
    return options;
}

void printSummary(const cli::Summary& s) {
    for (const auto& line : cli::summaryLines(s))
        message(line);
}

// One input into the output. A failure that names no file is about this input.
cli::Summary convertInput(cli::Input& in, cli::Container container, const cli::Options& options,
                          cli::Output& output, cli::ProgressBar& bar) {
    try {
        if (container == cli::Container::ole)
            cli::refuseOle(in.head(cli::oleHead));
        if (in.file == stdin && cli::isTerminal(stdin))
            message(typingHint);
        cli::Reporter reporter;
        reporter.note = [&](std::uint64_t line, std::string_view text) {
            bar.finish();
            message(in.name + (line > 0 ? ":" + std::to_string(line) : "") + ": " +
                    std::string(text));
        };
        reporter.progress = [&](std::uint64_t rows, std::uint64_t bytes) {
            bar.update(rows, bytes);
        };
        bar.start(in.size);
        cli::Summary summary;
        if (container == cli::Container::zip) {
            summary = cli::convertWorkbook(in.file, in.name, output.seekable(), output.name(),
                                           options, reporter);
        } else {
            cli::FileSource source(in.file, in.name, in.size.has_value());
            cli::Options own = options;
            if (own.format == cli::Format::automatic)
                own.format = cli::formatOfName(in.path);
            summary = cli::convert(source, output.sink(), own, reporter);
        }
        bar.finish();
        in.close();
        return summary;
    } catch (Failure& f) {
        if (f.file.empty())
            f.file = in.name;
        throw;
    }
}

// What each input is, by its first bytes (a regular file's; any other is read as
// text, which refuses a workbook there); a workbook is converted alone, into a
// file.
std::vector<cli::Container> checkContainers(std::vector<cli::Input>& inputs,
                                            const Arguments& arguments) {
    std::vector<cli::Container> containers;
    for (auto& in : inputs)
        containers.push_back(cli::containerOf(in.head(cli::containerHead)));
    const bool workbook =
        std::find(containers.begin(), containers.end(), cli::Container::zip) != containers.end();
    if (workbook && inputs.size() > 1)
        usage("un llibre (.xlsx, .ods) es converteix sol: no es pot ajuntar amb altres entrades "
              "en una sola sortida");
    if (!workbook && !arguments.sheet.empty())
        usage("--full només serveix per a un llibre (.xlsx, .ods)");
    if (workbook && arguments.output.empty() && cli::isTerminal(stdout))
        usage("un llibre no s'escriu en un terminal: indiqueu el fitxer de sortida amb -o");
    return containers;
}

int run(int argc, char** argv) {
    const Arguments arguments = readArguments(argc, argv);
    if (arguments.help || arguments.version) {
        if (arguments.help)
            printHelp();
        else
            std::cout << versionText;
        printEditions();
        return 0;
    }
    const cli::Options options = checkOptions(arguments);
    std::vector<std::string> files = arguments.files;
    if (files.empty())
        files.push_back("-");

#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    cli::ProgressBar bar(cli::isTerminal(stderr));
    try {
        std::vector<cli::Input> inputs = cli::openInputs(files);
        const std::vector<cli::Container> containers = checkContainers(inputs, arguments);
        cli::Output output(arguments.output, inputs);
        cli::Summary total;
        for (std::size_t i = 0; i < inputs.size(); ++i)
            total.add(convertInput(inputs[i], containers[i], options, output, bar));
        output.commit();
        printSummary(total);
        return total.rows == total.correct() ? 0 : 1;
    } catch (const Failure& f) {
        bar.finish();
        const std::string where = f.file + (f.line > 0 ? ":" + std::to_string(f.line) : "");
        message(where.empty() ? f.what() : where + ": " + f.what());
        if (f.usage)
            std::cerr << "Proveu «" << program << " --help» per a més informació.\n";
        return 2;
    }
}

} // namespace

int main(int argc, char** argv) {
    // The system's messages (why a file cannot be opened) in the user's language.
    std::setlocale(LC_ALL, "");
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        message(std::string("error inesperat: ") + e.what());
        return 2;
    }
}
