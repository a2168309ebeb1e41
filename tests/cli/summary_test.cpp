#include "cli/summary.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace cli;

namespace {

Summary counts(std::uint64_t correct, std::uint64_t wrong, std::uint64_t blank) {
    Summary s;
    s.rows = correct + wrong;
    s.blank = blank;
    s.byStatus[static_cast<std::size_t>(Status::correcte)] = correct;
    s.byStatus[static_cast<std::size_t>(Status::noCompte)] = wrong;
    return s;
}

} // namespace

// Plural forms throughout: dades/esperat/llista.errors.
TEST(Summary, every_count_agrees_in_number_with_its_noun) {
    const std::tuple<const char*, Summary, std::vector<std::string>> rows[] = {
        {"one_right_row", counts(1, 0, 0), {"1 fila llegida: 1 correcta, 0 amb errors"}},
        {"one_wrong_row",
         counts(0, 1, 1),
         {"1 fila llegida: 0 correctes, 1 amb error", "  no és un compte: 1",
          "  1 línia en blanc"}},
        {"nothing_read", counts(0, 0, 0), {"0 files llegides: 0 correctes, 0 amb errors"}},
    };
    for (const auto& [name, summary, lines] : rows)
        EXPECT_EQ(summaryLines(summary), lines) << name;
}
