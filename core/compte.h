#pragma once
// A whole account as people write it down: the 20 digits EEEE OOOO DD NNNNNNNNNN
// (entity, office, control digits, account) on their own, or inside a Spanish
// IBAN, ES + two check digits + the 20 digits, or another country's IBAN,
// electronic or on paper. Reading only splits the text; the control digits and the
// IBAN check digits are left for the caller to test (validarCCC, validarIBAN).

#include "core/iban.h"
#include "core/text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mdlFuncions {

// The paper form of an IBAN: groups of four characters separated by one blank
// ("ES0321001234515678901234" -> "ES03 2100 1234 5156 7890 1234"); any length.
std::u16string formatPaper(std::u16string_view iban);
// The same written at out, in any character type (an IBAN's characters are ASCII in
// all of them), for a caller writing many; out has room for midaPaper(iban.size())
// characters. Returns how many it wrote.
constexpr std::size_t midaPaper(std::size_t mida) {
    return mida == 0 ? 0 : mida + (mida - 1) / 4;
}
template <class Char, class Out = Char>
std::size_t formatPaper(std::basic_string_view<Char> iban, Out* out) {
    std::size_t i = 0, k = 0;
    // Each group of four that more characters follow, with its blank; then the last.
    for (; i + 4 < iban.size(); i += 4, k += 5) {
        for (std::size_t j = 0; j < 4; ++j)
            out[k + j] = static_cast<Out>(iban[i + j]);
        out[k + 4] = Out(' ');
    }
    for (; i < iban.size(); ++i)
        out[k++] = static_cast<Out>(iban[i]);
    return k;
}

// Why a text is no account, in the terms validators give their errors: the wrong
// number of characters, a character out of place, or a part that names nothing.
enum class Defecte : std::uint8_t {
    cap,       // a right account
    llargada,  // too few or too many characters: 19 digits, an IBAN of the wrong length
    format,    // a character out of place: a letter inside an account, a stray sign
    digits,    // control digits, the IBAN's or the national ones, that do not agree
    component, // a part that names nothing: an unknown country, the all-zero account
};

// A text read as a whole account of any country. The characters kept stay in the
// object: reading allocates nothing.
struct Lectura {
    enum class Tipus {
        res,           // not one whole account
        compte,        // the 20 digits of a domestic account on their own
        ibanEspanyol,  // "ES", two check digits and the 20 digits of a domestic account
        ibanEstranger, // a registry country's code, two digits, then up to 30 capitals
                       // or digits: its length and structure are for validarIBAN
    };
    Tipus tipus = Tipus::res;
    // For res, why: llargada for a text made only of what an account holds (digits,
    // or a country and digits) in the wrong number, component for a country code the
    // registry does not list before two check digits, format otherwise.
    Defecte defecte = Defecte::format;
    // What the reader kept, a leading "IBAN" included, and one place more to tell
    // that there was one character too many; text() starts past the "IBAN".
    std::array<char16_t, 4 + midaMaximaIBAN + 1> caracters{};
    std::uint8_t inici = 0, fi = 0;

    // The 20 digits (compte) or the IBAN in electronic form, upper case; empty for res.
    std::u16string_view text() const {
        return {caracters.data() + inici, static_cast<std::size_t>(fi - inici)};
    }
    // The 20 digits of a domestic account, bare or in its IBAN; else empty.
    std::u16string_view ccc() const {
        return tipus == Tipus::compte         ? text()
               : tipus == Tipus::ibanEspanyol ? text().substr(prefixIBAN)
                                              : std::u16string_view{};
    }
    // The check digits a Spanish IBAN carried; else empty.
    std::u16string_view digitsIBAN() const {
        return tipus == Tipus::ibanEspanyol ? text().substr(2, 2) : std::u16string_view{};
    }
};

// A pasted text or a cell read as a whole account: full-width forms (U+FF01..U+FF5E)
// read as their ASCII characters; blanks (text::isBlank: space, tab, no-break, thin
// and the other Unicode spaces), hyphens and their look-alikes (text::isHyphen) and
// dots dropped; an optional leading "IBAN" in any case taken off, with a colon after
// it or not ("IBAN: ES91..."); a spreadsheet's marks of a number kept as text, an
// apostrophe before it ('2100...) or an equals sign and quotes around it
// (="2100..."), taken off too. Then 20 digits, a domestic account; "ES" in any
// case and 22 digits, a Spanish IBAN; or another registry country's code, two
// digits, then letters and digits, 5 to 34 characters in all, upper-cased. Anything else (19 or 21
// digits, an unknown country, "ES" with anything but 22 digits, letters inside an account, two
// accounts in one text, line ends, digits of other scripts...) is res. Never throws.
Lectura llegirCompteOIBAN(std::u16string_view text);

// The same for a text of bytes, of which only ASCII is read: a byte above 0x7F
// makes it res, so that a caller holding other characters decodes them first and
// one holding ASCII, as nearly every cell of a list is, skips decoding.
Lectura llegirCompteOIBAN(std::string_view ascii);

// The same for a UTF-8 text, decoded as it is read: a byte that is not well-formed
// UTF-8 makes it res, as any character outside the Basic Multilingual Plane does.
Lectura llegirCompteOIBAN(text::Utf8 utf8);

// Whether the text is a number as a spreadsheet writes one in scientific notation
// when it read an account's digits as a number: blanks around it aside, a digit
// from 1 to 9; a decimal mark ('.' or ',') and more digits, or none; 'E' or 'e'; an
// optional '+'; an exponent of up to three digits from 16 to 19 (a number of 17
// to 20 digits, as an account is with the leading zeros of its entity lost); and
// fewer digits before the exponent than the number has, the rest lost for good
// ("2,10004E+19", "4.9e+017"). Anything else ("1E5", "-2,1E+19", "21,1E+18") is not.
bool nombreCientific(std::u16string_view text);
bool nombreCientific(std::string_view ascii);
bool nombreCientific(text::Utf8 utf8);

} // namespace mdlFuncions
