#include "cli/csv.h"
#include "cli/encoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

using namespace cli;

namespace {

struct Row {
    std::string raw, end;
    std::vector<std::string> cells;
    bool unclosed = false;
    bool tooLong = false;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& r) {
    return os << testing::PrintToString(std::tuple(r.raw, r.end, r.cells, r.unclosed, r.tooLong));
}

Row copy(const Record& r) {
    return {std::string(r.raw),
            std::string(r.end),
            {r.cells.begin(), r.cells.end()},
            r.unclosedQuote,
            r.tooLong};
}

// The records of an input arriving piece bytes at a time, as reads of a pipe may
// cut it. A record too long to hold runs on to its line end, as the converter
// passes it.
std::vector<Row> split(std::string_view input, char separator, std::size_t piece,
                       std::size_t maxRow = Splitter::defaultMaxRow,
                       LineEnd lineEnd = LineEnd::lf) {
    Splitter splitter(separator, maxRow, lineEnd);
    Record record;
    std::vector<Row> rows;
    std::size_t begin = 0, available = 0;
    for (;;) {
        const bool atEnd = available == input.size();
        const std::size_t taken =
            splitter.next(input.substr(begin, available - begin), atEnd, record);
        if (taken == 0) {
            if (atEnd)
                return rows;
            available = std::min(input.size(), available + piece);
            continue;
        }
        if (!record.tooLong) {
            // Messages count lines by it: every line end within the row.
            EXPECT_EQ(record.lineBreaks,
                      std::count(record.raw.begin(), record.raw.end(), lastCharacter(lineEnd)))
                << record.raw;
            rows.push_back(copy(record));
            begin += taken;
            continue;
        }
        EXPECT_LE(taken, maxRow);
        const std::size_t nl = std::min(input.find('\n', begin + taken), input.size());
        // A CR the splitter gave with the row's start is the row's, not its line end's.
        const std::size_t stop =
            nl < input.size() && nl > begin + taken && input[nl - 1] == '\r' ? nl - 1 : nl;
        rows.push_back({std::string(input.substr(begin, stop - begin)),
                        std::string(input.substr(stop, nl + 1 - stop)),
                        {},
                        false,
                        true});
        begin = available = std::min(nl + 1, input.size());
    }
}

// How an input is split: the separator (0 for a list), the line end and the limit.
struct Way {
    char separator = ';';
    LineEnd lineEnd = LineEnd::lf;
    std::size_t maxRow = Splitter::defaultMaxRow;
};
const Way list{0}, cr{';', LineEnd::cr}, listCr{0, LineEnd::cr}, limit8{';', LineEnd::lf, 8};

struct Case {
    const char* name;
    std::string input;
    std::vector<Row> expected;
    Way way = {};
};

} // namespace

// Plain rows, quoted separators and line breaks, CRLF and CR alone are in the
// samples in dades/; these are the edges.
TEST(Splitter, reads_records_keeping_each_row_and_its_line_end_whatever_the_reads) {
    const auto tooLong = [](std::string r, std::string e) { return Row{r, e, {}, false, true}; };
    const auto unclosed = [](std::string raw) { return Row{raw, "\n", {}, true}; };
    const Row x{"x", "\n", {"x"}};
    const Case rows[] = {
        {"empty_cells_and_blank_line", ";;\n\n", {{";;", "\n", {"", "", ""}}, {"", "\n", {""}}}},
        {"text_after_a_closing_quote_is_kept", "\"ab\"c;d\n", {{"\"ab\"c;d", "\n", {"abc", "d"}}}},
        {"a_doubled_quote_is_one", "\"a\"\"b\";c\n", {{"\"a\"\"b\";c", "\n", {"a\"b", "c"}}}},
        {"quote_inside_an_unquoted_cell_is_literal", "a\"b;c\n", {{"a\"b;c", "\n", {"a\"b", "c"}}}},
        {"a_lone_cr_stays_in_the_row", "a\rb;c\n", {{"a\rb;c", "\n", {"a\rb", "c"}}}},
        {"unclosed_quote_at_the_end_is_its_first_line_alone",
         "1;\"open\n2;x\n",
         {unclosed("1;\"open"), {"2;x", "\n", {"2", "x"}}}},
        {"a_quote_closing_into_text_lines_later_is_left_open",
         "1;\"open\n2;\"x\";y\n",
         {unclosed("1;\"open"), {"2;\"x\";y", "\n", {"2", "x", "y"}}}},
        {"a_list_takes_quotes_literally",
         "\"2100;1234\"\r\n\nES03 x",
         {{"\"2100;1234\"", "\r\n", {"\"2100;1234\""}},
          {"", "\n", {""}},
          {"ES03 x", "", {"ES03 x"}}},
         list},
        // Where CR alone ends rows (dades/mac.csv), an LF is a character of the row.
        {"quoted_line_break_and_no_last_line_end",
         "\"a\rb\";c\r\"x\"",
         {{"\"a\rb\";c", "\r", {"a\rb", "c"}}, {"\"x\"", "", {"x"}}},
         cr},
        {"an_lf_is_a_character_of_the_row", "a\nb;c\r", {{"a\nb;c", "\r", {"a\nb", "c"}}}, cr},
        {"list_with_a_blank_line",
         "2100\r\rES03\r",
         {{"2100", "\r", {"2100"}}, {"", "\r", {""}}, {"ES03", "\r", {"ES03"}}},
         listCr},
        // Over a limit of 8 bytes a row is told apart, whatever the reads.
        {"fits_exactly", "1234567\nx\n", {{"1234567", "\n", {"1234567"}}, x}, limit8},
        {"one_byte_over", "12345678\nx\n", {tooLong("12345678", "\n"), x}, limit8},
        {"crlf_across_the_limit", "1234567\r\nx\n", {tooLong("1234567", "\r\n"), x}, limit8},
        {"last_row_without_a_line_end", "123456789012", {tooLong("123456789012", "")}, limit8},
        {"cr_at_the_end_is_no_line_end", "1234567\r\r", {tooLong("1234567\r\r", "")}, limit8},
        {"a_long_quoted_cell_is_one_row",
         "\"abcdefghij\";1\nx;2\n",
         {tooLong("\"abcdefghij\";1", "\n"), {"x;2", "\n", {"x", "2"}}},
         limit8},
        {"a_quote_left_open_ends_at_its_first_line",
         "1;\"ab\nc;d\nefgh\n",
         {unclosed("1;\"ab"), {"c;d", "\n", {"c", "d"}}, {"efgh", "\n", {"efgh"}}},
         limit8},
        {"a_quoted_line_break_within_the_limit",
         "\"a\nb\";c\n",
         {{"\"a\nb\";c", "\n", {"a\nb", "c"}}},
         limit8},
        {"quoted_break_then_crlf", "\"a\nb\"\r\nx\n", {{"\"a\nb\"", "\r\n", {"a\nb"}}, x}},
    };
    for (const auto& c : rows)
        for (std::size_t piece :
             {std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(7), c.input.size()})
            EXPECT_EQ(split(c.input, c.way.separator, piece, c.way.maxRow, c.way.lineEnd),
                      c.expected)
                << c.name << " in pieces of " << piece;
}

TEST(Csv, separator_is_the_most_frequent_outside_quotes_semicolon_first) {
    const std::tuple<std::string_view, char> rows[] = {
        {"a,b;c", ';'}, {"\"a;b\",c,d", ','}, {"a\tb\tc;d", '\t'}, {"\"x;y\"", 0}, {"", 0},
    };
    for (const auto& [line, separator] : rows)
        EXPECT_EQ(detectSeparator(line), separator) << line;
}

TEST(Encoding, utf16_goes_to_utf8_and_back_to_the_same_bytes_whatever_the_cuts) {
    // Code units as little-endian bytes: a pair for U+1F600, lone surrogates, and an
    // odd last byte, which no character takes and is kept apart. Other characters
    // both ways: dades/text-unicode.txt.
    const std::tuple<const char*, std::string, std::string_view> rows[] = {
        {"surrogate_pair", std::string("\x3D\xD8\x00\xDE", 4), "\xF0\x9F\x98\x80"},
        {"lone_high_then_a_letter", std::string("\x3D\xD8\x61\x00", 4), "\xED\xA0\xBD\x61"},
        {"lone_low_surrogate", std::string("\x00\xDE", 2), "\xED\xB8\x80"},
        {"lone_high_at_the_end", std::string("a\x00\x3D\xD8", 4), "a\xED\xA0\xBD"},
        {"odd_last_byte", std::string("a\x00z", 3), "a"},
    };
    for (const auto& [name, le, utf8] : rows) {
        std::string be = le;
        for (std::size_t i = 0; i + 1 < be.size(); i += 2)
            std::swap(be[i], be[i + 1]);
        for (const auto& [order, bytes] :
             {std::pair(Utf16::littleEndian, le), std::pair(Utf16::bigEndian, be)}) {
            const std::string odd = bytes.substr(bytes.size() - bytes.size() % 2);
            for (const std::size_t piece : {std::size_t(1), std::size_t(3), bytes.size()}) {
                Utf16Decoder decoder(order);
                std::string decoded;
                for (std::size_t i = 0; i < bytes.size(); i += piece)
                    decoder.feed(std::string_view(bytes).substr(i, piece), decoded);
                decoder.finish(decoded);
                EXPECT_EQ(decoded, utf8) << name << " piece " << piece;
                EXPECT_EQ(decoder.leftover(), odd) << name;
                Utf16Encoder encoder(order);
                std::string encoded;
                for (std::size_t i = 0; i < decoded.size(); i += piece)
                    encoder.feed(std::string_view(decoded).substr(i, piece), encoded);
                encoder.finish(encoded);
                EXPECT_EQ(encoded + odd, bytes) << name << " piece " << piece;
            }
        }
    }
}
