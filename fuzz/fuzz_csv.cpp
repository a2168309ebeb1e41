// Feeds arbitrary bytes to the whole conversion of brelvoxa, read in pieces of
// varying size, and checks that no row is lost, added or reordered: split again,
// the output has the input's rows, each one starting with the row's own bytes and
// ending with its own line end. The sanitizers catch the rest.

#include "cli/convert.h"
#include "cli/csv.h"
#include "fuzz/check.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

class Pieces : public cli::Source {
public:
    Pieces(std::string_view data, std::size_t piece) : data_(data), piece_(piece) {}
    std::size_t read(char* out, std::size_t size) override {
        const std::size_t n = std::min({size, piece_, data_.size()});
        std::copy_n(data_.data(), n, out);
        data_.remove_prefix(n);
        return n;
    }

private:
    std::string_view data_;
    std::size_t piece_;
};

class Collect : public cli::Sink {
public:
    void write(std::string_view bytes) override { out += bytes; }
    std::string out;
};

struct Line {
    std::string raw, end;
    bool unclosed;
};

std::vector<Line> rows(std::string_view data, char separator) {
    cli::Splitter splitter(separator);
    cli::Record record;
    std::vector<Line> lines;
    while (const std::size_t taken = splitter.next(data, true, record)) {
        lines.push_back({std::string(record.raw), std::string(record.end), record.unclosedQuote});
        data.remove_prefix(taken);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first two bytes choose the options and the size of each read.
    const std::uint8_t choice = data[0];
    const std::size_t piece = 1 + data[1] % 64;
    const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

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

    Pieces source(input, piece);
    Collect sink;
    std::string said;
    cli::Reporter reporter;
    reporter.note = [&](std::uint64_t, std::string_view message) {
        if (said.empty())
            said = message;
    };
    cli::Summary summary;
    try {
        summary = cli::convert(source, sink, options, reporter);
    } catch (const cli::Failure&) {
        return 0; // no column of accounts to be found: nothing written, nothing to check
    }

    // What the converter settled on is in its first note.
    char separator = 0;
    if (said.rfind("CSV separat per ", 0) == 0) {
        const std::string_view what = std::string_view(said).substr(16);
        separator = what.rfind("tabulador", 0) == 0 ? '\t' : what[2];
    }
    std::string_view body = input;
    std::string_view out = sink.out;
    if (body.substr(0, 3) == cli::utf8Bom) {
        body.remove_prefix(3);
        CHECK(out.substr(0, 3) == cli::utf8Bom);
        out.remove_prefix(3);
    }
    const auto in = rows(body, separator);
    CHECK(summary.rows + summary.blank <= in.size() &&
          in.size() <= summary.rows + summary.blank + 1);

    // A quote left open may swallow the added cells when the output is split again,
    // so the row by row comparison is made where every quote closes.
    if (std::any_of(in.begin(), in.end(), [](const Line& l) { return l.unclosed; }))
        return 0;
    const auto back = rows(out, separator);
    CHECK(back.size() == in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        CHECK(back[i].raw.compare(0, in[i].raw.size(), in[i].raw) == 0);
        CHECK(back[i].end == in[i].end);
    }
    return 0;
}
