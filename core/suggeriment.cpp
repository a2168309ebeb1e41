// The one-typo suggestion. Each neighbour is judged without being built: a digit
// changed by d at a position moves the weighted control sum it belongs to by its
// weight times d, the account's remainder modulo 97 by d times the position's
// power of ten modulo 97, and the entity's value by d times its place; a swap is
// two such changes. Of the nine substitutions at a position, only those that make
// right the control check the position weighs in (or keep it right) can count: the
// check is a congruence modulo 11 (or, for a check or control digit, one value),
// solved for the new digit, which leaves one or two digits a position to judge
// in full instead of nine. With the 21 swaps, some 60 neighbours at most; fewer,
// as a change that leaves a failing control check's digits alone is not tried, and
// the search ends at the second candidate.

#include "core/suggeriment.h"

#include "core/ccc.h"
#include "core/control_nacional.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/modul97.h"
#include "core/registre_iban.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace mdlFuncions {

namespace {

constexpr std::u16string_view pais = paisEspanya;

// A digit's weight in the first and in the second control sum, by position.
constexpr auto pesosDe(std::size_t inici, const auto& pesos) {
    std::array<int, digitsCCC> p{};
    for (std::size_t i = 0; i < pesos.size(); ++i)
        p[inici + i] = pesos[i];
    return p;
}
constexpr auto pesos1 = pesosDe(campEntitat.inici, pesosEntitatOficina);
constexpr auto pesos2 = pesosDe(campCompte.inici, pesosCompte);
// A digit's place in the entity code's value, by position; 0 outside the entity.
constexpr auto llocsEntitat = [] {
    std::array<int, digitsCCC> p{};
    int lloc = 1;
    for (std::size_t i = campEntitat.mida; i-- > 0; lloc *= 10)
        p[campEntitat.inici + i] = lloc;
    return p;
}();

// The number MOD 97-10 reads is the account, the country as digits ("ES" is 1428)
// and the check digits: an account digit's power of ten modulo 97, by position.
constexpr auto potencies97 = [] {
    std::array<int, digitsCCC> p{};
    // After the account's last digit, the country's four and the two check digits.
    for (std::size_t i = 0; i < digitsCCC; ++i)
        p[i] = potencia97(digitsCCC - 1 - i + 6);
    return p;
}();
constexpr int residuPais = Residu97{}.text(pais).xifra(0).xifra(0).residu();

int modul97(int r) {
    return (r % 97 + 97) % 97;
}

// The inverse modulo 11 of each weight, 1 to 10: every weight is one of them.
constexpr std::array<int, 11> inversos11{0, 1, 6, 4, 3, 9, 2, 8, 7, 5, 10};

// Each digit that, put in place of vell where the weighted sum suma weighs it by
// pes, gives the control digit control; two at most, since the remainders 1 and
// 10 both give 1.
template <class F> void perQuadrar(int suma, int pes, int vell, int control, F&& provar) {
    const int residus[2] = {control == 0 ? 0 : 11 - control, control == 1 ? 1 : -1};
    for (const int residu : residus) {
        if (residu < 0)
            continue;
        const int nou = ((vell + (residu - suma % 11) * inversos11[pes]) % 11 + 11) % 11;
        if (nou <= 9 && nou != vell)
            provar(nou);
    }
}

// What the checks need of a 20-digit account and its check digits.
struct Estat {
    int suma1 = 0, suma2 = 0; // the weighted sums the control digits guard
    int control1 = 0, control2 = 0;
    int residu = 0;  // account, country and "00", modulo 97 once reduced
    int digits = -1; // the IBAN's check digits as given; -1 for a bare account
    int entitat = 0; // the entity code's value

    void canviarCompte(std::size_t p, int vell, int nou) {
        const int d = nou - vell;
        suma1 += pesos1[p] * d;
        suma2 += pesos2[p] * d;
        entitat += llocsEntitat[p] * d;
        residu += potencies97[p] * d;
        if (p == campControl.inici)
            control1 = nou;
        else if (p == campControl.inici + 1)
            control2 = nou;
    }
    int digitsCalculats() const { return 98 - modul97(residu); }
    // Control digits agree, and an IBAN's check digits when given. The all-zero
    // account, which validarCCC refuses, needs no test of its own: its entity, 0000,
    // is not listed, so it is never a candidate, and as the input it has none.
    bool passa() const {
        return digitControl(suma1) == control1 && digitControl(suma2) == control2 &&
               (digits < 0 || digits == digitsCalculats());
    }
    bool compta() const { return passa() && cercarEntitat(entitat) != nullptr; }
};

// The digits as typed: the check digits first when an IBAN was given, then the account.
struct Xifres {
    std::array<int, 2 + digitsCCC> d{};
    std::size_t mida = 0;
    std::size_t inici = 0; // where the account starts: 2 with check digits, else 0

    void canviar(Estat& e, std::size_t i, int nou) const {
        if (i >= inici)
            e.canviarCompte(i - inici, d[i], nou);
        else
            e.digits += (i == 0 ? 10 : 1) * (nou - d[i]);
    }
};

Estat estatDe(const Xifres& x) {
    Estat e;
    e.residu = residuPais;
    for (std::size_t p = 0; p < digitsCCC; ++p)
        e.canviarCompte(p, 0, x.d[x.inici + p]);
    e.control1 = x.d[x.inici + campControl.inici];
    e.control2 = x.d[x.inici + campControl.inici + 1];
    if (x.inici > 0)
        e.digits = x.d[0] * 10 + x.d[1];
    return e;
}

// The neighbour's IBAN, written in s: the typed digits with the change made.
void ibanDe(Xifres x, std::size_t i, int nou, bool intercanvi, const Estat& e, Suggeriment& s) {
    if (intercanvi)
        std::swap(x.d[i], x.d[i + 1]);
    else
        x.d[i] = nou;
    const int digits = e.digitsCalculats();
    auto& iban = s.caracters;
    s.mida = static_cast<std::uint8_t>(prefixIBAN + digitsCCC);
    iban[0] = pais[0];
    iban[1] = pais[1];
    iban[2] = static_cast<char16_t>(u'0' + digits / 10);
    iban[3] = static_cast<char16_t>(u'0' + digits % 10);
    for (std::size_t p = 0; p < digitsCCC; ++p)
        iban[prefixIBAN + p] = static_cast<char16_t>(u'0' + x.d[x.inici + p]);
}

// Hands provar each digit that, put at position i, may pass every check: the one
// the check digits or a control digit must be, or those that square the control
// sum the position weighs in. The others fail that check whatever the rest.
template <class F>
void substitucions(const Xifres& x, const Estat& base, std::size_t i, F&& provar) {
    const int vell = x.d[i];
    const auto una = [&](int nou) {
        if (nou != vell)
            provar(nou);
    };
    if (i < x.inici) {
        // The check digits move no sum: they must become those computed.
        const int calculats = base.digitsCalculats();
        if (x.d[1 - i] == (i == 0 ? calculats % 10 : calculats / 10))
            una(i == 0 ? calculats / 10 : calculats % 10);
        return;
    }
    const std::size_t p = i - x.inici;
    if (p == campControl.inici)
        una(digitControl(base.suma1));
    else if (p == campControl.inici + 1)
        una(digitControl(base.suma2));
    else if (pesos1[p] != 0)
        perQuadrar(base.suma1, pesos1[p], vell, base.control1, provar);
    else
        perQuadrar(base.suma2, pesos2[p], vell, base.control2, provar);
}

} // namespace

void suggerirCompte(std::u16string_view ccc, std::u16string_view digitsIBAN, Suggeriment& s) {
    s.candidats = 0;
    if (ccc.size() != digitsCCC || !text::allDigits(ccc) ||
        !(digitsIBAN.empty() || digitsIBAN.size() == 2) || !text::allDigits(digitsIBAN))
        return;
    Xifres x;
    x.inici = digitsIBAN.size();
    x.mida = x.inici + digitsCCC;
    for (std::size_t i = 0; i < x.inici; ++i)
        x.d[i] = digitsIBAN[i] - u'0';
    for (std::size_t p = 0; p < digitsCCC; ++p)
        x.d[x.inici + p] = ccc[p] - u'0';
    const Estat base = estatDe(x);
    if (base.passa())
        return;

    std::size_t llocTrobat = 0;
    int nouTrobat = 0;
    bool intercanviTrobat = false;
    Estat trobat;
    const auto provar = [&](const Estat& e, std::size_t i, int nou, bool intercanvi) {
        if (s.candidats > 1 || !e.compta())
            return;
        ++s.candidats;
        llocTrobat = i;
        nouTrobat = nou;
        intercanviTrobat = intercanvi;
        trobat = e;
    };
    // A control check that fails passes only if the change touches a digit it
    // weighs (its control digit included): a change elsewhere leaves its sum and
    // its digit as they were. The first check weighs the entity, the office and
    // the first control digit; the second the other control digit and the account.
    const bool falla1 = digitControl(base.suma1) != base.control1;
    const bool falla2 = digitControl(base.suma2) != base.control2;
    const auto dins = [&](std::size_t i, bool primer) {
        return i >= x.inici && (i - x.inici <= campControl.inici) == primer;
    };
    const auto pot = [&](std::size_t i, std::size_t j) {
        return (!falla1 || dins(i, true) || dins(j, true)) &&
               (!falla2 || dins(i, false) || dins(j, false));
    };
    for (std::size_t i = 0; i < x.mida && s.candidats < 2; ++i) {
        if (!pot(i, i))
            continue;
        substitucions(x, base, i, [&](int nou) {
            Estat e = base;
            x.canviar(e, i, nou);
            provar(e, i, nou, false);
        });
    }
    for (std::size_t i = 0; i + 1 < x.mida && s.candidats < 2; ++i) {
        if (x.d[i] == x.d[i + 1] || !pot(i, i + 1))
            continue;
        Estat e = base;
        x.canviar(e, i, x.d[i + 1]);
        x.canviar(e, i + 1, x.d[i]);
        provar(e, i, 0, true);
    }
    if (s.candidats == 1)
        ibanDe(x, llocTrobat, nouTrobat, intercanviTrobat, trobat, s);
}

Suggeriment suggerirCompte(std::u16string_view ccc, std::u16string_view digitsIBAN) {
    Suggeriment s{};
    suggerirCompte(ccc, digitsIBAN, s);
    return s;
}

namespace {

// The inverse modulo 97 of each remainder 1 to 96, 97 being prime.
constexpr auto inversos97 = [] {
    std::array<int, 97> inversos{};
    for (int a = 1; a < 97; ++a)
        for (int b = 1; b < 97; ++b)
            if (a * b % 97 == 1)
                inversos[static_cast<std::size_t>(a)] = b;
    return inversos;
}();

} // namespace

// Another country's IBAN: MOD 97-10 reads the BBAN, the country and the check digits,
// so each digit weighs its place's power of ten in that order. A digit changed by d
// moves the remainder by d times its weight, which must make it 1: one change of the
// digit at most, solved for, not tried. A candidate that passes is then held to the
// national check, which is what leaves one, or none.
void suggerirIBAN(std::u16string_view iban, Suggeriment& s) {
    s.candidats = 0;
    if (validarIBAN(iban) != ValidesaIBAN::digitsIncorrectes)
        return;
    const ComprovacioNacional nacional = controlNacional(*cercarPaisIBAN(iban.substr(0, 2)));
    if (!nacional)
        return;
    // Each character's weight, 0 for a letter, which is never changed. After the
    // BBAN's last character come the country's four digits and the two check digits.
    std::array<int, midaMaximaIBAN> pes{0, 0, 10, 1};
    int potencia = potencia97(6);
    for (std::size_t i = iban.size(); i-- > prefixIBAN;) {
        const bool xifra = text::isDigit(iban[i]);
        pes[i] = xifra ? potencia : 0;
        potencia = potencia * (xifra ? 10 : 100) % 97;
    }
    const int falta =
        (98 - Residu97{}.text(iban.substr(prefixIBAN)).text(iban.substr(0, prefixIBAN)).residu()) %
        97;

    std::array<char16_t, midaMaximaIBAN> candidat;
    std::copy(iban.begin(), iban.end(), candidat.begin());
    const std::u16string_view bban(candidat.data() + prefixIBAN, iban.size() - prefixIBAN);
    const auto provar = [&] {
        const int digits = (candidat[2] - u'0') * 10 + (candidat[3] - u'0');
        if (digits < 2 || digits > 98 || !nacional(bban) || ++s.candidats > 1)
            return;
        s.caracters = candidat;
        s.mida = static_cast<std::uint8_t>(iban.size());
    };
    for (std::size_t i = 2; i < iban.size() && s.candidats < 2; ++i) {
        if (pes[i] == 0)
            continue;
        const int vell = iban[i] - u'0';
        const int d = falta * inversos97[static_cast<std::size_t>(pes[i])] % 97;
        const int nou = vell + d <= 9 ? vell + d : vell + d - 97;
        if (d == 0 || nou < 0)
            continue;
        candidat[i] = static_cast<char16_t>(u'0' + nou);
        provar();
        candidat[i] = iban[i];
    }
    for (std::size_t i = 2; i + 1 < iban.size() && s.candidats < 2; ++i) {
        if (pes[i] == 0 || pes[i + 1] == 0 || iban[i] == iban[i + 1] ||
            ((iban[i + 1] - iban[i]) * (pes[i] - pes[i + 1]) - falta) % 97 != 0)
            continue;
        std::swap(candidat[i], candidat[i + 1]);
        provar();
        std::swap(candidat[i], candidat[i + 1]);
    }
}

} // namespace mdlFuncions
