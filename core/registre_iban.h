#pragma once
// The IBAN registry's country table as compiled in, one row per country in
// ascending code order, generated at build time from core/iban_registre.tsv.

#include <span>
#include <string_view>

namespace mdlFuncions {

struct PaisIBAN {
    std::u16string_view pais; // the two capitals the IBAN opens with
    int llargada;             // the whole IBAN's length, 15 to 34
    std::string_view bban;    // one letter per BBAN character: n digit, a letter, c either
    std::string_view format;  // the same as the registry writes it, "4!n4!n1!n1!n10!n"
};

extern const std::span<const PaisIBAN> registreIBAN;

// The registry's release the rows follow, as the data file's edition line names it
// ("release 100"): UTF-8, with a NUL after it.
std::string_view edicioRegistre();

// The registry's row for a country code (upper case), or nullptr.
const PaisIBAN* cercarPaisIBAN(std::u16string_view pais);

} // namespace mdlFuncions
