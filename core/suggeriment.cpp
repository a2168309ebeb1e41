// The one-typo suggestion. Each neighbour is judged without being built: a digit
// changed by d at a position moves the weighted control sum it belongs to by its
// weight times d, the account's remainder modulo 97 by d times the position's
// power of ten modulo 97, and the entity's value by d times its place; a swap is
// two such changes. About 220 neighbours, a handful of additions each.

#include "core/suggeriment.h"

#include "core/ccc.h"
#include "core/entitats_dades.h"
#include "core/iban.h"
#include "core/text.h"

#include <array>
#include <cstddef>

namespace mdlFuncions {

namespace {

constexpr int nombreCodis = 10000;
constexpr std::u16string_view pais = u"ES";

// A digit's weight in the first and in the second control sum, by position.
constexpr auto pesosDe(std::size_t inici, const auto& pesos) {
    std::array<int, digitsCCC> p{};
    for (std::size_t i = 0; i < pesos.size(); ++i)
        p[inici + i] = pesos[i];
    return p;
}
constexpr auto pesos1 = pesosDe(campEntitat.inici, pesosEntitatOficina);
constexpr auto pesos2 = pesosDe(campCompte.inici, pesosCompte);
constexpr auto llocsEntitat = pesosDe(campEntitat.inici, std::array<int, 4>{1000, 100, 10, 1});
static_assert(campEntitat.mida == 4);

// The number MOD 97-10 reads is the account, the country as digits ("ES" is 1428)
// and the check digits: an account digit's power of ten modulo 97, by position.
constexpr int valorLletra(char16_t c) {
    return c - u'A' + 10;
}
constexpr auto potencies97 = [] {
    std::array<int, digitsCCC> p{};
    int potencia = 1;
    for (int i = 0; i < 6; ++i) // four digits of the country, two check digits
        potencia = potencia * 10 % 97;
    for (std::size_t i = digitsCCC; i-- > 0;) {
        p[i] = potencia;
        potencia = potencia * 10 % 97;
    }
    return p;
}();
constexpr int residuPais = (valorLletra(pais[0]) * 100 + valorLletra(pais[1])) * 100 % 97;

// Which entity codes the directory lists, by value.
const std::array<bool, nombreCodis>& codisConeguts() {
    static const auto codis = [] {
        std::array<bool, nombreCodis> c{};
        for (const auto& e : dades::entitats)
            c[e.codi] = true;
        return c;
    }();
    return codis;
}

int modul97(int r) {
    return (r % 97 + 97) % 97;
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
    bool compta() const { return passa() && codisConeguts()[static_cast<std::size_t>(entitat)]; }
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

// The neighbour's IBAN: the typed digits with the change made.
std::u16string ibanDe(Xifres x, std::size_t i, int nou, bool intercanvi, const Estat& e) {
    if (intercanvi)
        std::swap(x.d[i], x.d[i + 1]);
    else
        x.d[i] = nou;
    const int digits = e.digitsCalculats();
    std::u16string iban(pais);
    iban += static_cast<char16_t>(u'0' + digits / 10);
    iban += static_cast<char16_t>(u'0' + digits % 10);
    for (std::size_t p = 0; p < digitsCCC; ++p)
        iban += static_cast<char16_t>(u'0' + x.d[x.inici + p]);
    return iban;
}

} // namespace

Suggeriment suggerirCompte(std::u16string_view ccc, std::u16string_view digitsIBAN) {
    if (ccc.size() != digitsCCC || !text::allDigits(ccc) ||
        !(digitsIBAN.empty() || digitsIBAN.size() == 2) || !text::allDigits(digitsIBAN))
        return {};
    Xifres x;
    x.inici = digitsIBAN.size();
    x.mida = x.inici + digitsCCC;
    for (std::size_t i = 0; i < x.inici; ++i)
        x.d[i] = digitsIBAN[i] - u'0';
    for (std::size_t p = 0; p < digitsCCC; ++p)
        x.d[x.inici + p] = ccc[p] - u'0';
    const Estat base = estatDe(x);
    if (base.passa())
        return {};

    Suggeriment s;
    std::size_t llocTrobat = 0;
    int nouTrobat = 0;
    bool intercanviTrobat = false;
    Estat trobat;
    const auto provar = [&](const Estat& e, std::size_t i, int nou, bool intercanvi) {
        if (!e.compta())
            return;
        ++s.candidats;
        llocTrobat = i;
        nouTrobat = nou;
        intercanviTrobat = intercanvi;
        trobat = e;
    };
    for (std::size_t i = 0; i < x.mida; ++i)
        for (int nou = 0; nou <= 9; ++nou) {
            if (nou == x.d[i])
                continue;
            Estat e = base;
            x.canviar(e, i, nou);
            provar(e, i, nou, false);
        }
    for (std::size_t i = 0; i + 1 < x.mida; ++i) {
        if (x.d[i] == x.d[i + 1])
            continue;
        Estat e = base;
        x.canviar(e, i, x.d[i + 1]);
        x.canviar(e, i + 1, x.d[i]);
        provar(e, i, 0, true);
    }
    if (s.candidats == 1)
        s.iban = ibanDe(x, llocTrobat, nouTrobat, intercanviTrobat, trobat);
    return s;
}

} // namespace mdlFuncions
