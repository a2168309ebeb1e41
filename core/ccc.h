#pragma once
// Spanish domestic account number (CCC): EEEE OOOO DD NNNNNNNNNN, that is entity,
// office, two control digits and account, 20 characters in all. The first control
// digit guards entity and office, the second the account; both are weighted sums
// modulo 11. What is checked: the length, the all-zero number and the two digits.
// What is not: the characters; anything but a digit simply weighs 0.

#include "core/text.h"

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

namespace ccc {

constexpr int valorDigit(char16_t c) {
    return text::isDigit(c) ? c - u'0' : 0;
}

// The control digit a block should have.
template <std::size_t N>
constexpr int digitDelBloc(std::u16string_view bloc, const std::array<int, N>& pesos) {
    int suma = 0;
    for (std::size_t i = 0; i < N; ++i)
        suma += valorDigit(bloc[i]) * pesos[i];
    return digitControl(suma);
}

} // namespace ccc

// True when both control digits agree with the other eighteen; false for any
// length but 20 and for the all-zero number, whose digits would otherwise agree.
// In the header, so that every caller has it inlined: a list checks it every row.
constexpr bool validarCCC(std::u16string_view compte) {
    using ccc::digitDelBloc, ccc::valorDigit;
    constexpr std::u16string_view zeros = u"00000000000000000000";
    static_assert(zeros.size() == digitsCCC);
    if (compte.size() != digitsCCC)
        return false;
    const auto control = campControl.de(compte);
    // The all-zero account's computed digits are 0 too, so it would pass: it is
    // told apart once the digits agree.
    return valorDigit(control[0]) ==
               digitDelBloc(compte.substr(0, campOficina.inici + campOficina.mida),
                            pesosEntitatOficina) &&
           valorDigit(control[1]) == digitDelBloc(campCompte.de(compte), pesosCompte) &&
           compte != zeros;
}

// The entity code's value of an account whose entity field holds ASCII digits.
template <class Char> constexpr int codiEntitat(std::basic_string_view<Char> compte) {
    int valor = 0;
    for (std::size_t i = campEntitat.inici; i < campEntitat.inici + campEntitat.mida; ++i)
        valor = valor * 10 + (compte[i] - Char('0'));
    return valor;
}

} // namespace mdlFuncions
