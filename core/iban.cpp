// IBAN check digits: ISO 13616 with the MOD 97-10 rule of ISO 7064 (core/modul97.h).
// The account, then the country code, then "00" are read as one number, letters
// counting 10 (A) to 35 (Z) in either case; the check digits are 98 minus that number
// modulo 97, "02" to "98". Nothing is validated, characters that are neither ASCII
// digits nor ASCII letters are dropped, and texts of any length are taken.
//
// The check of a whole IBAN finds its country's row in the compiled-in registry by
// its code, walks the BBAN against the row's structure, reads the BBAN, the country
// and the check digits as one number, which must be 1 modulo 97, and last hands the
// BBAN to its country's national check, when there is one.

#include "core/iban.h"

#include "core/control_nacional.h"
#include "core/modul97.h"
#include "core/registre_files.h"
#include "core/registre_iban.h"
#include "core/text.h"

#include <array>
#include <cstdint>

namespace mdlFuncions {

namespace {

// One BBAN character against its kind in the registry's notation.
bool delTipus(char16_t c, char tipus) {
    switch (tipus) {
    case 'n':
        return text::isDigit(c);
    case 'a':
        return text::isCapital(c);
    default:
        return text::isDigit(c) || text::isCapital(c);
    }
}

} // namespace

const std::span<const PaisIBAN> registreIBAN{compilat::paisos};

std::string_view edicioRegistre() {
    return compilat::edicioPaisos;
}

namespace {

constexpr int lletres = 26;

constexpr std::size_t posicioCodi(char16_t primera, char16_t segona) {
    return static_cast<std::size_t>((primera - u'A') * lletres + (segona - u'A'));
}

// Every code of two capitals, with its row in the registry plus one, or 0 where the
// registry has none: made while compiling.
constexpr auto filaDePais = [] {
    std::array<std::int16_t, lletres * lletres> fila{};
    for (std::size_t i = 0; i < compilat::paisos.size(); ++i) {
        const std::u16string_view codi = compilat::paisos[i].pais;
        fila[posicioCodi(codi[0], codi[1])] = static_cast<std::int16_t>(i + 1);
    }
    return fila;
}();

} // namespace

const PaisIBAN* cercarPaisIBAN(std::u16string_view pais) {
    if (pais.size() != 2 || !text::isCapital(pais[0]) || !text::isCapital(pais[1]))
        return nullptr;
    const int fila = filaDePais[posicioCodi(pais[0], pais[1])];
    return fila == 0 ? nullptr : &compilat::paisos[static_cast<std::size_t>(fila - 1)];
}

ValidesaIBAN validarIBAN(std::u16string_view iban) {
    const PaisIBAN* pais = iban.size() >= 2 ? cercarPaisIBAN(iban.substr(0, 2)) : nullptr;
    if (!pais)
        return ValidesaIBAN::paisDesconegut;
    if (iban.size() != static_cast<std::size_t>(pais->llargada))
        return ValidesaIBAN::llargada;
    if (!text::isDigit(iban[2]) || !text::isDigit(iban[3]))
        return ValidesaIBAN::malFormat;
    // The structure walked and the remainder taken in one pass.
    const std::u16string_view bban = iban.substr(prefixIBAN);
    Residu97 r;
    for (std::size_t i = 0; i < bban.size(); ++i) {
        const char16_t c = bban[i];
        if (!delTipus(c, pais->bban[i]))
            return ValidesaIBAN::malFormat;
        text::isDigit(c) ? r.xifra(c - u'0') : r.majuscula(c);
    }

    // 00, 01 and 99 never come out of the computation, yet they pass the remainder
    // test wherever 97, 98 and 02 would.
    const int digits = (iban[2] - u'0') * 10 + (iban[3] - u'0');
    r.majuscula(iban[0]).majuscula(iban[1]).xifra(iban[2] - u'0').xifra(iban[3] - u'0');
    if (digits < 2 || digits > 98 || r.residu() != 1)
        return ValidesaIBAN::digitsIncorrectes;
    const ComprovacioNacional nacional = controlNacional(*pais);
    return nacional && !nacional(bban) ? ValidesaIBAN::digitsNacionals : ValidesaIBAN::valid;
}

std::u16string calcularDigitsIBAN(std::u16string_view compte, std::u16string_view pais) {
    Residu97 r;
    r.text(compte);
    // A country is two letters, read one by one: on a list's every row, a call less.
    for (const char16_t c : pais)
        r.caracter(c);
    const int digits = 98 - r.xifra(0).xifra(0).residu();
    return {static_cast<char16_t>(u'0' + digits / 10), static_cast<char16_t>(u'0' + digits % 10)};
}

} // namespace mdlFuncions
