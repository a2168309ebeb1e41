#pragma once
// The string and number routines the windows and the directory share, with the
// rules of the forms runtime the program was designed on: only U+0020 is trimmed,
// a text is read as its leading decimal number, and a floating value becomes an
// integer by rounding half to even, with an overflow the caller can see instead
// of an exception.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace text {

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

// An integer written with at least two digits ("05", "42", "123").
std::u16string twoDigits(int v);

} // namespace text
