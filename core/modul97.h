#pragma once
// MOD 97-10 of ISO 7064, as IBANs (ISO 13616) use it: a string of digits read as one
// number, modulo 97, each letter counting as its two digits, A as 10 to Z as 35.
// Every remainder modulo 97 of the core is taken here: the IBAN check and its check
// digits, the weight of a digit's place for the one-typo suggestion, and the
// national checks that are such a remainder (Belgium's, the RIB key, the whole-BBAN
// ones).

#include "core/text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mdlFuncions {

// An IBAN's letter as MOD 97-10 reads it: A is 10, Z is 35.
constexpr int valorLletra(char16_t capital) {
    return capital - u'A' + 10;
}

// The remainder of a number handed in from its left, a digit or a letter at a time,
// of any length. Starts at 0, as the empty number.
class Residu97 {
public:
    // One more digit, 0 to 9, and one more capital, A to Z.
    constexpr Residu97& xifra(int d) { return afegir(10, static_cast<unsigned>(d)); }
    constexpr Residu97& majuscula(char16_t c) {
        return afegir(100, static_cast<unsigned>(valorLletra(c)));
    }
    // One character as an IBAN reads it: a digit, or an ASCII letter of either case
    // as its two digits; any other character is passed over.
    constexpr Residu97& caracter(char16_t c) {
        if (text::isDigit(c))
            return xifra(c - u'0');
        c = text::toCapital(c);
        return text::isCapital(c) ? majuscula(c) : *this;
    }
    // A text read as caracter reads it. One of digits alone, as an account is, is
    // read sixteen digits at a time with one remainder each (below 97 times 10^16
    // plus 10^16: well inside 64 bits); any other is read a character at a time.
    constexpr Residu97& text(std::u16string_view t) {
        if (!xifres(t))
            for (const char16_t c : t)
                caracter(c);
        return *this;
    }
    constexpr int residu() const { return static_cast<int>(valor_ % 97); }

private:
    // Reads a text of digits alone; false, and nothing read, for any other.
    constexpr bool xifres(std::u16string_view t) {
        std::uint64_t valor = valor_ % 97;
        for (std::size_t i = 0; i < t.size(); i += tros) {
            const std::size_t k = t.size() - i < tros ? t.size() - i : tros;
            std::uint64_t part = 0;
            for (std::size_t j = i; j < i + k; ++j) {
                const unsigned d = static_cast<unsigned>(t[j]) - u'0';
                if (d > 9)
                    return false;
                part = part * 10 + d;
            }
            valor = (valor * potencies10[k] + part) % 97;
        }
        valor_ = valor;
        return true;
    }
    // Reduced only when the next step could overflow 64 bits: a remainder per
    // fifteen digits or so, not one per digit.
    constexpr Residu97& afegir(unsigned escala, unsigned valor) {
        valor_ = valor_ * escala + valor;
        if (valor_ >= limit)
            valor_ %= 97;
        return *this;
    }
    // Below it, times 100 plus 99 still fits.
    static constexpr std::uint64_t limit = 100'000'000'000'000'000;
    static constexpr std::size_t tros = 16;
    static constexpr auto potencies10 = [] {
        std::array<std::uint64_t, tros + 1> p{1};
        for (std::size_t k = 1; k < p.size(); ++k)
            p[k] = p[k - 1] * 10;
        return p;
    }();
    std::uint64_t valor_ = 0;
};

// 10 to the power n modulo 97: how much a digit with n digits after it weighs.
constexpr int potencia97(std::size_t n) {
    int p = 1;
    for (; n > 0; --n)
        p = p * 10 % 97;
    return p;
}

} // namespace mdlFuncions
