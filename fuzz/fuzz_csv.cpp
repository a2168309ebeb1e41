// Feeds arbitrary bytes to the whole conversion of brelvoxa through a window of a
// few bytes to a few hundred, with reads of varying size, so that rows, quotes,
// CR/LF pairs and multi-byte characters are cut everywhere, and rows outgrow the
// window and the row limit. Checks that the output does not depend on the window
// or the reads (against the same input in one read through a window that holds
// it all), and that no row is lost, added or reordered: split again, the output
// has the input's rows, each starting with the row's own bytes and ending with its
// own line end. The sanitizers catch the rest.

#include "cli/convert.h"
#include "cli/csv.h"
#include "fuzz/check.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Reads of the sizes given in turn, each from 1 to 64 bytes, or, without sizes,
// of any size; a regular file's, which can be read again, or a pipe's.
class Pieces : public cli::Source {
public:
    Pieces(std::string_view data, std::string_view sizes, bool regular)
        : data_(data), rest_(data), sizes_(sizes), regular_(regular) {}
    std::size_t read(char* out, std::size_t size) override {
        const std::size_t piece =
            sizes_.empty() ? size
                           : 1 + static_cast<unsigned char>(sizes_[next_++ % sizes_.size()]) % 64;
        const std::size_t n = std::min({size, piece, rest_.size()});
        std::copy_n(rest_.data(), n, out);
        rest_.remove_prefix(n);
        return n;
    }
    bool rewindable() const override { return regular_; }
    void rewind() override {
        rest_ = data_;
        next_ = 0;
    }

private:
    std::string_view data_, rest_;
    std::string_view sizes_;
    bool regular_;
    std::size_t next_ = 0;
};

class Collect : public cli::Sink {
public:
    void write(std::string_view bytes) override { out += bytes; }
    std::string out;
};

struct Run {
    std::string out;
    std::string layout; // the first note: what was settled, in words
    cli::Layout settled;
    cli::Summary summary;
    bool failed = false;
};

// One conversion; the output buffer is kept between runs so that it is not
// allocated again each time.
void convert(cli::Source& source, const cli::Options& options, const cli::Limits& limits,
             Run& run) {
    Collect sink;
    sink.out.swap(run.out);
    sink.out.clear();
    run.layout.clear();
    cli::Reporter reporter;
    reporter.note = [&](std::uint64_t, std::string_view message) {
        if (run.layout.empty())
            run.layout = message;
    };
    reporter.settled = [&](const cli::Layout& layout) { run.settled = layout; };
    try {
        run.summary = cli::convert(source, sink, options, reporter, limits);
        run.failed = false;
    } catch (const cli::Failure&) {
        run.failed = true; // no column of accounts to be found
    }
    sink.out.swap(run.out);
}

struct Line {
    std::string_view raw, end;
};

// The rows as the converter takes them, with the same limit on a row: one too
// long to hold runs on to its line end, whatever quotes it holds.
std::vector<Line> rows(std::string_view data, char separator, cli::LineEnd lineEnd,
                       std::size_t maxRow) {
    cli::Splitter splitter(separator, maxRow, lineEnd);
    const char eol = cli::lastCharacter(lineEnd);
    cli::Record record;
    std::vector<Line> lines;
    while (const std::size_t taken = splitter.next(data, true, record)) {
        if (!record.tooLong) {
            lines.push_back({record.raw, record.end});
            data.remove_prefix(taken);
            continue;
        }
        const std::size_t nl = data.find(eol, taken);
        if (nl == std::string_view::npos) {
            lines.push_back({data, {}});
            break;
        }
        const std::size_t stop = eol == '\n' && data[nl - 1] == '\r' ? nl - 1 : nl;
        lines.push_back({data.substr(0, stop), data.substr(stop, nl + 1 - stop)});
        data.remove_prefix(nl + 1);
    }
    return lines;
}

cli::Options optionsFrom(std::uint8_t choice) {
    cli::Options options;
    const char separators[] = {0, ';', ',', '\t'};
    options.separator = separators[choice & 3];
    if (choice & 4)
        options.column = std::to_string(1 + (choice >> 5) % 3);
    if (choice & 8)
        options.encoding = cli::Encoding::windows1252;
    if (choice & 16)
        options.header = cli::HeaderMode::no;
    if (options.separator == 0 && options.column.empty() && (choice & 32))
        options.format = cli::Format::list;
    return options;
}

// Rows in and rows out, where the output's layout can be told from the input:
// one row out for each row in, starting with its bytes and ending as it ended.
void checkRows(std::string_view input, const Run& run, const cli::Limits& limits) {
    const cli::Layout& layout = run.settled;
    if (layout.decoding.utf16 != cli::Utf16::none)
        return; // its rows are UTF-8 only inside the conversion
    const char separator = layout.format == cli::Format::csv ? layout.separator : 0;
    std::string_view body = input;
    std::string_view out = run.out;
    if (layout.decoding.bom) {
        body.remove_prefix(cli::utf8Bom.size());
        CHECK(out.starts_with(cli::utf8Bom));
        out.remove_prefix(cli::utf8Bom.size());
    }
    // An end-of-file mark as the last byte is no row's, and comes back last.
    if (body.ends_with(cli::endOfFileMark)) {
        body.remove_suffix(1);
        CHECK(out.ends_with(cli::endOfFileMark));
        out.remove_suffix(1);
    }
    const auto in = rows(body, separator, layout.lineEnd, limits.maxRow);
    const std::uint64_t written = run.summary.rows + run.summary.blank + run.summary.titles;
    CHECK(written <= in.size() && in.size() <= written + 1);
    // Each row in order: its bytes, the added cells, which hold no line break,
    // then its own line end.
    for (const auto& row : in) {
        CHECK(out.substr(0, row.raw.size()) == row.raw);
        out.remove_prefix(row.raw.size());
        const std::size_t cells = std::min(out.find_first_of("\r\n"), out.size());
        out.remove_prefix(cells);
        CHECK(out.substr(0, row.end.size()) == row.end);
        out.remove_prefix(row.end.size());
    }
    CHECK(out.empty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    // Four bytes choose the options, the window, the row limit and the reads'
    // sizes; the rest is the input.
    const cli::Options options = optionsFrom(data[0]);
    cli::Limits limits;
    limits.window = 2 + data[1];
    // Rows are held whole up to a limit from a few bytes to twice the window.
    limits.maxRow = 2 + data[2] % (2 * limits.window);
    const std::string_view sizes(reinterpret_cast<const char*>(data) + 3,
                                 std::min<std::size_t>(data[3] % 8, size - 4));
    const std::string_view input(reinterpret_cast<const char*>(data) + 4, size - 4);

    static Run cut, whole;
    // Half the time the input is a regular file, checked whole before it is converted.
    const bool regular = (data[3] & 0x80) != 0;
    Pieces pieces(input, sizes, regular);
    convert(pieces, options, limits, cut);

    // The same input read at once through a window that holds it all settles on
    // more than the first window when it is longer; where it settles the same,
    // every byte of output must be the same.
    cli::Limits big = limits;
    big.window = std::max(input.size(), limits.window);
    Pieces all(input, {}, regular);
    convert(all, options, big, whole);
    CHECK(cut.failed == whole.failed || cut.layout != whole.layout);
    if (cut.failed || whole.failed)
        return 0;
    if (cut.layout == whole.layout) {
        CHECK(cut.out == whole.out);
        CHECK(cut.summary.rows == whole.summary.rows && cut.summary.blank == whole.summary.blank);
        CHECK(cut.summary.byStatus == whole.summary.byStatus);
    }
    checkRows(input, cut, limits);
    return 0;
}
