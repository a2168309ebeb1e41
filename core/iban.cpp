// IBAN check digits: ISO 13616 with the MOD 97-10 rule of ISO 7064. The account,
// then the country code, then "00" are read as one number, letters counting 10 (A)
// to 35 (Z) in either case; the check digits are 98 minus that number modulo 97,
// "02" to "98". Nothing is validated, characters that are neither ASCII digits nor
// ASCII letters are dropped, and texts of any length are taken.
//
// The check of a whole IBAN finds its country's row in the compiled-in registry by
// its code, walks the BBAN against the row's structure, and reads the BBAN,
// the country and the check digits as one number, which must be 1 modulo 97.

#include "core/iban.h"

#include "core/registre_files.h"
#include "core/registre_iban.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace mdlFuncions {

namespace {

// Hands each digit the text stands for, in order, to the accumulator, and returns it.
template <class Acumulador> Acumulador perDigit(std::u16string_view text, Acumulador acc) {
    for (char16_t c : text) {
        if (text::isDigit(c)) {
            acc.afegir(c - u'0');
            continue;
        }
        c = text::toCapital(c);
        if (text::isCapital(c)) {
            const int valor = c - u'A' + 10;
            acc.afegir(valor / 10);
            acc.afegir(valor % 10);
        }
    }
    return acc;
}

// The remainder modulo 97 of a digit string of any length, taken in chunks that a
// 32-bit integer holds: the first nine digits, then each time the two-digit
// remainder followed by the next seven digits. The count of digits is unbounded.
class Residu97 {
public:
    void afegir(int digit) {
        valor_ = valor_ * 10 + digit;
        if (++llegits_ == mida_) {
            valor_ %= 97;
            llegits_ = 0;
            mida_ = 7;
        }
    }
    // An empty digit string leaves the remainder at 0.
    int residu() const { return llegits_ == 0 ? valor_ : valor_ % 97; }

private:
    std::int32_t valor_ = 0;
    int llegits_ = 0;
    int mida_ = 9;
};

// The remainder modulo 97 of a text of ASCII digits only, as an account is, read
// sixteen digits at a time; std::nullopt when another character is in it.
std::optional<int> residuDeXifres(std::u16string_view text) {
    constexpr std::size_t tros = 16;
    constexpr auto potencies = [] {
        std::array<std::uint64_t, tros + 1> p{1};
        for (std::size_t k = 1; k <= tros; ++k)
            p[k] = p[k - 1] * 10;
        return p;
    }();
    std::uint64_t residu = 0;
    for (std::size_t i = 0; i < text.size(); i += tros) {
        const std::size_t k = std::min(tros, text.size() - i);
        std::uint64_t valor = 0;
        for (std::size_t j = i; j < i + k; ++j) {
            const unsigned xifra = static_cast<unsigned>(text[j]) - u'0';
            if (xifra > 9)
                return std::nullopt;
            valor = valor * 10 + xifra;
        }
        // Below 97 times 10^16 plus 10^16: well inside 64 bits.
        residu = (residu * potencies[k] + valor) % 97;
    }
    return static_cast<int>(residu);
}

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
    if (iban.size() != static_cast<std::size_t>(pais->llargada) || !text::isDigit(iban[2]) ||
        !text::isDigit(iban[3]))
        return ValidesaIBAN::malFormat;
    const std::u16string_view bban = iban.substr(prefixIBAN);
    for (std::size_t i = 0; i < bban.size(); ++i)
        if (!delTipus(bban[i], pais->bban[i]))
            return ValidesaIBAN::malFormat;

    // 00, 01 and 99 never come out of the computation, yet they pass the remainder
    // test wherever 97, 98 and 02 would.
    const int digits = (iban[2] - u'0') * 10 + (iban[3] - u'0');
    if (digits < 2 || digits > 98)
        return ValidesaIBAN::digitsIncorrectes;
    Residu97 r = perDigit(iban.substr(0, 2), perDigit(bban, Residu97{}));
    r.afegir(iban[2] - u'0');
    r.afegir(iban[3] - u'0');
    return r.residu() == 1 ? ValidesaIBAN::valid : ValidesaIBAN::digitsIncorrectes;
}

std::u16string calcularDigitsIBAN(std::u16string_view compte, std::u16string_view pais) {
    int residu;
    if (const auto rapid = residuDeXifres(compte)) {
        // Each letter of the country is two digits, and so is "00"; the value is
        // reduced only when the next letter might no longer fit in 64 bits.
        std::uint64_t valor = static_cast<std::uint64_t>(*rapid);
        for (char16_t c : pais) {
            c = text::toCapital(c);
            if (text::isCapital(c))
                valor = valor * 100 + static_cast<std::uint64_t>(c - u'A' + 10);
            else if (text::isDigit(c))
                valor = valor * 10 + static_cast<std::uint64_t>(c - u'0');
            if (valor >= std::uint64_t(1) << 56)
                valor %= 97;
        }
        residu = static_cast<int>(valor * 100 % 97);
    } else {
        // The joined text is never built: its digits go straight into the remainder.
        Residu97 r = perDigit(pais, perDigit(compte, Residu97{}));
        r.afegir(0);
        r.afegir(0);
        residu = r.residu();
    }
    const int digits = 98 - residu;
    return {static_cast<char16_t>(u'0' + digits / 10), static_cast<char16_t>(u'0' + digits % 10)};
}

} // namespace mdlFuncions
