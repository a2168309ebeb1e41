// Settles, from an input's first window, how its rows are to be read: list or
// CSV, separator, line end, header and the account's column, and says so in one
// line for stderr. Nothing here looks past the first window, so that an input of
// any size starts converting at once.

#include "cli/layout.h"

#include "cli/csv.h"
#include "cli/failure.h"
#include "cli/names.h"
#include "core/comprovacio.h"
#include "core/compte.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace cli {

namespace {

// The header and the column are chosen from this many rows at most.
constexpr std::size_t sampleRows = 1000;
// The header is looked for among this many rows that are not blank: the title
// lines a spreadsheet puts above it are few.
constexpr std::size_t headerRows = 10;
// How much of the header stderr quotes: this many cells, of this many bytes each.
constexpr std::size_t quotedCells = 6, quotedBytes = 40;
// Words that name the account's column in a header (as headerKey gives them).
constexpr std::array<std::u16string_view, 5> accountWords = {u"iban", u"ccc", u"compte", u"cuenta",
                                                             u"account"};

std::u16string decoded(std::string_view cell, Encoding e) {
    std::u16string text;
    decode(cell, e, text);
    return text;
}

// An account of any kind, or a number a spreadsheet made of one.
bool readsAsAccount(std::u16string_view text) {
    return mdlFuncions::llegirCompteOIBAN(text).tipus != mdlFuncions::Lectura::Tipus::res ||
           mdlFuncions::nombreCientific(text);
}

bool readsAsAccount(std::string_view cell, Encoding e) {
    return readsAsAccount(decoded(cell, e));
}

// A header's cell names a column: it holds a letter and no run of four digits,
// which an account or its parts would, and is not an account of any kind.
bool readsAsName(std::u16string_view text) {
    bool letter = false;
    std::size_t run = 0;
    for (const char16_t c : text) {
        run = text::isDigit(text::fromFullWidth(c)) ? run + 1 : 0;
        if (run == 4)
            return false;
        letter = letter || text::isLetter(c);
    }
    return letter && !readsAsAccount(text);
}

// Whether one of the words of a header's cell names the account's column.
bool namesAccount(std::u16string_view text) {
    const std::u16string key = headerKey(text);
    std::size_t from = 0;
    for (std::size_t i = 0; i <= key.size(); ++i)
        if (i == key.size() || !text::isLetter(key[i])) {
            const auto word = std::u16string_view(key).substr(from, i - from);
            if (std::find(accountWords.begin(), accountWords.end(), word) != accountWords.end())
                return true;
            from = i + 1;
        }
    return false;
}

Sample takeSample(std::string_view data, bool atEnd, char separator, std::size_t maxRow,
                  LineEnd lineEnd) {
    Sample sample;
    Splitter splitter(separator, maxRow, lineEnd);
    Record record;
    std::uint64_t line = 1;
    for (std::size_t index = 0; sample.size() < sampleRows; ++index) {
        const std::size_t taken = splitter.next(data, atEnd, record);
        // The rest of a row too long to hold is not in the window.
        if (taken == 0 || record.tooLong)
            break;
        data.remove_prefix(taken);
        if (!blankRow(record))
            sample.add(record, index, line);
        line += record.lineBreaks + !record.end.empty();
    }
    return sample;
}

std::string quoteName(std::string_view name) {
    return "«" + std::string(name) + "»";
}

// A cell of the input as stderr names it, in UTF-8 and cut short when long.
std::string quoteCell(std::string_view cell, Encoding e) {
    std::u16string characters = decoded(cell, e);
    for (auto& c : characters)
        if (c < 0x20 || (c >= 0x7F && c < 0xA0))
            c = u'?'; // no control character reaches a terminal
    std::string text;
    encode(characters, Encoding::utf8, text);
    if (text.size() > quotedBytes) {
        text.resize(text::utf8Head(text, quotedBytes).size());
        text += "…";
    }
    return quoteName(text);
}

} // namespace

std::optional<std::size_t> columnNumber(std::string_view column) {
    if (column.empty() || column.size() > 6 || !text::allDigits(column))
        return std::nullopt;
    const std::size_t n = std::stoul(std::string(column));
    if (n == 0)
        return std::nullopt;
    return n - 1;
}

Format formatOfName(std::string_view path) {
    constexpr std::string_view csv = ".csv";
    if (path.size() <= csv.size())
        return Format::automatic;
    const std::string_view end = path.substr(path.size() - csv.size());
    return std::equal(
               end.begin(), end.end(), csv.begin(),
               [](char a, char b) { return text::toSmall(static_cast<unsigned char>(a)) == b; })
               ? Format::csv
               : Format::automatic;
}

// Out of line: the row loop asks only about a row whose account's cell is empty.
[[gnu::noinline]] bool blankRow(const Record& record) {
    return !record.tooLong && !record.unclosedQuote &&
           std::all_of(record.cells.begin(), record.cells.end(),
                       [](std::string_view cell) { return text::allBlank(cell); });
}

namespace {

// What is known of the account's columns in the sample's rows.
class Columns {
public:
    Columns(const Sample& sample, std::vector<std::size_t> columns, Encoding e)
        : sample_(sample), columns_(std::move(columns)), e_(e) {}

    const std::vector<std::size_t>& columns() const { return columns_; }

    // The row holds an account, or its four parts each of its own number of
    // digits, as the converter reads them.
    bool account(std::size_t r) const {
        if (columns_.size() == 1)
            return readsAsAccount(sample_.cell(r, columns_[0]), e_);
        std::array<std::u16string, 4> cells;
        for (std::size_t k = 0; k < cells.size(); ++k)
            cells[k] = decoded(sample_.cell(r, columns_[k]), e_);
        mdlFuncions::Comprovacio check;
        mdlFuncions::comprovarCamps({cells[0], cells[1], cells[2], cells[3]}, check);
        return check.estat != mdlFuncions::Estat::noCompte &&
               check.estat != mdlFuncions::Estat::senseCompte;
    }
    // Every one of the row's cells in the account's columns names a column.
    bool names(std::size_t r) const {
        return !sample_.unreadable(r) && std::all_of(columns_.begin(), columns_.end(), [&](auto c) {
            return readsAsName(decoded(sample_.cell(r, c), e_));
        });
    }
    // One of them names the account's column by one of its usual words.
    bool namesAccount(std::size_t r) const {
        return std::any_of(columns_.begin(), columns_.end(), [&](auto c) {
            return cli::namesAccount(decoded(sample_.cell(r, c), e_));
        });
    }
    // A title line above the header: one cell of text at most, and in the
    // account's columns nothing but a name or nothing at all.
    bool title(std::size_t r) const {
        return !sample_.unreadable(r) && sample_.filled(r) <= 1 &&
               std::all_of(columns_.begin(), columns_.end(), [&](auto c) {
                   const std::u16string text = decoded(sample_.cell(r, c), e_);
                   return text::allBlank(text) || readsAsName(text);
               });
    }

private:
    const Sample& sample_;
    const std::vector<std::size_t> columns_;
    const Encoding e_;
};

// The header is a claim the rows must make: among the first rows, with only
// title lines above it, the first whose account cells name columns and either
// name the account's by a usual word or come just before the first account;
// else the first row, when it names them; else there is none.
std::optional<std::size_t> findHeader(const Sample& sample, const Columns& columns) {
    std::size_t first = 0;
    while (first < sample.size() && !columns.account(first))
        ++first;
    for (std::size_t r = 0; r < std::min(first, headerRows); ++r) {
        if (columns.names(r) &&
            (columns.namesAccount(r) || (r + 1 == first && first < sample.size())))
            return r;
        if (!columns.title(r))
            break;
    }
    if (!sample.empty() && columns.names(0))
        return 0;
    return std::nullopt;
}

// Where the columns named are: the row that has every name (as headerKey compares
// them), among the first with only title lines above it, is the header.
std::size_t findNamed(const std::vector<std::string>& names, const Sample& sample, Encoding e,
                      std::vector<std::size_t>& columns) {
    const auto find = [&](std::size_t r, const std::string& name) -> std::optional<std::size_t> {
        const auto wanted = headerKey(decoded(name, Encoding::utf8));
        for (std::size_t i = 0; i < sample.cells(r); ++i)
            if (headerKey(decoded(sample.cell(r, i), e)) == wanted)
                return i;
        return std::nullopt;
    };
    for (std::size_t r = 0; r < std::min(sample.size(), headerRows); ++r) {
        columns.clear();
        for (const auto& name : names)
            if (const auto c = find(r, name))
                columns.push_back(*c);
        if (columns.size() == names.size())
            return r;
        if (sample.filled(r) > 1 || sample.unreadable(r))
            break;
    }
    // The message names the first that the first row lacks.
    for (const auto& name : names)
        if (sample.empty() || !find(0, name))
            throw Failure("no hi ha cap columna " + quoteName(name) + " a la capçalera");
    throw Failure("no hi ha cap columna " + quoteName(names[0]) + " a la capçalera");
}

// The column whose values read as accounts most often, or else the four
// neighbouring columns that most often hold an account's four fields.
std::vector<std::size_t> chooseColumns(const Sample& sample, std::size_t first, Encoding e) {
    std::vector<std::size_t> hits;
    std::vector<std::size_t> fours;
    for (std::size_t r = first; r < sample.size(); ++r) {
        const std::size_t cells = sample.cells(r);
        hits.resize(std::max(hits.size(), cells));
        fours.resize(std::max(fours.size(), cells));
        for (std::size_t c = 0; c < cells; ++c) {
            hits[c] += readsAsAccount(sample.cell(r, c), e);
            fours[c] += c + 4 <= cells && Columns(sample, {c, c + 1, c + 2, c + 3}, e).account(r);
        }
    }
    const auto best = std::max_element(hits.begin(), hits.end());
    if (best != hits.end() && *best > 0)
        return {static_cast<std::size_t>(best - hits.begin())};
    const auto bestFour = std::max_element(fours.begin(), fours.end());
    if (bestFour != fours.end() && *bestFour > 0) {
        const std::size_t c = bestFour - fours.begin();
        return {c, c + 1, c + 2, c + 3};
    }
    return {};
}

// Where the account is in each row, which row of the sample is the header, and
// what to say about how they were found.
struct Plan {
    std::vector<std::size_t> columns;
    std::optional<std::size_t> header;
    std::string how;
};

// The header, unless the command line settles it: with a column named, the row
// that names it; else as findHeader says.
void planHeader(const Options& options, const Sample& sample, Encoding e, Plan& plan) {
    if (options.header == HeaderMode::no || sample.empty())
        plan.header.reset();
    else if (!plan.header)
        plan.header = options.header == HeaderMode::yes
                          ? std::optional<std::size_t>(0)
                          : findHeader(sample, Columns(sample, plan.columns, e));
    if (!plan.header) {
        plan.how += "; sense capçalera";
        return;
    }
    const std::size_t r = *plan.header;
    plan.how += r == 0 ? "; la primera fila" : "; la línia " + std::to_string(sample.line(r));
    plan.how += " és la capçalera: ";
    for (std::size_t c = 0; c < std::min(sample.cells(r), quotedCells); ++c)
        plan.how.append(c == 0 ? "" : ", ").append(quoteCell(sample.cell(r, c), e));
    if (sample.cells(r) > quotedCells)
        plan.how += "…";
    if (r > 0)
        plan.how += "; a sobre, " + std::to_string(r) + (r == 1 ? " fila" : " files") + " de títol";
}

Plan planColumns(const Options& options, const Sample& sample, Encoding e) {
    Plan plan;
    // The columns the command line gives, by number or by name: -c's one or the four.
    const std::vector<std::string> given =
        options.four.empty() ? std::vector{options.column} : options.four;
    std::vector<std::string> names;
    for (const auto& column : given)
        if (!column.empty() && !columnNumber(column))
            names.push_back(column);
    std::vector<std::size_t> named;
    if (!names.empty())
        plan.header = findNamed(names, sample, e, named);
    for (auto next = named.begin(); const auto& column : given)
        if (const auto n = columnNumber(column))
            plan.columns.push_back(*n);
        else if (!column.empty())
            plan.columns.push_back(*next++);

    const bool chosen = plan.columns.empty();
    if (chosen) {
        plan.columns = chooseColumns(sample, options.header == HeaderMode::yes ? 1 : 0, e);
        if (plan.columns.empty())
            throw Failure("no s'ha trobat cap columna amb comptes; indiqueu-la amb --columna o "
                          "--quatre-columnes");
    }
    planHeader(options, sample, e, plan);
    std::string label = plan.columns.size() == 1 ? "columna " : "columnes ";
    for (std::size_t i = 0; i < plan.columns.size(); ++i) {
        label.append(i == 0 ? "" : ", ").append(std::to_string(plan.columns[i] + 1));
        if (plan.header && plan.columns[i] < sample.cells(*plan.header))
            label.append(" ").append(quoteCell(sample.cell(*plan.header, plan.columns[i]), e));
    }
    if (chosen)
        label += plan.columns.size() == 1 ? ", triada pels seus valors"
                                          : " (entitat, oficina, control, compte), triades "
                                            "pels seus valors";
    plan.how = label + plan.how;
    return plan;
}

std::string separatorName(char separator) {
    return separator == '\t' ? "tabulador" : quoteName(std::string(1, separator));
}

// The first line with something on it.
std::string_view firstLine(std::string_view data, LineEnd lineEnd) {
    while (!data.empty()) {
        const auto nl = data.find(lastCharacter(lineEnd));
        auto line = data.substr(0, nl);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!text::allBlank(line))
            return line;
        if (nl == std::string_view::npos)
            break;
        data.remove_prefix(nl + 1);
    }
    return {};
}

Format settleFormat(const Options& options, std::string_view head, Encoding e) {
    if (options.format != Format::automatic)
        return options.format;
    if (options.separator != 0 || !options.column.empty() || !options.four.empty())
        return Format::csv;
    if (readsAsAccount(head, e))
        return Format::list;
    // A quoted first cell is CSV even with one column: a list takes quotes literally.
    return detectSeparator(head) != 0 || head.starts_with('"') ? Format::csv : Format::list;
}

// The layout with the plan's columns and header.
Layout planned(const Plan& plan, const Sample& sample, Layout layout) {
    layout.columns = plan.columns;
    layout.header = plan.header.has_value();
    if (plan.header)
        layout.headerRow = sample.index(*plan.header);
    return layout;
}

} // namespace

Layout settleLayout(std::string_view window, bool atEnd, const Options& options,
                    const Decoding& decoding, std::size_t maxRow) {
    Layout layout;
    layout.decoding = decoding;
    std::string what = decoding.description();

    // Excel for Mac ends lines with CR alone; a window with no LF at all tells it,
    // unless its one CR is its last byte, where an LF may follow.
    const auto cr = window.find('\r');
    if (window.find('\n') == std::string_view::npos && cr != std::string_view::npos &&
        (atEnd || cr + 1 < window.size())) {
        layout.lineEnd = LineEnd::cr;
        what += ", línies acabades en CR";
    }
    const std::string_view head = firstLine(window, layout.lineEnd);
    layout.format = settleFormat(options, head, decoding.encoding);
    if (layout.format == Format::csv) {
        layout.separator = options.separator != 0 ? options.separator : detectSeparator(head);
        if (layout.separator == 0)
            layout.separator = ';';
    }
    const Sample sample = takeSample(window, atEnd, layout.separator, maxRow, layout.lineEnd);
    Plan plan;
    if (layout.format == Format::list) {
        plan.columns = {0};
        planHeader(options, sample, decoding.encoding, plan);
        layout.description = "llista d'un compte per línia, " + what + plan.how;
    } else {
        plan = planColumns(options, sample, decoding.encoding);
        layout.description =
            "CSV separat per " + separatorName(layout.separator) + ", " + what + ", " + plan.how;
    }
    return planned(plan, sample, layout);
}

Layout settleSheet(const Sample& sample, const Options& options, const std::string& what) {
    Layout layout;
    layout.format = Format::sheet;
    const Plan plan = planColumns(options, sample, Encoding::utf8);
    layout.description = what + ", " + plan.how;
    return planned(plan, sample, layout);
}

} // namespace cli
