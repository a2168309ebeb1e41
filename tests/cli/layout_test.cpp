#include "cli/convert.h"
#include "tests/cli/pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace cli;

namespace {

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

// The layout the conversion settles, read through the given window.
Layout settled(const Case& c) {
    Pieces source(c.input, c.input.size(), c.regular);
    Collect sink;
    Reporter reporter;
    reporter.note = [](std::uint64_t, std::string_view) {};
    Layout layout;
    reporter.settled = [&](const Layout& l) { layout = l; };
    Limits limits;
    limits.window = c.window;
    convert(source, sink, c.options, reporter, limits);
    return layout;
}

} // namespace

// The layouts and encodings the samples in dades/ leave out: each sample's is in
// its .errors.
TEST(Layout, settles_everything_about_an_input_from_its_first_window) {
    const Case rows[] = {
        {"a_list_led_by_blank_lines",
         "\n  \r\n21001234515678901234\n",
         {},
         list("llista d'un compte per línia, UTF-8")},
        {"a_header_with_a_year_and_a_column_given_by_number",
         "Compte 2024\tImport\n21001234515678901234\t3\n", with([](Options& o) { o.column = "1"; }),
         csv('\t', {0}, true,
             "CSV separat per tabulador, UTF-8, columna 1 «Compte 2024»; la primera fila és la "
             "capçalera")},
        {"four_parts_in_the_first_row_are_data",
         "Puig,0049,1500,01,0512345678\n",
         {},
         csv(',', {1, 2, 3, 4}, false,
             "CSV separat per «,», UTF-8, columnes 2, 3, 4, 5 (entitat, oficina, control, "
             "compte), triades pels seus valors; sense capçalera")},
        {"a_crlf_cut_at_the_window_edge_is_not_cr_alone",
         "21001234515678901234\r\n",
         {},
         list("llista d'un compte per línia, UTF-8"),
         21},
        {"column_by_name_in_another_case_makes_a_header", "nom;iban\nPuig;x\n",
         with([](Options& o) { o.column = "IBAN"; }),
         csv(';', {1}, true,
             "CSV separat per «;», UTF-8, columna 2 «iban»; la primera fila és la capçalera")},
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
         decoded(list("llista d'un compte per línia, Windows-1252 (l'entrada no és UTF-8 vàlid)"),
                 Encoding::windows1252, EncodingFrom::wholeInput),
         24,
         true},
        {"a_pipe_by_its_first_window",
         "21001234515678901234\nMu\xF1oz\n",
         {},
         list("llista d'un compte per línia, UTF-8"),
         24},
        {"a_utf8_bom_tells_a_pipe_too",
         "\xEF\xBB\xBF"
         "21001234515678901234\nMu\xF1oz\n",
         {},
         decoded(list("llista d'un compte per línia, UTF-8 amb BOM"), Encoding::utf8,
                 EncodingFrom::bom, true)},
        {"windows_1252_given_wins_over_a_utf8_bom_and_is_not_explained",
         "\xEF\xBB\xBF"
         "21001234515678901234\n",
         with([](Options& o) { o.encoding = Encoding::windows1252; }),
         decoded(list("llista d'un compte per línia, Windows-1252 amb BOM"), Encoding::windows1252,
                 EncodingFrom::option, true),
         std::size_t(1) << 20, true},
        // Both whole byte order marks: dades/text-unicode.txt and utf16be.csv.
        {"half_a_utf16_bom_is_none",
         "\xFF",
         {},
         decoded(list("llista d'un compte per línia, Windows-1252 (l'entrada no és UTF-8 vàlid)"),
                 Encoding::windows1252, EncodingFrom::window)},
        {"a_character_cut_at_the_window_edge_is_still_utf8", "Mart\xC3\xAD\n",
         with([](Options& o) { o.format = Format::list; }),
         list("llista d'un compte per línia, UTF-8"), 5},
        {"a_list_given_takes_no_header_unless_told", "Comptes\n21001234515678901234\n",
         with([](Options& o) {
             o.format = Format::list;
             o.header = HeaderMode::yes;
         }),
         list("llista d'un compte per línia, UTF-8", true)},
    };
    for (const auto& c : rows) {
        const auto fields = [](const Layout& l) {
            return std::tuple(l.description, l.format, l.separator, l.header, l.columns,
                              l.decoding.encoding, l.decoding.from, l.decoding.bom, l.lineEnd);
        };
        EXPECT_EQ(fields(settled(c)), fields(c.expected)) << c.name;
    }
}

// The caller names the file: the layout knows only the window.
TEST(Layout, a_header_alone_holding_no_account_is_a_failure_naming_no_file) {
    try {
        settleLayout("Nom;IBAN\n", true, {}, {});
        ADD_FAILURE() << "settled";
    } catch (const Failure& f) {
        EXPECT_STREQ(f.what(), "no s'ha trobat cap columna amb comptes; indiqueu-la amb --columna "
                               "o --quatre-columnes");
        EXPECT_EQ(f.file, "");
    }
}
