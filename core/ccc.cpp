// Spanish domestic account number (CCC): EEEE OOOO DD NNNNNNNNNN, entity, office,
// two control digits, account. Each control digit is 11 minus a weighted sum modulo
// 11 (10 becomes 1, 11 becomes 0); the weights are the powers of 2 modulo 11. The
// first digit covers entity and office, read as if preceded by two zeros, the
// second the account. What is checked: the length, the all-zero number and the two
// digits. What is not: the characters; anything but a digit simply weighs 0.

#include "core/ccc.h"

#include "core/text.h"

#include <array>

namespace mdlFuncions {

namespace {

int valorDigit(char16_t c) {
    return text::isDigit(c) ? c - u'0' : 0;
}

// The control digit a block should have.
template <std::size_t N>
int digitDelBloc(std::u16string_view bloc, const std::array<int, N>& pesos) {
    int suma = 0;
    for (std::size_t i = 0; i < N; ++i)
        suma += valorDigit(bloc[i]) * pesos[i];
    return digitControl(suma);
}

} // namespace

bool validarCCC(std::u16string_view compte) {
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

} // namespace mdlFuncions
