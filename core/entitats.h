#pragma once
// The directory of Spanish credit institutions: BIC and registered name by the
// 4-digit entity code. Compiled in; filled once by carregarEntitats and only read
// after that. Both lookups index the tables by the code's value; they never search.

#include <array>
#include <string>
#include <string_view>

namespace mdlFuncions {

// Slots 0..10000, indexed by the code's value; slot 10000 is never used.
inline constexpr int midaTaula = 10001;
using Taula = std::array<std::u16string, midaTaula>;

// Read-only outside carregarEntitats.
extern const Taula& taulaBIC;
extern const Taula& taulaNoms;

// Empties slots 0..9999 of both tables and stores the 282 entities.
void carregarEntitats();

// The BIC for an entity code text: only a 4-character text whose value is 0..9999.
std::u16string obtenirBIC(std::u16string_view codi);

// The registered name for an entity code text of any length whose value is 1..9999,
// so that a code being typed already shows the entity its digits name.
std::u16string obtenirNom(std::u16string_view codi);

} // namespace mdlFuncions
