#pragma once
// The counts of a run and the summary brelvoxa writes of them on stderr at its end,
// in Catalan, its nouns and adjectives agreeing with each count ("1 fila llegida",
// "2 files llegides").

#include "cli/account.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cli {

struct Summary {
    std::uint64_t rows = 0;   // rows that were to hold an account, header and blanks aside
    std::uint64_t blank = 0;  // blank lines, written back blank
    std::uint64_t titles = 0; // title lines above a header, written back as they are
    std::array<std::uint64_t, statusCount> byStatus{};

    std::uint64_t correct() const;
    void add(const Summary& other);
};

// The lines of the summary, without the program's name in front.
std::vector<std::string> summaryLines(const Summary& s);

} // namespace cli
