// brelvoxa: adds to every Spanish account of a plain list or a CSV file its IBAN,
// BIC, registered name and a status, row for row, losing nothing. Options are read
// with CLI11; messages are GNU-style, in Catalan, on stderr; progress shows only
// when stderr is a terminal.

#include "cli/convert.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

#include "brelvoxa/version.h"

namespace {

namespace fs = std::filesystem;
using cli::Failure;

constexpr const char* program = "brelvoxa";

constexpr const char* helpText = R"(Ús: brelvoxa [OPCIÓ]... [FITXER]...
Afegeix a cada compte bancari espanyol d'una llista o d'un fitxer CSV el seu IBAN
(electrònic i en format paper), el BIC, el nom de l'entitat i un estat, fila per
fila, sense perdre ni reordenar res.

Sense FITXER, o quan FITXER és -, llegeix l'entrada estàndard.
Una llista té un compte per línia, de 20 dígits o en forma d'IBAN, amb espais,
guions o punts o sense. Un CSV pot anar separat per ';', ',' o tabuladors, en
UTF-8 (amb BOM o sense) o en Windows-1252; tot això es dedueix si no es diu.

  -o, --sortida=FITXER       escriu a FITXER en comptes de la sortida estàndard;
                               el fitxer només es reemplaça quan és complet, i
                               mai no pot ser un dels d'entrada
  -c, --columna=COL          el compte és a la columna COL: el seu nom a la
                               capçalera o el seu número, des d'1
      --quatre-columnes=E,O,D,C  el compte és en quatre columnes (entitat,
                               oficina, dígits de control i compte), pel seu
                               nom o número
  -s, --separador=SEP        separador del CSV: ';', ',' o 'tab'
  -f, --format=FORMAT        'llista' o 'csv'
  -e, --codificacio=COD      'utf-8' o 'windows-1252'
      --capcalera            la primera fila és una capçalera
      --sense-capcalera      la primera fila ja és de dades
  -h, --help                 mostra aquesta ajuda i surt
      --version              mostra la versió i surt

Sense --columna ni --quatre-columnes, es tria la columna els valors de la qual
es llegeixen com a comptes, i es diu quina a la sortida d'errors.

Columnes afegides: IBAN, IBAN en format paper, BIC, entitat i estat
("correcte", "dígits de control incorrectes", "dígits de l'IBAN incorrectes",
"no és un compte", ...). Queden buides quan no hi ha res correcte per posar-hi.

Estat de sortida:
 0  si totes les files tenien un compte correcte,
 1  si alguna no en tenia,
 2  si hi ha hagut un error d'ús, de lectura o d'escriptura.

Exemples:
  brelvoxa comptes.txt
  brelvoxa clients.csv -o clients-iban.csv
  brelvoxa -c IBAN proveidors.csv > proveidors-iban.csv
  brelvoxa --quatre-columnes=Entitat,Oficina,DC,Compte banc.csv
)";

constexpr const char* versionText = R"(brelvoxa (Brelvoxa) )" BRELVOXA_VERSION R"(
Aquest programa es distribueix gratuïtament i sense cap garantia.
Directori d'entitats de crèdit espanyoles compilat al programa.
)";

void message(const std::string& text) {
    std::cerr << program << ": " << text << '\n';
}

[[noreturn]] void usage(const std::string& text) {
    message(text);
    std::cerr << "Proveu «" << program << " --help» per a més informació.\n";
    std::exit(2);
}

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

std::string displayName(const std::string& path) {
    return path == "-" ? "entrada estàndard" : path;
}

class FileSource : public cli::Source {
public:
    FileSource(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    std::size_t read(char* data, std::size_t size) override {
        const std::size_t n = std::fread(data, 1, size, file_);
        if (n == 0 && std::ferror(file_))
            throw Failure(name_ + ": no es pot llegir: " + std::strerror(errno));
        return n;
    }

private:
    std::FILE* file_;
    std::string name_;
};

class FileSink : public cli::Sink {
public:
    FileSink(std::FILE* file, std::string name) : file_(file), name_(std::move(name)) {}
    void write(std::string_view bytes) override {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
            throw Failure(name_ + ": no es pot escriure: " + std::strerror(errno));
    }
    void close() {
        if (std::fflush(file_) != 0 || std::ferror(file_))
            throw Failure(name_ + ": no es pot escriure: " + std::strerror(errno));
    }

private:
    std::FILE* file_;
    std::string name_;
};

struct Input {
    std::string path;
    std::FILE* file = nullptr;
    std::optional<std::uint64_t> size; // known for regular files, for the progress bar
};

// A bar with rows per second on stderr, shown only on a terminal and only once a
// conversion has run for a second, redrawn at most five times a second.
class ProgressBar {
public:
    explicit ProgressBar(bool enabled) : enabled_(enabled) {}

    void start(std::optional<std::uint64_t> total) {
        total_ = total;
        start_ = last_ = Clock::now();
    }
    void update(std::uint64_t rows, std::uint64_t bytes) {
        if (!enabled_)
            return;
        const auto now = Clock::now();
        if (now - start_ < std::chrono::seconds(1) || now - last_ < std::chrono::milliseconds(200))
            return;
        last_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        char line[160];
        if (total_ && *total_ > 0) {
            const int width = 30;
            const double part = std::min(1.0, static_cast<double>(bytes) / *total_);
            const int filled = static_cast<int>(part * width);
            std::snprintf(line, sizeof line, "\r[%-*s] %3d%%  %llu files  %.2f M files/s ", width,
                          std::string(filled, '#').c_str(), static_cast<int>(part * 100),
                          static_cast<unsigned long long>(rows), rows / seconds / 1e6);
        } else {
            std::snprintf(line, sizeof line, "\r%llu files  %.2f M files/s ",
                          static_cast<unsigned long long>(rows), rows / seconds / 1e6);
        }
        std::cerr << line << std::flush;
        shown_ = true;
    }
    void finish() {
        if (shown_)
            std::cerr << '\r' << std::string(72, ' ') << '\r' << std::flush;
        shown_ = false;
    }

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    bool shown_ = false;
    std::optional<std::uint64_t> total_;
    Clock::time_point start_, last_;
};

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

void printSummary(const cli::Summary& s) {
    const std::uint64_t correct = s.correct();
    message(std::to_string(s.rows) + " files llegides: " + std::to_string(correct) +
            " correctes, " + std::to_string(s.rows - correct) + " amb errors");
    for (std::size_t i = 0; i < cli::statusCount; ++i)
        if (s.byStatus[i] > 0 && i != static_cast<std::size_t>(cli::Status::correct))
            message("  " + std::string(cli::statusText(static_cast<cli::Status>(i))) + ": " +
                    std::to_string(s.byStatus[i]));
    if (s.blank > 0)
        message("  línies en blanc: " + std::to_string(s.blank));
}

int run(int argc, char** argv) {
    CLI::App app{"", program};
    app.set_help_flag();
    app.allow_extras();
    bool help = false, version = false, header = false, noHeader = false;
    std::string output, column, four, separator, format, encoding;
    std::vector<std::string> files;
    app.add_flag("-h,--help", help);
    app.add_flag("--version", version);
    app.add_option("-o,--sortida", output);
    app.add_option("-c,--columna", column);
    app.add_option("--quatre-columnes", four);
    app.add_option("-s,--separador", separator);
    app.add_option("-f,--format", format);
    app.add_option("-e,--codificacio", encoding);
    app.add_flag("--capcalera", header);
    app.add_flag("--sense-capcalera", noHeader);
    app.add_option("fitxers", files);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ArgumentMismatch&) {
        usage("falta el valor d'una opció");
    } catch (const CLI::ParseError& e) {
        usage(std::string("opcions no vàlides (") + e.what() + ")");
    }
    for (const auto& extra : app.remaining()) {
        if (extra.size() > 1 && extra[0] == '-')
            usage("opció desconeguda: «" + extra + "»");
        files.push_back(extra);
    }
    if (help) {
        std::cout << helpText;
        return 0;
    }
    if (version) {
        std::cout << versionText;
        return 0;
    }

    cli::Options options;
    if (format == "llista")
        options.format = cli::Format::list;
    else if (format == "csv")
        options.format = cli::Format::csv;
    else if (!format.empty())
        usage("format desconegut: «" + format + "» (ha de ser «llista» o «csv»)");
    if (separator == ";" || separator == "," || separator == "tab" || separator == "\t")
        options.separator = separator == "tab" ? '\t' : separator[0];
    else if (!separator.empty())
        usage("separador no vàlid: «" + separator + "» (ha de ser «;», «,» o «tab»)");
    if (encoding == "utf-8" || encoding == "UTF-8" || encoding == "utf8")
        options.encoding = cli::Encoding::utf8;
    else if (encoding == "windows-1252" || encoding == "Windows-1252" || encoding == "cp1252")
        options.encoding = cli::Encoding::windows1252;
    else if (!encoding.empty())
        usage("codificació desconeguda: «" + encoding + "» (ha de ser «utf-8» o «windows-1252»)");
    if (header && noHeader)
        usage("--capcalera i --sense-capcalera no van juntes");
    options.header = header     ? cli::HeaderMode::yes
                     : noHeader ? cli::HeaderMode::no
                                : cli::HeaderMode::automatic;
    if (!column.empty() && !four.empty())
        usage("--columna i --quatre-columnes no van juntes");
    options.column = column;
    if (!four.empty()) {
        options.four = splitList(four);
        if (options.four.size() != 4)
            usage("--quatre-columnes vol quatre columnes separades per comes");
    }
    if (options.format == cli::Format::list &&
        (!options.column.empty() || !options.four.empty() || options.separator != 0))
        usage("una llista no té columnes ni separador");
    if (files.empty())
        files.push_back("-");

#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    // Every input is opened first, so that a missing file stops the run before
    // anything is written.
    std::vector<Input> inputs;
    for (const auto& path : files) {
        Input in;
        in.path = path;
        if (path == "-") {
            in.file = stdin;
        } else {
            in.file = std::fopen(path.c_str(), "rb");
            if (in.file == nullptr) {
                message(path + ": no es pot obrir: " + std::strerror(errno));
                return 2;
            }
            std::error_code ec;
            if (fs::is_regular_file(path, ec))
                in.size = fs::file_size(path, ec);
        }
        inputs.push_back(in);
    }

    std::FILE* out = stdout;
    fs::path temporary;
    if (!output.empty()) {
        std::error_code ec;
        for (const auto& in : inputs)
            if (in.path != "-" && fs::equivalent(in.path, output, ec)) {
                message(output + ": és també un fitxer d'entrada; no se sobreescriu");
                return 2;
            }
        temporary = fs::path(output);
        temporary += ".brelvoxa-tmp";
        out = std::fopen(temporary.string().c_str(), "wb");
        if (out == nullptr) {
            message(output + ": no es pot crear: " + std::strerror(errno));
            return 2;
        }
    }
    const std::string outName = output.empty() ? "sortida estàndard" : output;
    FileSink sink(out, outName);
    ProgressBar bar(stderrIsTerminal());
    cli::Summary total;
    try {
        for (auto& in : inputs) {
            const std::string name = displayName(in.path);
            cli::Options these = options;
            // A regular file is checked whole; a pipe, by the converter's first mebibyte.
            if (!these.encoding && in.size) {
                FileSource scan(in.file, name);
                these.encoding = cli::detectEncoding(scan);
                these.encodingDetected = true;
                if (std::fseek(in.file, 0, SEEK_SET) != 0)
                    throw Failure(name + ": no es pot tornar a llegir des del principi");
                std::clearerr(in.file);
            }
            cli::Reporter reporter;
            reporter.note = [&](std::uint64_t line, std::string_view text) {
                bar.finish();
                message(name + (line > 0 ? ":" + std::to_string(line) : "") + ": " +
                        std::string(text));
            };
            reporter.progress = [&](std::uint64_t rows, std::uint64_t bytes) {
                bar.update(rows, bytes);
            };
            bar.start(in.size);
            FileSource source(in.file, name);
            try {
                total.add(cli::convert(source, sink, these, reporter));
            } catch (const Failure& f) {
                const std::string what = f.what();
                // Reading and writing failures already name their file.
                throw Failure(what.rfind(name + ":", 0) == 0 || what.rfind(outName + ":", 0) == 0
                                  ? what
                                  : name + ": " + what);
            }
            bar.finish();
            if (in.file != stdin)
                std::fclose(in.file);
        }
        sink.close();
        if (out != stdout) {
            if (std::fclose(out) != 0)
                throw Failure(outName + ": no es pot escriure: " + std::strerror(errno));
            out = stdout;
            fs::rename(temporary, output);
        }
    } catch (const Failure& f) {
        bar.finish();
        message(f.what());
        if (out != stdout) {
            std::fclose(out);
            std::error_code ec;
            fs::remove(temporary, ec);
        }
        return 2;
    } catch (const fs::filesystem_error& e) {
        message(output + ": no es pot reemplaçar: " + e.code().message());
        std::error_code ec;
        fs::remove(temporary, ec);
        return 2;
    }
    printSummary(total);
    return total.rows == total.correct() ? 0 : 1;
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
