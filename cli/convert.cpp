// The row loop of brelvoxa: reads an input through a window, settles its layout,
// then writes every row back byte for byte with the added cells before its line
// end, in big blocks, counting statuses for the summary.

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

// The input as it is read: a window that keeps the row being read whole.
class Buffer {
public:
    Buffer(Source& source, std::size_t window) : source_(source), data_(window, '\0') {}

    std::string_view rest() const { return {data_.data() + begin_, end_ - begin_}; }
    bool atEnd() const { return atEnd_; }
    void consume(std::size_t n) { begin_ += n; }

    // Reads more, keeping what is not consumed; grows only for a row longer than
    // the window, which the splitter's limit bounds.
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

// Streams the rows of one input whose layout is settled.
class RowLoop {
public:
    RowLoop(Buffer& buffer, Sink& sink, const Layout& layout, const Reporter& reporter,
            const Limits& limits)
        : buffer_(buffer), sink_(sink), layout_(layout), reporter_(reporter),
          converter_(layout.encoding),
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
    std::uint64_t overLongRow(const Record& record);
    std::string passRestOfLine(std::uint64_t& bytes);
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
    std::uint64_t bytes = 0;
    if (layout_.bom) {
        out_ += utf8Bom;
        buffer_.consume(utf8Bom.size());
        bytes = utf8Bom.size();
    }
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
            bytes += overLongRow(record);
            continue;
        }
        out_ += record.raw;
        addedCells(record);
        out_ += record.end;
        // The line a message names counts line breaks inside quoted cells too.
        line_ += record.lineBreaks + !record.end.empty();
        bytes += taken;
        // The record's views point into the buffer: consume only once it is written.
        buffer_.consume(taken);
        if (out_.size() >= flushAt_) {
            sink_.write(out_.view());
            out_.clear();
        }
        if (records_ % progressEvery == 0 && reporter_.progress)
            reporter_.progress(records_, bytes);
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
// row. Returns the bytes it took.
std::uint64_t RowLoop::overLongRow(const Record& record) {
    const auto breaks = static_cast<std::uint64_t>(std::count(
        record.raw.begin(), record.raw.end(), lastCharacter(layout_.lineEnd))); // inside quotes
    sink_.write(out_.view());
    out_.clear();
    sink_.write(record.raw);
    std::uint64_t bytes = record.raw.size();
    buffer_.consume(record.raw.size());
    const std::string end = passRestOfLine(bytes);
    // The record's views are gone with the bytes they pointed to.
    Record over;
    over.tooLong = true;
    addedCells(over);
    out_ += end;
    line_ += breaks + !end.empty();
    return bytes;
}

// Writes the input through up to the next line end, which it returns ("" at the
// end of the input), adding what it read to bytes.
std::string RowLoop::passRestOfLine(std::uint64_t& bytes) {
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
            bytes += pos + 1;
            return end;
        }
        // A CR at the edge may start a CRLF: it waits for the next read.
        const std::size_t keep = lf && !buffer_.atEnd() && data.ends_with('\r') ? 1 : 0;
        sink_.write(data.substr(0, data.size() - keep));
        buffer_.consume(data.size() - keep);
        bytes += data.size() - keep;
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
        decode(header.cells[i], layout_.encoding, names[i]);
    std::string encoded;
    for (const auto& name : addedNames(names)) {
        encoded.clear();
        encode(name, layout_.encoding, encoded);
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

Encoding detectEncoding(Source& source, const Limits& limits) {
    std::string chunk(limits.window, '\0');
    Utf8Check check;
    bool first = true;
    for (;;) {
        const std::size_t n = source.read(chunk.data(), chunk.size());
        const std::string_view bytes(chunk.data(), n);
        // A UTF-16 input is read as UTF-8 once transcoded; a byte order mark tells both.
        if (first &&
            (bytes.substr(0, utf8Bom.size()) == utf8Bom || utf16Order(bytes) != Utf16::none))
            return Encoding::utf8;
        first = false;
        if (n == 0)
            return check.valid() ? Encoding::utf8 : Encoding::windows1252;
        if (!check.feed(bytes))
            return Encoding::windows1252;
    }
}

namespace {

// Gives back the bytes read to look for a byte order mark, then reads on, unless
// the input ended within them: a terminal read again after its end waits for more.
class Replay : public Source {
public:
    Replay(std::string_view head, bool ended, Source& source)
        : head_(head), ended_(ended), source_(source) {}
    std::size_t read(char* data, std::size_t size) override {
        if (head_.empty())
            return ended_ ? 0 : source_.read(data, size);
        const std::size_t n = std::min(size, head_.size());
        std::memcpy(data, head_.data(), n);
        head_.remove_prefix(n);
        return n;
    }

private:
    std::string_view head_;
    bool ended_;
    Source& source_;
};

// A UTF-16 input read as UTF-8.
class Utf16Source : public Source {
public:
    Utf16Source(Source& source, Utf16 order) : source_(source), decoder_(order) {}
    std::size_t read(char* data, std::size_t size) override {
        while (pos_ == decoded_.size()) {
            decoded_.clear();
            pos_ = 0;
            if (ended_)
                return 0;
            raw_.resize(std::max<std::size_t>(size, 2));
            const std::size_t n = source_.read(raw_.data(), raw_.size());
            ended_ = n == 0;
            if (ended_)
                decoder_.finish(decoded_);
            else
                decoder_.feed(std::string_view(raw_.data(), n), decoded_);
        }
        const std::size_t n = std::min(size, decoded_.size() - pos_);
        std::memcpy(data, decoded_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    std::string_view leftover() const { return decoder_.leftover(); }

private:
    Source& source_;
    Utf16Decoder decoder_;
    std::string raw_, decoded_;
    std::size_t pos_ = 0;
    bool ended_ = false;
};

// UTF-8 written out as UTF-16 in the given order, after its byte order mark.
class Utf16Sink : public Sink {
public:
    Utf16Sink(Sink& sink, Utf16 order) : sink_(sink), encoder_(order) {
        encoder_.feed("\uFEFF", encoded_);
    }
    void write(std::string_view bytes) override {
        encoder_.feed(bytes, encoded_);
        sink_.write(encoded_);
        encoded_.clear();
    }
    void finish() {
        encoder_.finish(encoded_);
        sink_.write(encoded_);
        encoded_.clear();
    }

private:
    Sink& sink_;
    Utf16Encoder encoder_;
    std::string encoded_;
};

Summary convertRows(Source& source, Sink& sink, const Options& options, const Reporter& reporter,
                    std::optional<Encoding> wholeInput, const Limits& limits, Utf16 utf16) {
    Buffer buffer(source, limits.window);
    buffer.fillWindow();
    const Layout layout =
        settleLayout(buffer.rest(), buffer.atEnd(), options, wholeInput, limits.maxRow, utf16);
    reporter.note(0, layout.description);
    if (reporter.settled)
        reporter.settled(layout);
    return RowLoop(buffer, sink, layout, reporter, limits).run();
}

} // namespace

Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter,
                std::optional<Encoding> wholeInput, const Limits& limits) {
    // A UTF-16 byte order mark is read first: such an input is converted as UTF-8
    // and written back in its own encoding.
    char head[2];
    std::size_t got = 0;
    bool ended = false;
    while (got < sizeof head && !ended) {
        const std::size_t n = source.read(head + got, sizeof head - got);
        ended = n == 0;
        got += n;
    }
    const Utf16 utf16 = utf16Order(std::string_view(head, got));
    if (utf16 == Utf16::none) {
        Replay replay(std::string_view(head, got), ended, source);
        return convertRows(replay, sink, options, reporter, wholeInput, limits, utf16);
    }
    Utf16Source in(source, utf16);
    Utf16Sink out(sink, utf16);
    const Summary summary = convertRows(in, out, options, reporter, std::nullopt, limits, utf16);
    out.finish();
    // An odd last byte belongs to no character; it is still the input's.
    sink.write(in.leftover());
    return summary;
}

} // namespace cli
