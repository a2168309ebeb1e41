// The row loop of brelvoxa: splits the decoded input into rows and writes every
// row back byte for byte with the added cells before its line end, in big
// blocks, counting statuses for the summary.

#include "cli/convert.h"

#include "cli/csv.h"
#include "core/entitats.h"
#include "core/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

namespace {

constexpr std::uint64_t progressEvery = 1 << 16;
// Past this many, unreadable rows are still marked in the output but no longer
// each named on stderr.
constexpr std::uint64_t maxRowMessages = 100;

// Copies a few bytes, as most pieces of a row are, without a call to memcpy: two
// copies of a fixed size that overlap in the middle.
inline void copyShort(char* to, const char* from, std::size_t n) {
    if (n > 32) {
        std::memcpy(to, from, n);
    } else if (n >= 16) {
        std::memcpy(to, from, 16);
        std::memcpy(to + n - 16, from + n - 16, 16);
    } else if (n >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + n - 8, from + n - 8, 8);
    } else {
        for (std::size_t i = 0; i < n; ++i)
            to[i] = from[i];
    }
}

// The output as it is put together: a row is a dozen short pieces, appended
// inline rather than through a call to std::string::append each.
class Pieces {
public:
    explicit Pieces(std::size_t reserve) : data_(reserve) {}

    std::string_view view() const { return {data_.data(), size_}; }
    std::size_t size() const { return size_; }
    void clear() { size_ = 0; }
    void truncate(std::size_t n) { size_ = std::min(n, size_); }

    Pieces& operator+=(char c) {
        room(1);
        data_[size_++] = c;
        return *this;
    }
    Pieces& operator+=(std::string_view s) {
        room(s.size());
        copyShort(data_.data() + size_, s.data(), s.size());
        size_ += s.size();
        return *this;
    }

private:
    void room(std::size_t n) {
        if (data_.size() - size_ < n)
            data_.resize(std::max(data_.size() * 2, size_ + n));
    }

    std::vector<char> data_;
    std::size_t size_ = 0;
};

// Streams the rows of one input whose layout is settled.
class RowLoop {
public:
    RowLoop(Buffer& buffer, Sink& sink, const Layout& layout, const Reporter& reporter,
            const Limits& limits)
        : buffer_(buffer), sink_(sink), layout_(layout), reporter_(reporter),
          converter_(layout.decoding.encoding),
          splitter_(layout.format == Format::csv ? layout.separator : 0, limits.maxRow,
                    layout.lineEnd),
          // A list gains its cells after a tab, which any spreadsheet splits on.
          outSeparator_(layout.format == Format::csv ? layout.separator : '\t'),
          needed_(*std::max_element(layout.columns.begin(), layout.columns.end()) + 1),
          // Written out as often as a window is read in.
          flushAt_(limits.window),
          // Most output is the input copied; the added cells take about a quarter more.
          out_(flushAt_ + (flushAt_ >> 2)) {}

    Summary run();

private:
    void addedCells(const Record& record);
    void overLongRow(const Record& record);
    std::string passRestOfLine();
    Status account(const Record& record);
    void headerCells(const Record& header);
    void cell(std::string_view text);
    void plainCell(std::string_view text);
    void entityCells();
    template <class F> const std::string& cached(std::string& slot, F&& write);
    void rowMessage(Status status);

    Buffer& buffer_;
    Sink& sink_;
    const Layout& layout_;
    const Reporter& reporter_;
    Converter converter_;
    Splitter splitter_;
    const char outSeparator_;
    const std::size_t needed_; // cells a row must have to hold the account
    const std::size_t flushAt_;
    Pieces out_;
    std::string cellText_; // a cell that may need quotes, as it is written
    Summary summary_;
    Added added_;
    std::uint64_t line_ = 1, records_ = 0, rowMessages_ = 0;
    bool quoteAll_ = false;
    // The cells of each entity's BIC and name, and of each status, as written in
    // this input, separators and quotes included; made the first time they are due.
    std::vector<std::string> entityCells_ =
        std::vector<std::string>(mdlFuncions::entitatsDirectori().size());
    std::array<std::string, statusCount> statusCells_;
};

Summary RowLoop::run() {
    Record record;
    for (;;) {
        const std::size_t taken = splitter_.next(buffer_.rest(), buffer_.atEnd(), record);
        if (taken == 0) {
            if (buffer_.atEnd())
                break;
            buffer_.fill();
            continue;
        }
        // A file whose first row quotes every cell gets its added cells quoted too,
        // so that its rows keep one look.
        if (records_ == 0)
            quoteAll_ = layout_.format == Format::csv && record.allQuoted;
        if (record.tooLong) {
            overLongRow(record);
            continue;
        }
        out_ += record.raw;
        addedCells(record);
        out_ += record.end;
        // The line a message names counts line breaks inside quoted cells too.
        line_ += record.lineBreaks + !record.end.empty();
        // The record's views point into the buffer: consume only once it is written.
        buffer_.consume(taken);
        if (out_.size() >= flushAt_) {
            sink_.write(out_.view());
            out_.clear();
        }
        if (records_ % progressEvery == 0 && reporter_.progress)
            reporter_.progress(records_, buffer_.consumed());
    }
    sink_.write(out_.view());
    return summary_;
}

// The cells added after a row's own bytes, before its line end.
void RowLoop::addedCells(const Record& record) {
    if (records_++ == 0 && layout_.header) {
        headerCells(record);
    } else if (!record.tooLong &&
               (layout_.format == Format::csv ? record.raw.empty() : text::allBlank(record.raw))) {
        // A blank line gains no cells: it separates, it holds no account.
        ++summary_.blank;
    } else {
        const Status status = account(record);
        ++summary_.rows;
        ++summary_.byStatus[static_cast<std::size_t>(status)];
        plainCell(added_.iban);
        plainCell(added_.paper);
        entityCells();
        out_ += cached(statusCells_[static_cast<std::size_t>(status)],
                       [&] { cell(converter_.status(status)); });
        plainCell(added_.suggestion);
    }
}

// A row too long to hold: its start as the splitter gave it, then the rest read
// and written straight through, then its added cells and line end as for any
// row.
void RowLoop::overLongRow(const Record& record) {
    const auto breaks = static_cast<std::uint64_t>(std::count(
        record.raw.begin(), record.raw.end(), lastCharacter(layout_.lineEnd))); // inside quotes
    sink_.write(out_.view());
    out_.clear();
    sink_.write(record.raw);
    buffer_.consume(record.raw.size());
    const std::string end = passRestOfLine();
    // The record's views are gone with the bytes they pointed to.
    Record over;
    over.tooLong = true;
    addedCells(over);
    out_ += end;
    line_ += breaks + !end.empty();
}

// Writes the input through up to the next line end, which it returns ("" at the
// end of the input).
std::string RowLoop::passRestOfLine() {
    const bool lf = layout_.lineEnd == LineEnd::lf;
    for (;;) {
        const std::string_view data = buffer_.rest();
        const void* nl = std::memchr(data.data(), lastCharacter(layout_.lineEnd), data.size());
        if (nl != nullptr) {
            const std::size_t pos = static_cast<const char*>(nl) - data.data();
            const std::size_t stop = lf && pos > 0 && data[pos - 1] == '\r' ? pos - 1 : pos;
            sink_.write(data.substr(0, stop));
            std::string end(data.substr(stop, pos + 1 - stop));
            buffer_.consume(pos + 1);
            return end;
        }
        // A CR at the edge may start a CRLF: it waits for the next read.
        const std::size_t keep = lf && !buffer_.atEnd() && data.ends_with('\r') ? 1 : 0;
        sink_.write(data.substr(0, data.size() - keep));
        buffer_.consume(data.size() - keep);
        if (buffer_.atEnd())
            return {};
        buffer_.fill();
    }
}

Status RowLoop::account(const Record& record) {
    Status status;
    if (record.tooLong) {
        status = Status::massaLlarga;
    } else if (record.unclosedQuote) {
        status = Status::cometesSenseTancar;
    } else if (record.cells.size() < needed_) {
        status = Status::faltenColumnes;
    } else if (layout_.columns.size() == 1) {
        return converter_.convert(record.cells[layout_.columns[0]], added_);
    } else {
        const auto& c = layout_.columns;
        return converter_.convertFour(
            {record.cells[c[0]], record.cells[c[1]], record.cells[c[2]], record.cells[c[3]]},
            added_);
    }
    added_.clear();
    rowMessage(status);
    return status;
}

// The added columns' names, none the same as one of the input's, in its encoding.
void RowLoop::headerCells(const Record& header) {
    std::vector<std::u16string> names(header.cells.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        decode(header.cells[i], layout_.decoding.encoding, names[i]);
    std::string encoded;
    for (const auto& name : addedNames(names)) {
        encoded.clear();
        encode(name, layout_.decoding.encoding, encoded);
        cell(encoded);
    }
}

void RowLoop::cell(std::string_view text) {
    out_ += outSeparator_;
    cellText_.clear();
    appendCell(cellText_, text, outSeparator_, quoteAll_);
    out_ += cellText_;
}

// A cell of capitals, digits and blanks (an IBAN, a BIC), which never needs quotes
// of its own: the scan for characters to quote is skipped, as it is most of a row.
void RowLoop::plainCell(std::string_view text) {
    if (quoteAll_)
        return cell(text);
    out_ += outSeparator_;
    out_ += text;
}

// What write appends to the output, kept in slot the first time: it never changes
// within an input, as quoteAll_ is settled by its first row.
template <class F> const std::string& RowLoop::cached(std::string& slot, F&& write) {
    if (slot.empty()) {
        const std::size_t at = out_.size();
        write();
        slot.assign(out_.view().substr(at));
        out_.truncate(at);
    }
    return slot;
}

void RowLoop::entityCells() {
    const int row = added_.entity;
    if (row < 0) {
        plainCell({});
        plainCell({});
        return;
    }
    out_ += cached(entityCells_[static_cast<std::size_t>(row)], [&] {
        plainCell(added_.bic);
        cell(added_.name);
    });
}

void RowLoop::rowMessage(Status status) {
    if (++rowMessages_ <= maxRowMessages)
        reporter_.note(line_, statusText(status));
    else if (rowMessages_ == maxRowMessages + 1)
        reporter_.note(0, "hi ha més files il·legibles; l'estat de cada una és a la sortida");
}

} // namespace

std::uint64_t Summary::correct() const {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < statusCount; ++i)
        if (mdlFuncions::esCorrecte(static_cast<Status>(i)))
            n += byStatus[i];
    return n;
}

void Summary::add(const Summary& other) {
    rows += other.rows;
    blank += other.blank;
    for (std::size_t i = 0; i < statusCount; ++i)
        byStatus[i] += other.byStatus[i];
}

Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter,
                const Limits& limits) {
    DecodedInput input(source, sink, options.encoding, limits.window);
    Buffer& buffer = input.buffer();
    const Layout layout =
        settleLayout(buffer.rest(), buffer.atEnd(), options, input.decoding(), limits.maxRow);
    reporter.note(0, layout.description);
    if (reporter.settled)
        reporter.settled(layout);
    const Summary summary = RowLoop(buffer, input.output(), layout, reporter, limits).run();
    input.finish();
    return summary;
}

} // namespace cli
