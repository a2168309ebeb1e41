#pragma once
// The check digits a country puts inside its own account numbers, as they stand in
// the BBAN (the IBAN without its first four characters), for the countries with one
// scheme for all their banks: Spain's CCC (validarCCC), Belgium's mod 97, the RIB
// key of France, Monaco and Djibouti, the CIN letter of Italy and San Marino, the
// whole BBAN mod 97 of Portugal, the Balkans, East Timor, Mauritania and Tunisia,
// Norway's and Iceland's mod 11, Finland's Luhn, the weighted mod 10 sums of
// Estonia, Poland, Hungary and Albania, Croatia's ISO 7064 MOD 11,10, and the Czech
// and Slovak mod 11 of prefix and number.
//
// Not checked, on purpose: the Netherlands (the old 11-test fails on real accounts
// from the former postal bank), and the countries where each bank has its own method
// (Germany's Bundesbank lists about 150, the UK's sort-code tables), which the
// program does not have, nor those with no national scheme at all.

#include "core/registre_iban.h"

#include <cstddef>
#include <span>
#include <string_view>

namespace mdlFuncions {

// Whether the check digits inside a BBAN agree. The BBAN has its country's length
// and registry structure: where the registry has digits, there are digits.
using ComprovacioNacional = bool (*)(std::u16string_view bban);

struct ControlNacional {
    std::u16string_view pais;
    std::size_t mida; // the BBAN's length the check is written for
    ComprovacioNacional comprovar;
};

// Every country checked, in code order.
extern const std::span<const ControlNacional> controlsNacionals;

// The national check of a row of the compiled-in registry (registreIBAN), or
// nullptr for a country without one.
ComprovacioNacional controlNacional(const PaisIBAN& pais);

} // namespace mdlFuncions
