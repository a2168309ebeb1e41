#pragma once
// One text checked as an account, as a list of accounts gets it: its status, in
// the words the list writes; the IBAN when it is right; the directory's entity for
// a right Spanish account; and for a Spanish account that fails its checks, the
// one-typo suggestion. Another country's IBAN is checked against the registry
// only (its national check digits are not known here) and gets no entity and no
// suggestion, as the directory is Spanish. Allocates nothing; never throws.

#include "core/compte.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/suggeriment.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mdlFuncions {

enum class Estat : std::uint8_t {
    correcte,                 // a Spanish account whose control digits (and IBAN check
                              // digits, when given) agree, of a listed entity
    entitatDesconeguda,       // the same, but the directory does not list its entity
    digitsControlIncorrectes, // 20 digits whose domestic control digits do not agree
    digitsIBANIncorrectes,    // an IBAN, Spanish or not, whose check digits do not match
    totZeros,                 // 20 zeros: the control digits agree, but no bank issues it
    estrangerCorrecte,        // another registry country's IBAN: length, structure, digits
    estrangerMalFormat,       // a registry country's code, but the wrong length or structure
    noCompte,                 // anything else, an unknown country included
    notacioCientifica,        // a number a spreadsheet wrote in scientific notation:
                              // the digits it lost are gone (nombreCientific)
    senseCompte,              // nothing but blanks
    // A row of a list that could not be read as one; no text's check gives these.
    cometesSenseTancar, // a quote that never closes
    faltenColumnes,     // too short to reach the account's column
    massaLlarga,        // longer than the reader holds
};
inline constexpr std::size_t nombreEstats = static_cast<std::size_t>(Estat::massaLlarga) + 1;

// The status as a list writes it, in Catalan.
constexpr std::u16string_view textEstat(Estat e) {
    switch (e) {
    case Estat::correcte:
        return u"correcte";
    case Estat::entitatDesconeguda:
        return u"correcte, entitat desconeguda";
    case Estat::digitsControlIncorrectes:
        return u"dígits de control incorrectes";
    case Estat::digitsIBANIncorrectes:
        return u"dígits de l'IBAN incorrectes";
    case Estat::totZeros:
        return u"compte tot zeros";
    case Estat::estrangerCorrecte:
        return u"IBAN estranger correcte";
    case Estat::estrangerMalFormat:
        return u"IBAN estranger mal format";
    case Estat::noCompte:
        return u"no és un compte";
    case Estat::notacioCientifica:
        return u"nombre en notació científica: xifres perdudes";
    case Estat::senseCompte:
        return u"sense compte";
    case Estat::cometesSenseTancar:
        return u"fila il·legible: cometes sense tancar";
    case Estat::faltenColumnes:
        return u"fila il·legible: falten columnes";
    case Estat::massaLlarga:
        return u"fila il·legible: massa llarga";
    }
    return {};
}

// Whether the status is that of a right account.
constexpr bool esCorrecte(Estat e) {
    return e == Estat::correcte || e == Estat::entitatDesconeguda || e == Estat::estrangerCorrecte;
}

// What a check found; kept by a caller that checks many texts and filled anew by
// each check. Its characters are read only up to mida, and are not cleared when
// it is made, nor copied: a check writes what it gives.
struct Comprovacio {
    Estat estat = Estat::senseCompte;
    std::array<char16_t, midaMaximaIBAN> caracters;
    std::uint8_t mida = 0;
    const Entitat* entitat = nullptr; // a right Spanish account's, when listed
    Suggeriment suggeriment;          // a failing Spanish account's

    Comprovacio() = default;
    Comprovacio(const Comprovacio&) = delete;
    Comprovacio& operator=(const Comprovacio&) = delete;

    // The IBAN in electronic form, for a right account only; else empty.
    std::u16string_view iban() const { return {caracters.data(), mida}; }
};

// A text holding one account in any form a person writes it (llegirCompteOIBAN).
// Written into c, which a caller checking many texts keeps from one to the next.
void comprovarCompte(std::u16string_view text, Comprovacio& c);

// The same for a text of bytes, of which only ASCII is read: a text with another
// byte is noCompte, so that a caller holding other characters decodes them first
// and one holding ASCII, as nearly every cell of a list is, skips decoding.
void comprovarCompte(std::string_view ascii, Comprovacio& c);

// The same for a UTF-8 text, decoded as it is read: one that is not well-formed
// UTF-8 is noCompte. No byte past the text is read, however long it is. Without
// suggerir, a failing account gets no suggestion, which is most of its cost.
void comprovarCompte(text::Utf8 utf8, Comprovacio& c, bool suggerir = true);

// Which part of a UTF-8 text is wrong when it is not a right account (cap when it
// is): digits for failing control or check digits, component for the all-zero account
// and an unknown country, llargada for an empty text and an IBAN of the wrong length,
// and the reader's verdict (defecteLectura) for any other text that is no account.
Defecte defecteCompte(text::Utf8 utf8);

// An account written in four fields, entity, office, control digits and account:
// each, once its blanks are taken off and full-width digits read as digits, must
// be exactly its field's digits. All four empty is senseCompte.
void comprovarCamps(const std::array<std::u16string_view, 4>& camps, Comprovacio& c);

} // namespace mdlFuncions
