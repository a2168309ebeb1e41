#pragma once
// The directory of Spanish credit institutions: BIC and registered name by the
// 4-digit entity code. Compiled in, with an index from every code to its row made
// while compiling: cercarEntitat answers at once, before and after anything is
// filled. The tables taulaBIC and taulaNoms are the window's: empty until
// carregarEntitats fills them, then only read, indexed by the code's value.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace mdlFuncions {

// Entity codes are four digits: values 0 to nombreCodis - 1.
inline constexpr int nombreCodis = 10000;

struct Entitat {
    int codi; // its value, 0 to nombreCodis - 1
    std::u16string_view bic;
    std::u16string_view nom;
    // The same in UTF-8, each with a NUL after it, for callers that write UTF-8.
    std::string_view bicUTF8;
    std::string_view nomUTF8;
};

// The directory's edition, as its data file's edition line names it ("registre de
// 2012"): UTF-8, with a NUL after it. Entities merged since are still listed.
std::string_view edicioDirectori();

// Every entity of the directory, in ascending code order.
std::span<const Entitat> entitatsDirectori();

// The directory's entity for a code's value; nullptr for a code it does not list,
// and for a value that is no code.
const Entitat* cercarEntitat(int codi);

// One slot more than there are codes, never used: the tables are declared so.
inline constexpr int midaTaula = nombreCodis + 1;
using Taula = std::array<std::u16string, midaTaula>;

// Read-only outside carregarEntitats.
extern const Taula& taulaBIC;
extern const Taula& taulaNoms;

// Empties every code's slot of both tables and stores the listed entities.
void carregarEntitats();

// The BIC for an entity code text: only a 4-character text whose value is a code.
std::u16string obtenirBIC(std::u16string_view codi);

// The registered name for an entity code text of any length whose value is a code
// from 1, so that a code being typed already shows the entity its digits name.
std::u16string obtenirNom(std::u16string_view codi);

} // namespace mdlFuncions
