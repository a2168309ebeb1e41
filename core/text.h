#pragma once
// The string and number routines the windows and the directory share, with the
// rules of the forms runtime the program was designed on: only U+0020 is trimmed,
// a text is read as its leading decimal number, and a floating value becomes an
// integer by rounding half to even, with an overflow the caller can see instead
// of an exception. Beside them, the digit and blank tests every reader of an
// account (window, paste, list converter) shares.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// An ASCII digit: the only digits an account is made of once it is read.
constexpr bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// True when the text is nothing but ASCII digits (also when it is empty). A text
// of bytes, as a cell of a list is in either of its encodings, is read as ASCII:
// a byte past it is neither a digit nor a blank.
bool allDigits(std::u16string_view s);
bool allDigits(std::string_view ascii);

// A blank a person, a spreadsheet or a PDF puts around or between an account's
// groups: space, tab, and every other Unicode space (no-break U+00A0, thin U+2009,
// narrow no-break U+202F, figure U+2007, ideographic U+3000...), and the invisible
// ones a copied text carries (zero-width space U+200B, word joiner U+2060, U+FEFF).
// Line ends are not blanks: a text over two lines is not one account.
constexpr bool isBlank(char16_t c) {
    if (c < 0x80)
        return c == u' ' || c == u'\t';
    return c == u'\u00A0' || c == u'\u1680' || (c >= u'\u2000' && c <= u'\u200B') ||
           c == u'\u202F' || c == u'\u205F' || c == u'\u2060' || c == u'\u3000' || c == u'\uFEFF';
}

// True when the text is nothing but blanks (also when it is empty).
bool allBlank(std::u16string_view s);
bool allBlank(std::string_view ascii);

// A hyphen or one of its look-alikes: hyphen-minus, soft hyphen U+00AD, the dashes
// U+2010 to U+2015 (non-breaking hyphen U+2011, figure dash U+2012, en dash U+2013,
// em dash U+2014...), minus sign U+2212, and their small and full-width forms.
constexpr bool isHyphen(char16_t c) {
    if (c < 0x80)
        return c == u'-';
    return c == u'\u00AD' || (c >= u'\u2010' && c <= u'\u2015') || c == u'\u2212' ||
           c == u'\uFE58' || c == u'\uFE63' || c == u'\uFF0D';
}

// The ASCII character a full-width form (U+FF01 to U+FF5E) stands for, so that
// "\uFF12\uFF11" is "21" and "\uFF25\uFF33" is "ES"; any other character unchanged.
constexpr char16_t fromFullWidth(char16_t c) {
    return c >= u'\uFF01' && c <= u'\uFF5E' ? static_cast<char16_t>(c - 0xFEE0) : c;
}

// The text without the blanks (isBlank) at either end.
std::u16string_view trimBlanks(std::u16string_view s);

// The text without its leading and trailing U+0020; tabs and other blanks stay.
std::u16string_view trim(std::u16string_view s);

// The leading decimal number of a text: blanks (space, tab, line feed, carriage
// return) are skipped wherever they stand; an optional sign, digits, an optional
// decimal point with digits and an optional exponent (E or D, with optional sign)
// are read; reading stops at the first other character. 0 when there is no number.
// Never throws; a value too large for a double is +/-infinity.
double leadingNumber(std::u16string_view s);

// Rounds to the nearest integer, halves to even. std::nullopt when the rounded
// value does not fit (the runtime's overflow), also for NaN and infinities.
std::optional<std::int16_t> toInt16(double v);
std::optional<std::int32_t> toInt32(double v);

} // namespace text
