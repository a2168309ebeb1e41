#pragma once
// Spanish domestic account number (CCC): EEEE OOOO DD NNNNNNNNNN, that is entity,
// office, two control digits and account, 20 characters in all. The first control
// digit guards entity and office, the second the account; both are weighted sums
// modulo 11. Characters that are not digits are not rejected: they weigh 0.

#include <string_view>

namespace mdlFuncions {

// True when both control digits agree with the other eighteen; false for any
// length but 20 and for the all-zero number, whose digits would otherwise agree.
bool validarCCC(std::u16string_view compte);

} // namespace mdlFuncions
