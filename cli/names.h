#pragma once
// The names of a header's columns as brelvoxa compares them: the rule by which
// --columna finds a column and by which the added columns are named apart from
// the input's own.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Names of the added columns, for a header row, in UTF-8.
inline constexpr std::array<std::string_view, 6> addedHeader = {
    "IBAN", "IBAN en format paper", "BIC", "Entitat", "Estat", "Suggeriment"};

// A header's name as names are compared: blanks around it ignored, full-width
// forms read as ASCII and ASCII letters in either case, so that " iban " and
// "ＩＢＡＮ" are both "IBAN".
std::u16string headerKey(std::u16string_view name);

// The added columns' names for an input whose header row holds these cells: each
// name of addedHeader, or, where the header or an added name before it has it
// already (headerKey), that name followed by " 2", " 3"... the first that is free.
std::vector<std::u16string> addedNames(const std::vector<std::u16string>& header);

} // namespace cli
