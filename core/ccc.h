#pragma once
// Spanish domestic account number (CCC): EEEE OOOO DD NNNNNNNNNN, that is entity,
// office, two control digits and account, 20 characters in all. The first control
// digit guards entity and office, the second the account; both are weighted sums
// modulo 11. Characters that are not digits are not rejected: they weigh 0.

#include <array>
#include <cstddef>
#include <string_view>

namespace mdlFuncions {

// Where one field of the 20 digits stands; every reader and writer of an account
// takes the layout from here.
struct Camp {
    std::size_t inici;
    std::size_t mida;

    // This field's characters of a 20-character account.
    constexpr std::u16string_view de(std::u16string_view compte) const {
        return compte.substr(inici, mida);
    }
};

inline constexpr Camp campEntitat{0, 4};
inline constexpr Camp campOficina{4, 4};
inline constexpr Camp campControl{8, 2};
inline constexpr Camp campCompte{10, 10};
inline constexpr std::array<Camp, 4> campsCCC{campEntitat, campOficina, campControl, campCompte};
inline constexpr std::size_t digitsCCC = 20;

// True when both control digits agree with the other eighteen; false for any
// length but 20 and for the all-zero number, whose digits would otherwise agree.
bool validarCCC(std::u16string_view compte);

} // namespace mdlFuncions
