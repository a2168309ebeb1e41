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
// never certain, so it is for a person to read, never to apply unseen.
//
// Another country's IBAN gets the same search (suggerirIBAN) over its digits, the
// check digits included (its letters are never changed), when the country has
// national check digits (core/control_nacional.h): a neighbour counts when its
// check digits are 02 to 98 and agree, and its national check digits agree. Without
// them, MOD 97-10 alone leaves too many neighbours for one to mean anything.

#include "core/ccc.h"
#include "core/iban.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace mdlFuncions {

struct Suggeriment {
    // How many neighbours passed every check, counted up to 2: one suggestion
    // needs exactly one, so the search stops at the second.
    int candidats = 0;
    // Written only when there is one candidate, and read only then.
    std::array<char16_t, midaMaximaIBAN> caracters;
    std::uint8_t mida = 0;

    // The one candidate as an IBAN, electronic; empty unless there is one.
    std::u16string_view iban() const {
        return candidats == 1 ? std::u16string_view(caracters.data(), mida) : std::u16string_view{};
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

// iban: another country's IBAN in electronic form, upper case. Only one of a country
// with national check digits whose length and structure are right and whose check
// digits, IBAN or national, fail gets candidates. A right IBAN with wrong national
// digits never has any: one digit changed, or two swapped, always moves MOD 97-10.
void suggerirIBAN(std::u16string_view iban, Suggeriment& s);

} // namespace mdlFuncions
