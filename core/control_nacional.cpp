// The national checks, position by position in the BBAN, counted from 0. Each was
// checked against the examples the countries' banks and the IBAN registry publish.
// The table is tied to the compiled-in registry while compiling: each country must
// be listed there with the BBAN length its check is written for.

#include "core/control_nacional.h"

#include "core/ccc.h"
#include "core/iban.h"
#include "core/modul97.h"
#include "core/registre_files.h"
#include "core/text.h"

#include <array>

namespace mdlFuncions {

namespace {

int xifra(char16_t c) {
    return c - u'0';
}

// Σ w·d over the digits from inici on, one per weight.
template <std::size_t N>
int sumaPesada(std::u16string_view bban, std::size_t inici, const std::array<int, N>& pesos) {
    int suma = 0;
    for (std::size_t i = 0; i < N; ++i)
        suma += pesos[i] * xifra(bban[inici + i]);
    return suma;
}

// The digit at control is 10 minus the weighted sum modulo 10 (0 for 10).
template <std::size_t N>
bool modul10(std::u16string_view bban, std::size_t inici, const std::array<int, N>& pesos,
             std::size_t control) {
    return xifra(bban[control]) == (10 - sumaPesada(bban, inici, pesos) % 10) % 10;
}

// The digit at control is 11 minus the weighted sum modulo 11 (0 for 11); a sum
// that asks for 10 matches no digit, as no such account is issued.
template <std::size_t N>
bool modul11(std::u16string_view bban, std::size_t inici, const std::array<int, N>& pesos,
             std::size_t control) {
    return xifra(bban[control]) == (11 - sumaPesada(bban, inici, pesos) % 11) % 11;
}

// ISO 7064 MOD 11,10 over mida digits from inici, its check digit right after them.
bool modul1110(std::u16string_view bban, std::size_t inici, std::size_t mida) {
    int p = 10;
    for (std::size_t i = inici; i < inici + mida; ++i) {
        p = (p + xifra(bban[i])) % 10;
        p = 2 * (p == 0 ? 10 : p) % 11;
    }
    return xifra(bban[inici + mida]) == (11 - p) % 10;
}

// ES: the CCC, EEEE OOOO DD NNNNNNNNNN.
bool espanyol(std::u16string_view bban) {
    return validarCCC(bban);
}

// BE: the 10-digit number modulo 97, 0 read as 97, is the last two digits.
bool belga(std::u16string_view bban) {
    const int residu = Residu97{}.text(bban.substr(0, 10)).residu();
    return (residu == 0 ? 97 : residu) == xifra(bban[10]) * 10 + xifra(bban[11]);
}

// FR, MC, DJ: the RIB key. Bank 5, branch 5, account 11 (letters allowed), key 2:
// with each letter as one digit (A and J 1, B K S 2 ... I R Z 9), the 23 digits
// are a multiple of 97.
bool rib(std::u16string_view bban) {
    Residu97 r;
    for (const char16_t c : bban) {
        const int k = c - u'A';
        r.xifra(text::isDigit(c) ? xifra(c) : k < 9 ? k + 1 : k < 18 ? k - 8 : k - 16);
    }
    return r.residu() == 0;
}

// IT, SM: the CIN letter first, over the 22 characters after it (bank 5, branch 5,
// account 12, letters allowed). Each character is its plain value (a digit, or A as
// 0 to Z as 25); at every even place, counted from 0, it takes this value instead.
constexpr std::array<int, 26> valorsCIN{1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18,
                                        20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23};
bool cin(std::u16string_view bban) {
    int suma = 0;
    for (std::size_t j = 0; j + 1 < bban.size(); ++j) {
        const char16_t c = bban[j + 1];
        const int valor = text::isDigit(c) ? xifra(c) : c - u'A';
        suma += j % 2 == 0 ? valorsCIN[static_cast<std::size_t>(valor)] : valor;
    }
    return bban[0] == u'A' + suma % 26;
}

// PT, BA, ME, MK, RS, SI, TL (ISO 7064 MOD 97-10: residu 1) and MR, TN (residu 0):
// the whole BBAN read as one number, its last two digits the check.
template <int residu> bool bbanModul97(std::u16string_view bban) {
    return Residu97{}.text(bban).residu() == residu;
}

// NO: bank 4, account 6, check 1.
bool noruec(std::u16string_view bban) {
    return modul11(bban, 0, std::array{5, 4, 3, 2, 7, 6, 5, 4, 3, 2}, 10);
}

// FI: Luhn over the 14 digits, every second one from the right doubled.
bool finlandes(std::u16string_view bban) {
    int suma = 0;
    for (std::size_t k = 0; k < bban.size(); ++k) {
        const int d = xifra(bban[bban.size() - 1 - k]) * (k % 2 == 0 ? 1 : 2);
        suma += d / 10 + d % 10;
    }
    return suma % 10 == 0;
}

// EE: bank 2, then the account's 13 digits weighed 7, 3, 1 from its right end, and
// its check digit.
bool estonia(std::u16string_view bban) {
    return modul10(bban, 2, std::array{7, 1, 3, 7, 1, 3, 7, 1, 3, 7, 1, 3, 7}, 15);
}

// PL: the sort code's 7 digits and their check, then the account.
bool polones(std::u16string_view bban) {
    return modul10(bban, 0, std::array{3, 9, 7, 1, 3, 9, 7}, 7);
}

// HU: bank and branch 7 with their check; the account's 15 with theirs, or, for a
// short account whose last 8 places are zeros, its first 7 with theirs.
bool hongares(std::u16string_view bban) {
    constexpr std::array<int, 7> set{9, 7, 3, 1, 9, 7, 3};
    if (!modul10(bban, 0, set, 7))
        return false;
    if (bban.substr(16, 8) == u"00000000")
        return modul10(bban, 8, set, 15);
    return modul10(bban, 8, std::array{9, 7, 3, 1, 9, 7, 3, 1, 9, 7, 3, 1, 9, 7, 3}, 23);
}

// HR: the bank's 6 digits and their check, the account's 9 and theirs.
bool croat(std::u16string_view bban) {
    return modul1110(bban, 0, 6) && modul1110(bban, 7, 9);
}

// CZ, SK: bank 4, then a prefix of 6 and a number of 10, each weighed to a multiple
// of 11.
bool txec(std::u16string_view bban) {
    return sumaPesada(bban, 4, std::array{10, 5, 8, 4, 2, 1}) % 11 == 0 &&
           sumaPesada(bban, 10, std::array{6, 3, 7, 9, 10, 5, 8, 4, 2, 1}) % 11 == 0;
}

// IS: bank 4, type 2, account 6, then the holder's kennitala, whose 9th digit checks
// its first 8.
bool islandes(std::u16string_view bban) {
    return modul11(bban, 12, std::array{3, 2, 7, 6, 5, 4, 3, 2}, 20);
}

// AL: bank 3, branch 4 and their check, then the account.
bool albanes(std::u16string_view bban) {
    return modul10(bban, 0, std::array{9, 7, 3, 1, 9, 7, 3}, 7);
}

constexpr std::array<ControlNacional, 26> taula{{
    {u"AL", 24, albanes},
    {u"BA", 16, bbanModul97<1>},
    {u"BE", 12, belga},
    {u"CZ", 20, txec},
    {u"DJ", 23, rib},
    {u"EE", 16, estonia},
    {u"ES", 20, espanyol},
    {u"FI", 14, finlandes},
    {u"FR", 23, rib},
    {u"HR", 17, croat},
    {u"HU", 24, hongares},
    {u"IS", 22, islandes},
    {u"IT", 23, cin},
    {u"MC", 23, rib},
    {u"ME", 18, bbanModul97<1>},
    {u"MK", 15, bbanModul97<1>},
    {u"MR", 23, bbanModul97<0>},
    {u"NO", 11, noruec},
    {u"PL", 24, polones},
    {u"PT", 21, bbanModul97<1>},
    {u"RS", 18, bbanModul97<1>},
    {u"SI", 15, bbanModul97<1>},
    {u"SK", 20, txec},
    {u"SM", 23, cin},
    {u"TL", 19, bbanModul97<1>},
    {u"TN", 20, bbanModul97<0>},
}};

// Each registry row's check, made while compiling; a country the registry does not
// list, or lists with another BBAN length, stops the build.
constexpr auto perFila = [] {
    std::array<ComprovacioNacional, compilat::paisos.size()> fila{};
    for (const ControlNacional& control : taula) {
        bool trobat = false;
        for (std::size_t i = 0; i < fila.size(); ++i) {
            const PaisIBAN& pais = compilat::paisos[i];
            if (pais.pais != control.pais)
                continue;
            if (static_cast<std::size_t>(pais.llargada) - prefixIBAN != control.mida)
                throw "a national check written for another BBAN length";
            fila[i] = control.comprovar;
            trobat = true;
        }
        if (!trobat)
            throw "a national check for a country the registry does not list";
    }
    return fila;
}();

} // namespace

const std::span<const ControlNacional> controlsNacionals{taula};

ComprovacioNacional controlNacional(const PaisIBAN& pais) {
    return perFila[static_cast<std::size_t>(&pais - compilat::paisos.data())];
}

} // namespace mdlFuncions
