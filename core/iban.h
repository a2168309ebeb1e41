#pragma once
// IBANs (ISO 13616): the check digits (MOD 97-10 of ISO 7064) for a domestic
// account number and a country code, where nothing is validated and any text gives
// two digits; and the check of a whole IBAN of any country in the registry
// (core/registre_iban.h): its length, its BBAN structure, its check digits and,
// for the countries that have one scheme for all their banks, the check digits
// inside its BBAN (core/control_nacional.h, Spain's CCC among them).

#include <cstddef>
#include <string>
#include <string_view>

namespace mdlFuncions {

// The country code and the two check digits that come before the account.
inline constexpr std::size_t prefixIBAN = 4;
// The country code of a Spanish IBAN.
inline constexpr std::u16string_view paisEspanya = u"ES";
// No country's IBAN is longer.
inline constexpr std::size_t midaMaximaIBAN = 34;

// What the check of a whole IBAN found.
enum class ValidesaIBAN {
    valid,             // a registry country, its length and structure, every check digit agrees
    paisDesconegut,    // the first two characters are not a registry country's code
    llargada,          // a registry country, but the wrong length
    malFormat,         // a registry country and its length, but a character out of place
    digitsIncorrectes, // well formed, but MOD 97-10 fails, or the digits are 00, 01 or 99
    digitsNacionals,   // MOD 97-10 right, but the country's own check digits are not
};

// Checks an IBAN in electronic form, upper case, as the caller normalised it
// (llegirCompteOIBAN does): country, length, structure (n digits, a capitals, c
// capitals or digits), the check digits, 02 to 98, and the national check digits
// where the country has them. Never throws.
ValidesaIBAN validarIBAN(std::u16string_view iban);

// Two digits, "02" to "98": 98 minus the account, country and "00", read as one
// number, modulo 97.
std::u16string calcularDigitsIBAN(std::u16string_view compte, std::u16string_view pais);

} // namespace mdlFuncions
