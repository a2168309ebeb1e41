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

constexpr std::array<int, 8> pesosEntitatOficina{4, 8, 5, 10, 9, 7, 3, 6};
constexpr std::array<int, 10> pesosCompte{1, 2, 4, 8, 5, 10, 9, 7, 3, 6};
static_assert(pesosEntitatOficina.size() == campEntitat.mida + campOficina.mida);
static_assert(pesosCompte.size() == campCompte.mida);

int valorDigit(char16_t c) {
    return text::isDigit(c) ? c - u'0' : 0;
}

// The control digit a block should have: 11 minus the remainder, except that
// remainder 0 gives 0 and remainder 1 gives 1, the same digit as remainder 10.
template <std::size_t N>
int digitControl(std::u16string_view bloc, const std::array<int, N>& pesos) {
    int suma = 0;
    for (std::size_t i = 0; i < N; ++i)
        suma += valorDigit(bloc[i]) * pesos[i];
    const int d = 11 - suma % 11;
    return d == 11 ? 0 : (d == 10 ? 1 : d);
}

} // namespace

bool validarCCC(std::u16string_view compte) {
    if (compte.size() != digitsCCC)
        return false;
    // All its computed digits are 0, so it would pass.
    if (compte == u"00000000000000000000")
        return false;
    const auto control = campControl.de(compte);
    return valorDigit(control[0]) ==
               digitControl(compte.substr(0, campOficina.inici + campOficina.mida),
                            pesosEntitatOficina) &&
           valorDigit(control[1]) == digitControl(campCompte.de(compte), pesosCompte);
}

} // namespace mdlFuncions
