#include "cli/convert.h"

#include "cli/csv.h"
#include "core/compte.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

constexpr std::size_t lookahead = std::size_t(1) << 20;
constexpr std::size_t sampleRows = 1000;
constexpr std::size_t flushAt = std::size_t(1) << 20;
constexpr std::uint64_t progressEvery = 1 << 16;
// Past this many, unreadable rows are still marked in the output but no longer
// each named on stderr.
constexpr std::uint64_t maxRowMessages = 100;

// The input as it is read: a window that keeps the row being read whole.
class Buffer {
public:
    explicit Buffer(Source& source) : source_(source), data_(lookahead, '\0') {}

    std::string_view rest() const { return {data_.data() + begin_, end_ - begin_}; }
    bool atEnd() const { return atEnd_; }
    void consume(std::size_t n) { begin_ += n; }

    // Reads more, keeping what is not consumed; grows only for a row longer than
    // the window.
    void fill() {
        if (begin_ > 0) {
            std::memmove(data_.data(), data_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        if (end_ == data_.size())
            data_.resize(data_.size() * 2);
        const std::size_t n = source_.read(data_.data() + end_, data_.size() - end_);
        atEnd_ = n == 0;
        end_ += n;
    }

    // Reads until the window is full or the input ends.
    void fillWindow() {
        while (!atEnd_ && end_ < data_.size())
            fill();
    }

private:
    Source& source_;
    std::string data_;
    std::size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
};

bool blankLine(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

std::u16string lowerAscii(std::u16string_view s) {
    std::u16string out(s);
    for (auto& c : out)
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c - u'A' + u'a');
    return out;
}

std::u16string trimmed(std::string_view cell, Encoding e) {
    std::u16string text;
    decode(cell, e, text);
    const auto first = text.find_first_not_of(u" \t\u00A0");
    if (first == std::u16string::npos)
        return {};
    const auto last = text.find_last_not_of(u" \t\u00A0");
    return text.substr(first, last - first + 1);
}

bool readsAsAccount(std::string_view cell, Encoding e) {
    std::u16string text;
    decode(cell, e, text);
    return mdlFuncions::llegirCompte(text).has_value();
}

std::size_t asciiDigitCount(std::string_view cell) {
    return static_cast<std::size_t>(
        std::count_if(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

// The first rows of the input, their cells copied out of the window.
struct Sample {
    std::vector<std::vector<std::string>> rows;
};

Sample takeSample(std::string_view data, bool atEnd, char separator) {
    Sample sample;
    Splitter splitter(separator);
    Record record;
    while (sample.rows.size() < sampleRows) {
        const std::size_t taken = splitter.next(data, atEnd, record);
        if (taken == 0)
            break;
        data.remove_prefix(taken);
        if (record.raw.empty() || record.unclosedQuote)
            continue;
        sample.rows.emplace_back(record.cells.begin(), record.cells.end());
    }
    return sample;
}

// A header names columns: none of its cells reads as an account or holds the
// digits of one.
bool looksLikeHeader(const std::vector<std::string>& row, Encoding e) {
    return std::none_of(row.begin(), row.end(), [&](const std::string& cell) {
        return asciiDigitCount(cell) >= 4 || readsAsAccount(cell, e);
    });
}

std::string quoteName(std::string_view name) {
    return "«" + std::string(name) + "»";
}

// Where the account is in each row, and what to say about how it was found.
struct Plan {
    std::vector<std::size_t> columns; // one, or entity, office, control digits, account
    bool header = false;
    std::string how;
};

std::optional<std::size_t> columnNumber(std::string_view column) {
    if (column.empty() || column.size() > 6 || asciiDigitCount(column) != column.size())
        return std::nullopt;
    const std::size_t n = std::stoul(std::string(column));
    if (n == 0)
        return std::nullopt;
    return n - 1;
}

// A column given by number, or by a header name in any case of ASCII letters.
std::size_t findColumn(const std::string& column, const Sample& sample, Encoding e, bool& byName) {
    if (const auto n = columnNumber(column))
        return *n;
    byName = true;
    if (!sample.rows.empty()) {
        const auto wanted = lowerAscii(trimmed(column, Encoding::utf8));
        const auto& header = sample.rows.front();
        for (std::size_t i = 0; i < header.size(); ++i)
            if (lowerAscii(trimmed(header[i], e)) == wanted)
                return i;
    }
    throw Failure("no hi ha cap columna " + quoteName(column) + " a la capçalera");
}

// The column whose values read as accounts most often, or else four neighbouring
// columns of 4, 4, 2 and 10 digits.
std::vector<std::size_t> chooseColumns(const Sample& sample, std::size_t first, Encoding e) {
    std::vector<std::size_t> hits;
    std::vector<std::size_t> fours;
    constexpr std::size_t sizes[] = {4, 4, 2, 10};
    for (std::size_t r = first; r < sample.rows.size(); ++r) {
        const auto& row = sample.rows[r];
        hits.resize(std::max(hits.size(), row.size()));
        fours.resize(std::max(fours.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c) {
            hits[c] += readsAsAccount(row[c], e);
            bool four = c + 4 <= row.size();
            for (std::size_t k = 0; four && k < 4; ++k) {
                const auto cell = trimmed(row[c + k], e);
                four = cell.size() == sizes[k] &&
                       std::all_of(cell.begin(), cell.end(),
                                   [](char16_t d) { return d >= u'0' && d <= u'9'; });
            }
            fours[c] += four;
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

std::string columnLabel(std::size_t column, const Plan& plan, const Sample& sample) {
    std::string label = std::to_string(column + 1);
    if (plan.header && !sample.rows.empty() && column < sample.rows.front().size())
        label.append(" «").append(sample.rows.front()[column]).append("»");
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
                   (byName || (!sample.rows.empty() && looksLikeHeader(sample.rows.front(), e))));

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

Encoding detectFrom(std::string_view window, bool atEnd) {
    if (window.substr(0, utf8Bom.size()) == utf8Bom)
        return Encoding::utf8;
    Utf8Check check;
    const bool validSoFar = check.feed(window);
    // A character cut at the window's edge is no sign of another encoding.
    return (atEnd ? check.valid() : validSoFar) ? Encoding::utf8 : Encoding::windows1252;
}

// The first line with something on it.
std::string_view firstLine(std::string_view data) {
    while (!data.empty()) {
        const auto nl = data.find('\n');
        auto line = data.substr(0, nl);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!blankLine(line))
            return line;
        if (nl == std::string_view::npos)
            break;
        data.remove_prefix(nl + 1);
    }
    return {};
}

} // namespace

std::uint64_t Summary::correct() const {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < statusCount; ++i)
        if (isCorrect(static_cast<Status>(i)))
            n += byStatus[i];
    return n;
}

void Summary::add(const Summary& other) {
    rows += other.rows;
    blank += other.blank;
    for (std::size_t i = 0; i < statusCount; ++i)
        byStatus[i] += other.byStatus[i];
}

Encoding detectEncoding(Source& source) {
    std::string chunk(lookahead, '\0');
    Utf8Check check;
    bool first = true;
    for (;;) {
        const std::size_t n = source.read(chunk.data(), chunk.size());
        const std::string_view bytes(chunk.data(), n);
        if (first && bytes.substr(0, utf8Bom.size()) == utf8Bom)
            return Encoding::utf8;
        first = false;
        if (n == 0)
            return check.valid() ? Encoding::utf8 : Encoding::windows1252;
        if (!check.feed(bytes))
            return Encoding::windows1252;
    }
}

Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter) {
    Buffer buffer(source);
    buffer.fillWindow();
    std::string out;
    out.reserve(flushAt + (flushAt >> 2));

    std::string_view window = buffer.rest();
    const bool bom = window.substr(0, utf8Bom.size()) == utf8Bom;
    if (bom) {
        out += utf8Bom;
        buffer.consume(utf8Bom.size());
        window = buffer.rest();
    }
    const Encoding encoding = options.encoding.value_or(detectFrom(window, buffer.atEnd()));
    std::string what = std::string(encodingName(encoding)) + (bom ? " amb BOM" : "");
    if ((!options.encoding || options.encodingDetected) && encoding == Encoding::windows1252)
        what += " (l'entrada no és UTF-8 vàlid)";

    Converter converter(encoding);
    Format format = options.format;
    char separator = options.separator;
    const std::string_view head = firstLine(window);
    if (format == Format::automatic) {
        if (separator != 0 || !options.column.empty() || !options.four.empty())
            format = Format::csv;
        else if (readsAsAccount(head, encoding))
            format = Format::list;
        else
            format = detectSeparator(head) != 0 ? Format::csv : Format::list;
    }
    Plan plan;
    if (format == Format::csv) {
        if (separator == 0)
            separator = detectSeparator(head);
        if (separator == 0)
            separator = ';';
        plan = planColumns(options, takeSample(window, buffer.atEnd(), separator), encoding);
        reporter.note(0, "CSV separat per " + separatorName(separator) + ", " + what + ", " +
                             plan.how);
    } else {
        plan.columns = {0};
        plan.header = options.header == HeaderMode::yes;
        reporter.note(0, "llista d'un compte per línia, " + what);
    }

    Splitter splitter(format == Format::csv ? separator : 0);
    const char outSeparator = format == Format::csv ? separator : '\t';
    const std::size_t needed = *std::max_element(plan.columns.begin(), plan.columns.end()) + 1;
    Summary summary;
    Record record;
    Added added;
    std::uint64_t line = 1, records = 0, bytes = bom ? utf8Bom.size() : 0, rowMessages = 0;
    bool quoteAll = false;

    const auto cell = [&](std::string_view text) {
        out += outSeparator;
        appendCell(out, text, outSeparator, quoteAll);
    };
    const auto rowMessage = [&](Status status) {
        if (++rowMessages <= maxRowMessages)
            reporter.note(line, statusText(status));
        else if (rowMessages == maxRowMessages + 1)
            reporter.note(0, "hi ha més files il·legibles; l'estat de cada una és a la sortida");
    };

    for (;;) {
        const std::size_t taken = splitter.next(buffer.rest(), buffer.atEnd(), record);
        if (taken == 0) {
            if (buffer.atEnd())
                break;
            buffer.fill();
            continue;
        }
        if (records == 0)
            quoteAll = format == Format::csv && record.allQuoted;
        out += record.raw;
        if (records++ == 0 && plan.header) {
            for (const auto name : addedHeader) {
                std::u16string text;
                decode(name, Encoding::utf8, text);
                std::string encoded;
                encode(text, encoding, encoded);
                cell(encoded);
            }
        } else if (format == Format::csv ? record.raw.empty() : blankLine(record.raw)) {
            ++summary.blank;
        } else {
            Status status;
            if (record.unclosedQuote) {
                status = Status::unclosedQuote;
                added.clear();
                rowMessage(status);
            } else if (record.cells.size() < needed) {
                status = Status::missingColumns;
                added.clear();
                rowMessage(status);
            } else if (plan.columns.size() == 1) {
                status = converter.convert(record.cells[plan.columns[0]], added);
            } else {
                status = converter.convertFour(
                    {record.cells[plan.columns[0]], record.cells[plan.columns[1]],
                     record.cells[plan.columns[2]], record.cells[plan.columns[3]]},
                    added);
            }
            ++summary.rows;
            ++summary.byStatus[static_cast<std::size_t>(status)];
            cell(added.iban);
            cell(added.paper);
            cell(added.bic);
            cell(added.name);
            cell(converter.status(status));
        }
        out += record.end;
        line += static_cast<std::uint64_t>(std::count(record.raw.begin(), record.raw.end(), '\n'));
        line += !record.end.empty();
        bytes += taken;
        buffer.consume(taken);
        if (out.size() >= flushAt) {
            sink.write(out);
            out.clear();
        }
        if (records % progressEvery == 0 && reporter.progress)
            reporter.progress(records, bytes);
    }
    sink.write(out);
    return summary;
}

} // namespace cli
