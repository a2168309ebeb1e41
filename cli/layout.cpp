// Settles, from an input's first window, how its rows are to be read: list or
// CSV, separator, line end, header and the account's column, and says so in one
// line for stderr. Nothing here looks past the first window, so that an input of
// any size starts converting at once.

#include "cli/layout.h"

#include "cli/account.h"
#include "cli/csv.h"
#include "cli/failure.h"
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

std::u16string decoded(std::string_view cell, Encoding e) {
    std::u16string text;
    decode(cell, e, text);
    return text;
}

bool readsAsAccount(std::string_view cell, Encoding e) {
    return mdlFuncions::llegirCompteOIBAN(decoded(cell, e)).tipus !=
           mdlFuncions::Lectura::Tipus::res;
}

// The first rows of the input, their cells copied out of the window into one
// block: a window of nothing but separators is a million cells, and they must
// not take more memory than a row.
class Sample {
public:
    std::size_t size() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }
    std::size_t cells(std::size_t row) const { return rows_[row].size(); }
    std::string_view cell(std::size_t row, std::size_t c) const {
        return std::string_view(bytes_).substr(rows_[row][c].first, rows_[row][c].second);
    }
    void add(const std::vector<std::string_view>& cells) {
        auto& row = rows_.emplace_back();
        row.reserve(cells.size());
        for (const auto cell : cells) {
            row.emplace_back(static_cast<std::uint32_t>(bytes_.size()),
                             static_cast<std::uint32_t>(cell.size()));
            bytes_ += cell;
        }
    }

private:
    std::string bytes_;
    std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> rows_;
};

Sample takeSample(std::string_view data, bool atEnd, char separator, std::size_t maxRow,
                  LineEnd lineEnd) {
    Sample sample;
    Splitter splitter(separator, maxRow, lineEnd);
    Record record;
    while (sample.size() < sampleRows) {
        const std::size_t taken = splitter.next(data, atEnd, record);
        // The rest of a row too long to hold is not in the window.
        if (taken == 0 || record.tooLong)
            break;
        data.remove_prefix(taken);
        if (record.raw.empty() || record.unclosedQuote)
            continue;
        sample.add(record.cells);
    }
    return sample;
}

std::string quoteName(std::string_view name) {
    return "«" + std::string(name) + "»";
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

namespace {

// A column given by number, or by a header name as headerKey compares them.
std::size_t findColumn(const std::string& column, const Sample& sample, Encoding e, bool& byName) {
    if (const auto n = columnNumber(column))
        return *n;
    byName = true;
    if (!sample.empty()) {
        const auto wanted = headerKey(decoded(column, Encoding::utf8));
        for (std::size_t i = 0; i < sample.cells(0); ++i)
            if (headerKey(decoded(sample.cell(0, i), e)) == wanted)
                return i;
    }
    throw Failure("no hi ha cap columna " + quoteName(column) + " a la capçalera");
}

// Whether the four cells from column c on in row r hold the four fields of an
// account, each of its own number of digits, as the converter reads them.
bool fourParts(const Sample& sample, std::size_t r, std::size_t c, Encoding e) {
    std::array<std::u16string, 4> cells;
    if (c + cells.size() > sample.cells(r))
        return false;
    for (std::size_t k = 0; k < cells.size(); ++k)
        cells[k] = decoded(sample.cell(r, c + k), e);
    mdlFuncions::Comprovacio check;
    mdlFuncions::comprovarCamps({cells[0], cells[1], cells[2], cells[3]}, check);
    return check.estat != Status::noCompte && check.estat != Status::senseCompte;
}

// A header names columns: none of its cells reads as an account, nor do four of
// them hold an account's parts. Other digits do not count against it: a header
// may well be "Saldo 31/12/2024".
bool looksLikeHeader(const Sample& sample, Encoding e) {
    for (std::size_t c = 0; c < sample.cells(0); ++c)
        if (readsAsAccount(sample.cell(0, c), e) || fourParts(sample, 0, c, e))
            return false;
    return true;
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
            fours[c] += fourParts(sample, r, c, e);
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

// Where the account is in each row, and what to say about how it was found.
struct Plan {
    std::vector<std::size_t> columns;
    bool header = false;
    std::string how;
};

std::string columnLabel(std::size_t column, const Plan& plan, const Sample& sample) {
    std::string label = std::to_string(column + 1);
    if (plan.header && !sample.empty() && column < sample.cells(0))
        label.append(" «").append(sample.cell(0, column)).append("»");
    return label;
}

Plan planColumns(const Options& options, const Sample& sample, Encoding e) {
    Plan plan;
    bool byName = false;
    if (!options.four.empty()) {
        for (const auto& column : options.four)
            plan.columns.push_back(findColumn(column, sample, e, byName));
    } else if (!options.column.empty()) {
        plan.columns.push_back(findColumn(options.column, sample, e, byName));
    }
    plan.header = options.header == HeaderMode::yes ||
                  (options.header == HeaderMode::automatic &&
                   (byName || (!sample.empty() && looksLikeHeader(sample, e))));

    const bool chosen = plan.columns.empty();
    if (chosen) {
        plan.columns = chooseColumns(sample, plan.header ? 1 : 0, e);
        if (plan.columns.empty())
            throw Failure("no s'ha trobat cap columna amb comptes; indiqueu-la amb --columna o "
                          "--quatre-columnes");
    }
    plan.how = plan.columns.size() == 1 ? "columna " : "columnes ";
    for (std::size_t i = 0; i < plan.columns.size(); ++i)
        plan.how.append(i == 0 ? "" : ", ").append(columnLabel(plan.columns[i], plan, sample));
    if (chosen)
        plan.how += plan.columns.size() == 1 ? ", triada pels seus valors"
                                             : " (entitat, oficina, control, compte), triades "
                                               "pels seus valors";
    plan.how += plan.header ? "; la primera fila és la capçalera" : "; sense capçalera";
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
    if (layout.format == Format::list) {
        layout.columns = {0};
        layout.header = options.header == HeaderMode::yes;
        layout.description = "llista d'un compte per línia, " + what;
        return layout;
    }
    layout.separator = options.separator != 0 ? options.separator : detectSeparator(head);
    if (layout.separator == 0)
        layout.separator = ';';
    const Plan plan =
        planColumns(options, takeSample(window, atEnd, layout.separator, maxRow, layout.lineEnd),
                    decoding.encoding);
    layout.columns = plan.columns;
    layout.header = plan.header;
    layout.description =
        "CSV separat per " + separatorName(layout.separator) + ", " + what + ", " + plan.how;
    return layout;
}

} // namespace cli
