#include "cli/convert.h"
#include "cli/xlsx.h"
#include "cli/xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

using namespace cli;

namespace {

// An input read in pieces of at most piece bytes: a regular file's, which can be
// read again, or a pipe's.
class Pieces : public Source {
public:
    Pieces(std::string_view data, std::size_t piece, bool regular)
        : data_(data), rest_(data), piece_(piece), regular_(regular) {}
    std::size_t read(char* out, std::size_t size) override {
        const std::size_t n = std::min({size, piece_, rest_.size()});
        std::copy_n(rest_.data(), n, out);
        rest_.remove_prefix(n);
        return n;
    }
    bool rewindable() const override { return regular_; }
    void rewind() override { rest_ = data_; }

private:
    std::string_view data_, rest_;
    std::size_t piece_;
    bool regular_;
};

struct Collect : Sink {
    void write(std::string_view bytes) override { out += bytes; }
    std::string out;
};

// The output of the input converted through the given window in reads of piece
// bytes; settled, when given, gets the layout.
std::string converted(std::string_view input, const Options& options, std::size_t window,
                      std::size_t piece, std::size_t maxRow = Splitter::defaultMaxRow,
                      bool regular = false, Layout* settled = nullptr) {
    Pieces source(input, piece, regular);
    Collect sink;
    Reporter reporter;
    reporter.note = [](std::uint64_t, std::string_view) {};
    if (settled)
        reporter.settled = [&](const Layout& l) { *settled = l; };
    Limits limits;
    limits.window = window;
    limits.maxRow = maxRow;
    convert(source, sink, options, reporter, limits);
    return sink.out;
}

} // namespace

// State: inputs whose first line fits the smallest window, so that every window
// settles the same layout. Action: convert them through windows and reads of many
// sizes, rows cut everywhere, and with an end-of-file mark after their last byte.
// Expected: the output of one read through a big window, the mark written back last.
TEST(Convert, the_output_depends_on_neither_the_window_nor_the_reads) {
    const std::string utf16 = [] {
        std::string s = "\xFF\xFE";
        for (char c : std::string("Nom\tIBAN\r\nMart\xED\t2100 1234 51 5678901234\r\nx\ty\r\n"))
            s += std::string{c, '\0'};
        return s;
    }();
    Options byName;
    byName.column = "IBAN";
    // Longer than the biggest window, in lines shorter than the last.
    std::string lines;
    for (int i = 0; i < 13; ++i)
        lines += "ES0321001234515678901234\n";
    struct Row {
        const char* name;
        std::string input;
        Options options;
        std::size_t maxRow = Splitter::defaultMaxRow;
    };
    const Row rows[] = {
        {"csv_with_quotes_and_crlf",
         "Nom;IBAN\r\n\"Puig; Anna\";ES03 2100 1234 5156 7890 1234\r\n\"a\"\"b\nc\";0081\r\n"
         "Ferrer;00810216717100012345\n\nRoca;x",
         byName},
        {"list_of_every_kind",
         "ES0321001234515678901234\n\n2100-1234-51-5678901234\r\n00000000000000000000\nno\n",
         {}},
        {"cr_line_ends", "Nom,IBAN\rPuig,ES0321001234515678901234\r\"R\roca\",0081\rX,Y", byName},
        {"utf8_bom_and_multibyte_cells",
         "\xEF\xBB\xBFNom;IBAN\nMart\xC3\xAD \xE2\x82\xAC;2100\xE2\x80\x89"
         "1234 51 5678901234\n",
         byName},
        {"utf16_little_endian", utf16, byName},
        // Whether the last row is too long to hold waits for the byte after it.
        {"a_last_row_as_long_as_a_row_may_be", lines + "ES03 2100 1234 5156 7890 1234 ", {}, 30},
    };
    for (const auto& [name, input, options, maxRow] : rows) {
        const std::string once = converted(input, options, 1 << 20, input.size(), maxRow);
        ASSERT_GT(once.size(), input.size()) << name;
        const bool utf16 = input.starts_with("\xFF\xFE");
        for (const std::size_t window : {40, 41, 64, 100, 300})
            for (const std::size_t piece : {1, 2, 3, 7, 64}) {
                EXPECT_EQ(converted(input, options, window, piece, maxRow), once)
                    << name << ", window " << window << ", reads of " << piece;
                if (!utf16) {
                    EXPECT_EQ(converted(input + "\x1A", options, window, piece, maxRow),
                              once + "\x1A")
                        << name << " with a mark, window " << window << ", reads of " << piece;
                }
            }
    }
}

// What only a first window shorter than the input shows: the layouts of whole
// inputs are in the samples' .errors in dades/.
TEST(Layout, is_settled_from_the_first_window_but_a_regular_file_is_checked_whole) {
    Options list;
    list.format = Format::list;
    const std::string account = "21001234515678901234\n";
    // Whether each input is taken for UTF-8.
    const std::tuple<const char*, std::string, std::size_t, bool, Options, bool> rows[] = {
        {"crlf_cut_at_the_edge_is_no_cr_alone", "21001234515678901234\r\n", 21, false, {}, true},
        // Its one byte that is no UTF-8 comes after the first window.
        {"regular_file_checked_whole", "21001234515678901234\nMu\xF1oz\n", 21, true, {}, false},
        {"character_cut_at_the_edge_is_utf8", "Mart\xC3\xAD\n", 5, false, list, true},
        // The rest of a regular file is checked in reads that cut its characters too.
        {"four_byte_form", account + "\xF0\x9F\x98\x80\n", 23, true, {}, true},
        {"lone_continuation_byte", account + "\x80\n", 22, true, {}, false},
        {"overlong_slash", account + "\xC0\xAF\n", 22, true, {}, false},
        {"surrogate", account + "\xED\xA0\x80\n", 23, true, {}, false},
        {"past_u10ffff", account + "\xF4\x90\x80\x80\n", 23, true, {}, false},
        {"cut_at_the_end", account + "Mart\xC3", 25, true, {}, false},
    };
    for (const auto& [name, input, window, regular, options, utf8] : rows) {
        Layout settled;
        converted(input, options, window, input.size(), Splitter::defaultMaxRow, regular, &settled);
        EXPECT_EQ(settled.description,
                  "llista d'un compte per línia, " +
                      std::string(utf8 ? "UTF-8" : "Windows-1252 (l'entrada no és UTF-8 vàlid)") +
                      "; sense capçalera")
            << name;
    }
}

// A number cell of a workbook, as its value is stored and the zeros its format
// shows, read as the digits a person sees, or as what a spreadsheet makes of a
// number it cannot hold.
TEST(Workbook, a_number_cell_reads_as_the_digits_it_shows) {
    const std::tuple<const char*, std::size_t, const char*> rows[] = {
        {"418", 0, "418"},
        {"418", 4, "0418"},
        {"49", 4, "0049"},
        {"1234567892", 10, "1234567892"},
        {"4.18E2", 4, "0418"},
        {"120.5", 0, "120.5"},
        {"-3", 0, "-3"},
        {"0", 2, "00"},
        {"123456789012345", 0, "123456789012345"},
        {"1234567890123450", 0, "1.23456789012345E+15"},
        {"2.1000418450200051E+19", 0, "2.10004184502E+19"},
        {"21000418450200051332", 0, "2.10004184502E+19"},
        {"2.10004184502001E+019", 0, "2.10004184502001E+19"},
        {"1E+300", 0, "1E+300"},
        {"12a", 0, "12a"},
    };
    for (const auto& [value, zeros, shown] : rows)
        EXPECT_EQ(numberText(value, zeros), shown) << value;
    const std::tuple<const char*, long, const char*> references[] = {
        {"A1", 0, "A"},         {"Z9", 25, "Z"},  {"AA10", 26, "AA"},
        {"XFD1", 16383, "XFD"}, {"XFE1", -1, ""}, {"12", -1, ""}};
    for (const auto& [reference, column, letters] : references) {
        EXPECT_EQ(columnOf(reference), column) << reference;
        EXPECT_EQ(column < 0 ? "" : columnLetters(static_cast<std::size_t>(column)), letters);
    }
}

namespace {

// Copies a part through XmlCopy in pieces of one to seven bytes, adding "+" before
// every end tag of a row; or gives the Failure's message.
struct Marks : XmlReader::Handler, Sink {
    XmlReader* xml = nullptr;
    std::optional<XmlCopy> copy;
    std::string out;
    void start(std::string_view, const char**) override {}
    void end(std::string_view name) override {
        if (localName(name) == "row" && xml->size() > 0) {
            copy->copyTo(xml->at());
            copy->add() += "+";
        }
    }
    void text(std::string_view) override {}
    void write(std::string_view bytes) override { out += bytes; }
};

std::string marked(std::string_view part) {
    Marks marks;
    marks.copy.emplace(marks);
    XmlReader xml(marks, "f", "p");
    marks.xml = &xml;
    try {
        for (std::size_t n = 1; !part.empty(); n = n % 7 + 1) {
            const auto piece = part.substr(0, n);
            part.remove_prefix(piece.size());
            marks.copy->arrived(piece);
            xml.feed(piece, part.empty());
        }
    } catch (const Failure& f) {
        return f.what();
    }
    marks.copy->finish();
    return marks.out;
}

} // namespace

TEST(Workbook, a_part_is_copied_as_it_is_read_and_no_document_type_is_ever_read) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"<s><row a='1'>x&amp;<c/></row><row/><x:row xmlns:x='u'>é</x:row></s>",
         "<s><row a='1'>x&amp;<c/>+</row><row/><x:row xmlns:x='u'>é+</x:row></s>"},
        {"<!DOCTYPE s [<!ENTITY a 'b'>]><s>&a;</s>",
         "la part p declara un tipus de document (DTD), que no es llegeix mai"},
        {"<!DOCTYPE s SYSTEM 'file:///etc/passwd'><s/>",
         "la part p declara un tipus de document (DTD), que no es llegeix mai"},
        {"<s>\n<row></s>", "la part p no és XML ben format en UTF-8 (línia 2)"},
        {"\xFF\xFE<\0s\0/\0>\0", "la part p no és XML ben format en UTF-8 (línia 1)"},
    };
    for (const auto& [part, result] : rows)
        EXPECT_EQ(marked(std::string(part.data(), part.size())), result) << part;
}
