#pragma once
// IBAN check digits (ISO 13616, MOD 97-10 of ISO 7064) for a domestic account
// number and a country code. Nothing is validated: any text gives two digits.

#include <cstddef>
#include <string>
#include <string_view>

namespace mdlFuncions {

// The country code and the two check digits that come before the account.
inline constexpr std::size_t prefixIBAN = 4;

// The text as digits: letters (either case) become 10..35, digits stay, the rest
// is dropped.
std::u16string convertirLletres(std::u16string_view text);

// Two digits, "02" to "98": 98 minus the account, country and "00", read as one
// number, modulo 97.
std::u16string calcularDigitsIBAN(std::u16string_view compte, std::u16string_view pais);

} // namespace mdlFuncions
