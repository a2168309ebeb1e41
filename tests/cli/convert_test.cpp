#include "cli/convert.h"
#include "tests/cli/pieces.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using namespace cli;

namespace {

std::string converted(std::string_view input, const Options& options, std::size_t window,
                      std::size_t piece) {
    Pieces source(input, piece);
    Collect sink;
    Reporter reporter;
    reporter.note = [](std::uint64_t, std::string_view) {};
    Limits limits;
    limits.window = window;
    convert(source, sink, options, reporter, limits);
    return sink.out;
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
