// The row loop of brelvoxa: splits the decoded input into rows and writes every
// row back byte for byte with its added cells before its line end, in big
// blocks, counting statuses for the summary.

#include "cli/convert.h"

#include "cli/account.h"
#include "cli/workbook.h"
#include "core/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

namespace {

constexpr std::uint64_t progressEvery = 1 << 16;

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

// The output as it is put together: a row is its own bytes, a handful of short
// added cells and its line end, appended inline rather than through a call to
// std::string::append each.
class Pieces {
public:
    explicit Pieces(std::size_t reserve) : data_(reserve) {}

    std::string_view view() const { return {data_.data(), size_}; }
    std::size_t size() const { return size_; }
    void clear() { size_ = 0; }
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

// The text pair: rows split from the decoded input, and written back byte for
// byte with their added cells before their line ends, in big blocks.
class RowLoop {
public:
    RowLoop(Buffer& buffer, Sink& sink, const Layout& layout, const Reporter& reporter,
            const Limits& limits)
        : buffer_(buffer), sink_(sink), layout_(layout), reporter_(reporter),
          rules_(layout, reporter), splitter_(layout.format == Format::csv ? layout.separator : 0,
                                              limits.maxRow, layout.lineEnd),
          // Written out as often as a window is read in.
          flushAt_(limits.window),
          // Most output is the input copied; the added cells take about a quarter more.
          out_(flushAt_ + (flushAt_ >> 2)) {}

    Summary run();

private:
    std::span<const std::string_view> added(const Record& record);
    void append(std::span<const std::string_view> cells);
    void overLongRow(const Record& record);
    std::string passRestOfLine();

    Buffer& buffer_;
    Sink& sink_;
    const Layout& layout_;
    const Reporter& reporter_;
    RowRules rules_;
    Splitter splitter_;
    const std::size_t flushAt_;
    Pieces out_;
    std::string_view header_; // the added columns' names, once the header is read
    std::uint64_t line_ = 1, records_ = 0;
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
        if (record.tooLong) {
            // One byte more than a row may hold, and that byte perhaps the input's
            // end-of-file mark: the row is too long only if more follows.
            if (buffer_.markPending() && buffer_.rest().size() == splitter_.maxRow() + 1) {
                buffer_.fill();
                continue;
            }
            overLongRow(record);
            continue;
        }
        out_ += record.raw;
        append(added(record));
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
    return rules_.summary();
}

// The cells added after a row's own bytes, before its line end; valid until the
// next row.
std::span<const std::string_view> RowLoop::added(const Record& record) {
    ++records_;
    // A file whose first row quotes every cell gets its added cells quoted too.
    if (rules_.leadingNext()) [[unlikely]]
        rules_.converter().quoteAll(layout_.format == Format::csv && record.allQuoted);
    const Gain gain = rules_.take(record, line_);
    switch (gain.kind) {
    case Gain::Kind::cells:
        return gain.cells->pieces;
    case Gain::Kind::header:
        header_ = rules_.converter().header(record.cells);
        return std::span<const std::string_view>(&header_, 1);
    case Gain::Kind::nothing:
        break;
    }
    return {};
}

void RowLoop::append(std::span<const std::string_view> cells) {
    for (const std::string_view cell : cells)
        out_ += cell;
}

// A row too long to hold: its start as the splitter gave it, then the rest read
// and written straight through, then its added cells and line end as for any row.
void RowLoop::overLongRow(const Record& record) {
    const auto breaks = static_cast<std::uint64_t>(std::count(
        record.raw.begin(), record.raw.end(), lastCharacter(layout_.lineEnd))); // inside quotes
    // Made while the record's views still point to its bytes.
    const auto cells = added(record);
    sink_.write(out_.view());
    out_.clear();
    // More follows the row's start, so none of it is the input's end-of-file mark.
    sink_.write(record.raw);
    buffer_.consume(record.raw.size());
    const std::string end = passRestOfLine();
    append(cells);
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
        // A CR at the edge may start a CRLF, and a last byte may be the input's
        // end-of-file mark: it waits for the next read.
        const std::size_t keep =
            (lf && !buffer_.atEnd() && data.ends_with('\r')) || buffer_.markPending();
        sink_.write(data.substr(0, data.size() - keep));
        buffer_.consume(data.size() - keep);
        if (buffer_.atEnd())
            return {};
        buffer_.fill();
    }
}

// What no list is: a workbook through a pipe, an old binary workbook, a PDF,
// anything with NUL bytes. Refused before any row is written.
void refuseBinary(std::string_view window) {
    switch (containerOf(window)) {
    case Container::zip:
        throw Failure("és un fitxer zip (potser un llibre .xlsx o .ods), que només es llegeix "
                      "d'un fitxer: doneu-ne el nom, o rediriqueu-lo des d'un fitxer");
    case Container::ole:
        refuseOle(window);
    case Container::text:
        break;
    }
    if (window.starts_with("%PDF-"))
        throw Failure("és un document PDF, no una llista de comptes");
    if (window.find('\0') != std::string_view::npos)
        throw Failure("és un fitxer binari (té bytes nuls), no una llista de comptes");
}

} // namespace

Summary convert(Source& source, Sink& sink, const Options& options, const Reporter& reporter,
                const Limits& limits) {
    DecodedInput input(source, sink, options.encoding, limits.window);
    Buffer& buffer = input.buffer();
    refuseBinary(buffer.rest());
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
