#pragma once
// MOD 97-10 of ISO 7064, as IBANs (ISO 13616) use it: a string of digits read as one
// number, modulo 97, each letter counting as its two digits, A as 10 to Z as 35.
// Every remainder modulo 97 of the core is taken here: the IBAN check and its check
// digits, the weight of a digit's place for the one-typo suggestion, and the
// national checks that are such a remainder (Belgium's, the RIB key, the whole-BBAN
// ones).

#include "core/text.h"

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
    // A text read as caracter reads it, fifteen characters at a time into a number
    // of their own when they are all digits, as an account's are, folded in with one
    // remainder: below 97 times 10^15 plus 10^15, under limit again.
    constexpr Residu97& text(std::u16string_view t) {
        std::size_t i = 0;
        for (; i + tros15 <= t.size(); i += tros15) {
            std::uint64_t tros = 0;
            bool xifres = true;
            for (std::size_t k = i; k < i + tros15; ++k) {
                const unsigned d = static_cast<unsigned>(t[k]) - u'0';
                xifres &= d <= 9;
                tros = tros * 10 + d;
            }
            if (xifres)
                valor_ = valor_ % 97 * potencia15 + tros;
            else
                for (std::size_t k = i; k < i + tros15; ++k)
                    caracter(t[k]);
        }
        for (; i < t.size(); ++i)
            caracter(t[i]);
        return *this;
    }
    constexpr int residu() const { return static_cast<int>(valor_ % 97); }

private:
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
    static constexpr std::size_t tros15 = 15;
    static constexpr std::uint64_t potencia15 = 1'000'000'000'000'000;
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
