#include "cli/convert.h"

#include <gtest/gtest.h>

#include <algorithm>
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
                      std::size_t piece, bool regular = false, Layout* settled = nullptr) {
    Pieces source(input, piece, regular);
    Collect sink;
    Reporter reporter;
    reporter.note = [](std::uint64_t, std::string_view) {};
    if (settled)
        reporter.settled = [&](const Layout& l) { *settled = l; };
    Limits limits;
    limits.window = window;
    convert(source, sink, options, reporter, limits);
    return sink.out;
}

struct Case {
    const char* name;
    std::string input;
    Options options;
    Layout expected;
    std::size_t window = std::size_t(1) << 20; // the first window's size
    bool regular = false;                      // a regular file, else a pipe
};

Options with(auto change) {
    Options o;
    change(o);
    return o;
}

Layout csv(char separator, std::vector<std::size_t> columns, bool header, std::string description) {
    Layout l;
    l.format = Format::csv;
    l.separator = separator;
    l.columns = std::move(columns);
    l.header = header;
    l.description = std::move(description);
    return l;
}

Layout list(std::string description, bool header = false) {
    Layout l;
    l.columns = {0};
    l.header = header;
    l.description = std::move(description);
    return l;
}

Layout decoded(Layout l, Encoding e, EncodingFrom from, bool bom = false) {
    l.decoding = {e, from, bom};
    return l;
}

} // namespace

// State: inputs whose first line fits the smallest window, so that every window
// settles the same layout. Action: convert them through windows and reads of many
// sizes, rows cut everywhere. Expected: the output of one read through a big window.
TEST(Convert, the_output_depends_on_neither_the_window_nor_the_reads) {
    const std::string utf16 = [] {
        std::string s = "\xFF\xFE";
        for (char c : std::string("Nom\tIBAN\r\nMart\xED\t2100 1234 51 5678901234\r\nx\ty\r\n"))
            s += std::string{c, '\0'};
        return s;
    }();
    Options byName;
    byName.column = "IBAN";
    const std::tuple<const char*, std::string, Options> rows[] = {
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
    };
    for (const auto& [name, input, options] : rows) {
        const std::string once = converted(input, options, 1 << 20, input.size());
        ASSERT_GT(once.size(), input.size()) << name;
        for (const std::size_t window : {40, 41, 64, 100, 300})
            for (const std::size_t piece : {1, 2, 3, 7, 64})
                EXPECT_EQ(converted(input, options, window, piece), once)
                    << name << ", window " << window << ", reads of " << piece;
    }
}

// The layouts and encodings the samples in dades/ leave out: each sample's is in
// its .errors.
TEST(Layout, settles_everything_about_an_input_from_its_first_window) {
    const Case rows[] = {
        {"a_list_led_by_blank_lines",
         "\n  \r\n21001234515678901234\n",
         {},
         list("llista d'un compte per línia, UTF-8; sense capçalera")},
        // Four digits in a row are an account's, not a name's.
        {"a_year_in_the_account_s_cell_and_a_column_given_by_number",
         "Compte 2024\tImport\n21001234515678901234\t3\n", with([](Options& o) { o.column = "1"; }),
         csv('\t', {0}, false, "CSV separat per tabulador, UTF-8, columna 1; sense capçalera")},
        {"four_parts_in_the_first_row_are_data",
         "Puig,0049,1500,01,0512345678\n",
         {},
         csv(',', {1, 2, 3, 4}, false,
             "CSV separat per «,», UTF-8, columnes 2, 3, 4, 5 (entitat, oficina, control, "
             "compte), triades pels seus valors; sense capçalera")},
        {"a_crlf_cut_at_the_window_edge_is_not_cr_alone",
         "21001234515678901234\r\n",
         {},
         list("llista d'un compte per línia, UTF-8; sense capçalera"),
         21},
        {"column_by_name_in_another_case_makes_a_header", "nom;iban\nPuig;x\n",
         with([](Options& o) { o.column = "IBAN"; }),
         csv(';', {1}, true,
             "CSV separat per «;», UTF-8, columna 2 «iban»; la primera fila és la capçalera: "
             "«nom», «iban»")},
        {"column_by_number_and_a_given_separator", "a|b,21001234515678901234\n",
         with([](Options& o) {
             o.column = "2";
             o.separator = ',';
         }),
         csv(',', {1}, false, "CSV separat per «,», UTF-8, columna 2; sense capçalera")},
        // Its one byte that is no UTF-8 comes after the first window.
        {"a_regular_file_is_checked_whole",
         "21001234515678901234\nMu\xF1oz\n",
         {},
         decoded(
             list("llista d'un compte per línia, Windows-1252 (l'entrada no és UTF-8 vàlid); sense "
                  "capçalera"),
             Encoding::windows1252, EncodingFrom::wholeInput),
         24,
         true},
        {"a_utf8_bom_tells_a_pipe_too",
         "\xEF\xBB\xBF"
         "21001234515678901234\nMu\xF1oz\n",
         {},
         decoded(list("llista d'un compte per línia, UTF-8 amb BOM; sense capçalera"),
                 Encoding::utf8, EncodingFrom::bom, true)},
        {"windows_1252_given_wins_over_a_utf8_bom_and_is_not_explained",
         "\xEF\xBB\xBF"
         "21001234515678901234\n",
         with([](Options& o) { o.encoding = Encoding::windows1252; }),
         decoded(list("llista d'un compte per línia, Windows-1252 amb BOM; sense capçalera"),
                 Encoding::windows1252, EncodingFrom::option, true),
         std::size_t(1) << 20, true},
        // Both whole byte order marks: dades/text-unicode.txt and utf16be.csv.
        {"half_a_utf16_bom_is_none",
         "\xFF"
         "9999",
         {},
         decoded(
             list("llista d'un compte per línia, Windows-1252 (l'entrada no és UTF-8 vàlid); sense "
                  "capçalera"),
             Encoding::windows1252, EncodingFrom::window)},
        {"a_character_cut_at_the_window_edge_is_still_utf8", "Mart\xC3\xAD\n",
         with([](Options& o) { o.format = Format::list; }),
         list("llista d'un compte per línia, UTF-8; sense capçalera"), 5},
        {"a_list_given_with_a_header_told", "Comptes\n21001234515678901234\n", with([](Options& o) {
             o.format = Format::list;
             o.header = HeaderMode::yes;
         }),
         list("llista d'un compte per línia, UTF-8; la primera fila és la capçalera: «Comptes»",
              true)},
    };
    for (const auto& c : rows) {
        const auto fields = [](const Layout& l) {
            return std::tuple(l.description, l.format, l.separator, l.header, l.columns,
                              l.decoding.encoding, l.decoding.from, l.decoding.bom, l.lineEnd);
        };
        Layout settled;
        converted(c.input, c.options, c.window, c.input.size(), c.regular, &settled);
        EXPECT_EQ(fields(settled), fields(c.expected)) << c.name;
    }
}
