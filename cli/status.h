#pragma once
// The statuses a row gets: the account check's (mdlFuncions::Estat, whose values
// they keep), and after them those of a row that could not be read as one. Header
// only: libbrelvoxa names the same statuses.

#include "core/comprovacio.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cli {

// A check's status is its own value (status); the three below come after them all.
enum class Status : std::uint8_t {
    unclosedQuote = mdlFuncions::nombreEstats, // a quote that never closes
    missingColumns,                            // too short to reach the account's column
    tooLong,                                   // longer than the reader holds
};
inline constexpr std::size_t statusCount = static_cast<std::size_t>(Status::tooLong) + 1;

constexpr Status status(mdlFuncions::Estat e) {
    return static_cast<Status>(e);
}

// The statuses of a row that could not be read as one, which stderr names too.
constexpr bool unreadable(Status s) {
    return s >= Status::unclosedQuote;
}

inline constexpr std::array<std::u16string_view, 3> unreadableTexts{
    u"fila il·legible: cometes sense tancar", u"fila il·legible: falten columnes",
    u"fila il·legible: massa llarga"};
static_assert(mdlFuncions::nombreEstats + unreadableTexts.size() == statusCount);

// The status as brelvoxa writes it, in Catalan.
constexpr std::u16string_view statusText16(Status s) {
    return unreadable(s) ? unreadableTexts[static_cast<std::size_t>(s) - mdlFuncions::nombreEstats]
                         : mdlFuncions::textEstat(static_cast<mdlFuncions::Estat>(s));
}

// Whether the row held a right account.
constexpr bool correct(Status s) {
    return !unreadable(s) && mdlFuncions::esCorrecte(static_cast<mdlFuncions::Estat>(s));
}

} // namespace cli
