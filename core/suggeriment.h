#pragma once
// The account a person most likely meant when the one typed fails its checks. Most
// failures are one typo, so every one-typo neighbour of the input is tried:
// every single-digit substitution and every swap of two adjacent different digits,
// over the digits as an IBAN writes them (its two check digits, then the 20 of the
// account: 22 digits, the second check digit next to the entity's first) or, for a
// bare account, over its 20 digits. A neighbour counts when its control digits
// agree (validarCCC), its IBAN check digits agree with its account (only when an
// IBAN was given; a bare account's are computed) and its entity is in the
// directory. Only when exactly one counts is it suggested: one typo at most, and
// never certain, so it is for a person to read, never to apply unseen. Spanish
// accounts only: the directory and the control digits are Spain's.

#include "core/ccc.h"
#include "core/iban.h"

#include <array>
#include <string_view>

namespace mdlFuncions {

struct Suggeriment {
    // How many neighbours passed every check, counted up to 2: one suggestion
    // needs exactly one, so the search stops at the second.
    int candidats = 0;
    // Written only when there is one candidate, and read only then.
    std::array<char16_t, prefixIBAN + digitsCCC> caracters;

    // The one candidate as a Spanish IBAN, electronic; empty unless there is one.
    std::u16string_view iban() const {
        return candidats == 1 ? std::u16string_view(caracters.data(), caracters.size())
                              : std::u16string_view{};
    }
};

// ccc: the 20 ASCII digits read; digitsIBAN: the two check digits of the IBAN they
// came in, or empty for a bare account. An input that already passes its checks
// (control digits, and the IBAN's when given), or that is not 20 digits with none
// or two check digits, gets no candidates. A few microseconds at most; allocates
// nothing. Needs no filled directory: it reads the compiled-in rows. Written into s,
// which a caller checking many accounts keeps from one to the next.
void suggerirCompte(std::u16string_view ccc, std::u16string_view digitsIBAN, Suggeriment& s);
Suggeriment suggerirCompte(std::u16string_view ccc, std::u16string_view digitsIBAN);

} // namespace mdlFuncions
