// The CSV and list splitter: finds where each record starts and ends in a byte
// stream that may arrive in pieces, and what its cells hold, without copying
// what needs no unescaping. Tuned for speed: memchr finds quotes and line ends.

#include "cli/csv.h"

#include <algorithm>
#include <cstring>

namespace cli {

namespace {

// The line end that closes a record at position pos of data, where data[pos] is
// the line end character: a CR before an LF belongs to the line end, not to the row.
std::size_t lineEndStart(std::string_view data, std::size_t from, std::size_t pos) {
    return data[pos] == '\n' && pos > from && data[pos - 1] == '\r' ? pos - 1 : pos;
}

} // namespace

Splitter::Splitter(char separator, std::size_t maxRow, LineEnd lineEnd)
    : separator_(separator), eol_(lastCharacter(lineEnd)),
      maxRow_(std::max<std::size_t>(maxRow, 2)) {}

std::size_t Splitter::nextLine(std::string_view data, bool atEnd, Record& record) {
    const void* nl = std::memchr(data.data(), eol_, data.size());
    std::size_t stop;
    std::size_t taken;
    if (nl == nullptr) {
        if (!atEnd)
            return 0;
        stop = data.size();
        taken = data.size();
    } else {
        const std::size_t pos = static_cast<const char*>(nl) - data.data();
        stop = lineEndStart(data, 0, pos);
        taken = pos + 1;
    }
    record.raw = data.substr(0, stop);
    record.end = data.substr(stop, taken - stop);
    return taken;
}

// The row whose quote never closes is its first line alone, so that the rows
// after it are still read as rows.
std::size_t Splitter::unclosed(std::string_view data, bool atEnd, Record& record) {
    const std::size_t taken = nextLine(data, atEnd, record);
    record.cells.clear();
    record.lineBreaks = 0;
    record.unclosedQuote = true;
    return taken;
}

// Reads the quoted cell at data[pos] and moves pos past whatever follows its
// closing quote up to the next separator or line end.
Splitter::Cell Splitter::quoted(std::string_view data, bool atEnd, std::size_t& pos,
                                Record& record) {
    const std::size_t n = data.size();
    std::size_t seg = pos + 1;
    const std::size_t kept = unescaped_.size();
    bool doubled = false;
    std::size_t close;
    for (;;) {
        const void* q = std::memchr(data.data() + seg, '"', n - seg);
        if (q == nullptr)
            return !atEnd && n < maxRow_ ? Cell::needMore : Cell::unclosed;
        close = static_cast<const char*>(q) - data.data();
        if (close + 1 == n && !atEnd)
            return Cell::needMore; // a doubled quote may be cut in two
        if (close + 1 < n && data[close + 1] == '"') {
            unescaped_.append(data.data() + seg, close + 1 - seg);
            seg = close + 2;
            doubled = true;
            continue;
        }
        break;
    }
    // Whatever stands between the closing quote and the separator is kept as
    // written, as spreadsheets do.
    std::size_t after = close + 1;
    while (after < n && data[after] != separator_ && data[after] != eol_)
        ++after;
    // Until the cell's end is read, what follows the quote may yet be a line end
    // (a CR whose LF comes with the next read).
    if (after == n && !atEnd)
        return Cell::needMore;
    const std::size_t tail =
        after < n && data[after] == eol_ ? lineEndStart(data, close + 1, after) : after;
    // A quote that "closes" lines later only to run into more text is far more
    // likely a quote left open than a cell with line breaks: keep the rows apart.
    if (tail > close + 1 && std::memchr(data.data() + pos, eol_, close - pos) != nullptr)
        return Cell::unclosed;
    record.lineBreaks += static_cast<std::size_t>(
        std::count(data.begin() + static_cast<std::ptrdiff_t>(pos),
                   data.begin() + static_cast<std::ptrdiff_t>(close), eol_));
    if (doubled || tail > close + 1) {
        unescaped_.append(data.data() + seg, close - seg);
        unescaped_.append(data.data() + close + 1, tail - close - 1);
        patches_.push_back({record.cells.size(), kept, unescaped_.size() - kept});
        record.cells.emplace_back();
    } else {
        record.cells.push_back(data.substr(seg, close - seg));
    }
    pos = after;
    return Cell::done;
}

std::size_t Splitter::next(std::string_view data, bool atEnd, Record& record) {
    // Only the first maxRow bytes are split; they are the whole input only when
    // nothing follows them.
    const std::size_t taken =
        split(data.substr(0, maxRow_), atEnd && data.size() <= maxRow_, record);
    record.tooLong = false;
    if (taken != 0 || data.size() <= maxRow_)
        return taken;
    record.cells.clear();
    record.lineBreaks = 0;
    record.allQuoted = false;
    record.unclosedQuote = false;
    record.tooLong = true;
    record.raw = data.substr(0, eol_ == '\n' && data[maxRow_ - 1] == '\r' ? maxRow_ - 1 : maxRow_);
    record.end = {};
    return record.raw.size();
}

std::size_t Splitter::split(std::string_view data, bool atEnd, Record& record) {
    record.cells.clear();
    record.lineBreaks = 0;
    record.allQuoted = true;
    record.unclosedQuote = false;
    if (data.empty())
        return 0;
    if (separator_ == 0) {
        const std::size_t taken = nextLine(data, atEnd, record);
        if (taken != 0)
            record.cells.push_back(record.raw);
        record.allQuoted = false;
        return taken;
    }

    // Values with doubled quotes are rebuilt in one buffer; their views are made
    // once the record is whole, as the buffer may move while it grows.
    unescaped_.clear();
    patches_.clear();
    const auto finish = [&] {
        for (const auto& p : patches_)
            record.cells[p.cell] = std::string_view(unescaped_).substr(p.offset, p.size);
    };

    const std::size_t n = data.size();
    std::size_t pos = 0;
    for (;;) {
        if (pos < n && data[pos] == '"') {
            const Cell cell = quoted(data, atEnd, pos, record);
            if (cell == Cell::needMore)
                return 0;
            if (cell == Cell::unclosed)
                return unclosed(data, atEnd, record);
        } else {
            record.allQuoted = false;
            std::size_t after = pos;
            while (after < n && data[after] != separator_ && data[after] != eol_)
                ++after;
            const std::size_t stop =
                after < n && data[after] == eol_ ? lineEndStart(data, pos, after) : after;
            record.cells.push_back(data.substr(pos, stop - pos));
            pos = after;
        }
        if (pos == n) {
            if (!atEnd)
                return 0;
            record.raw = data;
            record.end = {};
            finish();
            return n;
        }
        if (data[pos] == eol_) {
            const std::size_t stop = lineEndStart(data, 0, pos);
            record.raw = data.substr(0, stop);
            record.end = data.substr(stop, pos + 1 - stop);
            finish();
            return pos + 1;
        }
        ++pos; // the separator
    }
}

char detectSeparator(std::string_view line) {
    std::size_t semicolons = 0, tabs = 0, commas = 0;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted)
            semicolons += c == ';', tabs += c == '\t', commas += c == ',';
    }
    if (semicolons == 0 && tabs == 0 && commas == 0)
        return 0;
    if (semicolons >= tabs && semicolons >= commas)
        return ';';
    return tabs >= commas ? '\t' : ',';
}

void appendCell(std::string& out, std::string_view cell, char separator, bool quote) {
    for (std::size_t i = 0; !quote && i < cell.size(); ++i) {
        const char c = cell[i];
        quote = c == '"' || c == '\n' || c == '\r' || c == separator;
    }
    if (!quote) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace cli
