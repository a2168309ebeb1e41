#pragma once
// A whole domestic account as people write it down: the 20 digits EEEE OOOO DD
// NNNNNNNNNN (entity, office, control digits, account) on their own, or inside a
// Spanish IBAN, ES + two check digits + the 20 digits, electronic or on paper.
// Reading only splits the text; the control digits and the IBAN check digits are
// left for the caller to test.

#include <optional>
#include <string>
#include <string_view>

namespace mdlFuncions {

// The paper form of an IBAN: groups of four characters separated by one blank
// ("ES0321001234515678901234" -> "ES03 2100 1234 5156 7890 1234"); any length.
std::u16string formatPaper(std::u16string_view iban);

struct CompteLlegit {
    std::u16string ccc;        // the 20 digits: entity, office, control digits, account
    std::u16string digitsIBAN; // the two check digits the text carried; empty for a bare account
};

// A pasted text read as a whole domestic account: full-width forms (U+FF01..U+FF5E)
// read as their ASCII characters; blanks (text::isBlank: space, tab, no-break, thin,
// narrow no-break, figure and the other Unicode spaces), hyphens and their look-alikes
// (text::isHyphen: en dash, non-breaking hyphen, minus...) and dots dropped; an
// optional leading "IBAN" in any case taken off: then exactly 20 digits, or "ES" in
// any case followed by 22 digits. Anything else (19/21 digits, "FR"+22 digits,
// letters inside, two IBANs in one text, a lone "IBAN", line ends, digits of other
// scripts...) gives std::nullopt. Never throws.
std::optional<CompteLlegit> llegirCompte(std::u16string_view text);

} // namespace mdlFuncions
