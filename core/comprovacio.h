#pragma once
// One text checked as an account, as a list of accounts gets it: its status, in
// the words the list writes, and why it is no right account, in the terms
// validators give their errors; the IBAN when it is right; the directory's entity
// for a right Spanish account; and for an account that fails its checks, the
// one-typo suggestion. Another country's IBAN is checked against the registry and,
// where the country has them, its national check digits; it gets no entity, as the
// directory is Spanish, and a suggestion only from a country with national check
// digits, which narrow the candidates enough. Allocates nothing; never throws.

#include "core/compte.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/suggeriment.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mdlFuncions {

// What the check of one text gives, in the order lists, help and summaries name them:
// the right accounts first.
enum class Estat : std::uint8_t {
    correcte,                   // a Spanish account whose control digits (and IBAN check
                                // digits, when given) agree, of a listed entity
    entitatDesconeguda,         // the same, but the directory does not list its entity
    estrangerCorrecte,          // another registry country's IBAN: length, structure,
                                // check digits, and its national ones where it has them
    digitsControlIncorrectes,   // 20 digits whose domestic control digits do not agree
    digitsIBANIncorrectes,      // an IBAN, Spanish or not, whose check digits do not match
    digitsNacionalsIncorrectes, // another country's IBAN, right but for the check digits
                                // of its own account number (core/control_nacional.h)
    estrangerMalFormat,         // a registry country's code, but the wrong length or structure
    totZeros,                   // 20 zeros: the control digits agree, but no bank issues it
    noCompte,                   // anything else, an unknown country included
    notacioCientifica,          // a number a spreadsheet wrote in scientific notation:
                                // the digits it lost are gone (nombreCientific)
    senseCompte,                // nothing but blanks
};

// Each status's text as a list writes it, in Catalan, and whether it is a right
// account's: the one place either is said.
struct DescripcioEstat {
    Estat estat;
    std::u16string_view text;
    bool correcte;
};
inline constexpr std::array<DescripcioEstat, 11> estats{{
    {Estat::correcte, u"correcte", true},
    {Estat::entitatDesconeguda, u"correcte, entitat desconeguda", true},
    {Estat::estrangerCorrecte, u"IBAN estranger correcte", true},
    {Estat::digitsControlIncorrectes, u"dígits de control incorrectes", false},
    {Estat::digitsIBANIncorrectes, u"dígits de l'IBAN incorrectes", false},
    {Estat::digitsNacionalsIncorrectes, u"dígits de control nacionals incorrectes", false},
    {Estat::estrangerMalFormat, u"IBAN estranger mal format", false},
    {Estat::totZeros, u"compte tot zeros", false},
    {Estat::noCompte, u"no és un compte", false},
    {Estat::notacioCientifica, u"nombre en notació científica: xifres perdudes", false},
    {Estat::senseCompte, u"sense compte", false},
}};
inline constexpr std::size_t nombreEstats = estats.size();
static_assert(
    [] {
        for (std::size_t i = 0; i < nombreEstats; ++i)
            if (estats[i].estat != static_cast<Estat>(i))
                return false;
        return estats.back().estat == Estat::senseCompte;
    }(),
    "one row per status, in the enumeration's order");

constexpr std::u16string_view textEstat(Estat e) {
    return estats[static_cast<std::size_t>(e)].text;
}

constexpr bool esCorrecte(Estat e) {
    return estats[static_cast<std::size_t>(e)].correcte;
}

// What a check found; kept by a caller that checks many texts and filled anew by
// each check. Its characters are read only up to mida, and are not cleared when
// it is made, nor copied: a check writes what it gives.
struct Comprovacio {
    Estat estat = Estat::senseCompte;
    Defecte defecte = Defecte::llargada; // why it is not a right account, found on the way
    std::array<char16_t, midaMaximaIBAN> caracters;
    std::uint8_t mida = 0;
    const Entitat* entitat = nullptr; // a right Spanish account's, when listed
    Suggeriment suggeriment;          // a failing account's, Spanish or of a checked country

    Comprovacio() = default;
    Comprovacio(const Comprovacio&) = delete;
    Comprovacio& operator=(const Comprovacio&) = delete;

    // The IBAN in electronic form, for a right account, and for a well-formed
    // foreign IBAN whose national check digits alone fail; else empty.
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
// UTF-8 is noCompte, Defecte::format. No byte past the text is read, however long
// it is. Without suggerir, a failing account gets no suggestion, which is most of
// its cost.
void comprovarCompte(text::Utf8 utf8, Comprovacio& c, bool suggerir = true);

// An account written in four fields, entity, office, control digits and account:
// each, once its blanks are taken off and full-width digits read as digits, must
// be exactly its field's digits. All four empty is senseCompte.
void comprovarCamps(const std::array<std::u16string_view, 4>& camps, Comprovacio& c);

} // namespace mdlFuncions
