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

// The weights of the two sums, powers of 2 modulo 11: entity and office read as if
// preceded by two zeros, then the account.
inline constexpr std::array<int, 8> pesosEntitatOficina{4, 8, 5, 10, 9, 7, 3, 6};
inline constexpr std::array<int, 10> pesosCompte{1, 2, 4, 8, 5, 10, 9, 7, 3, 6};
static_assert(pesosEntitatOficina.size() == campEntitat.mida + campOficina.mida);
static_assert(pesosCompte.size() == campCompte.mida);

// The control digit a weighted sum (0 or more) gives: 11 minus the remainder modulo
// 11, except that remainder 0 gives 0 and remainder 1 gives 1, the same digit as 10.
constexpr int digitControl(int suma) {
    const int d = 11 - suma % 11;
    return d == 11 ? 0 : (d == 10 ? 1 : d);
}

// True when both control digits agree with the other eighteen; false for any
// length but 20 and for the all-zero number, whose digits would otherwise agree.
bool validarCCC(std::u16string_view compte);

// The entity code's value of an account whose entity field holds ASCII digits.
template <class Char> constexpr int codiEntitat(std::basic_string_view<Char> compte) {
    int valor = 0;
    for (std::size_t i = campEntitat.inici; i < campEntitat.inici + campEntitat.mida; ++i)
        valor = valor * 10 + (compte[i] - Char('0'));
    return valor;
}

} // namespace mdlFuncions
