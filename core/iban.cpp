// IBAN check digits: ISO 13616 with the MOD 97-10 rule of ISO 7064. The account,
// then the country code, then "00" are read as one number, letters counting 10 (A)
// to 35 (Z) in either case; the check digits are 98 minus that number modulo 97,
// "02" to "98". Nothing is validated, characters that are neither ASCII digits nor
// ASCII letters are dropped, and texts of any length are taken.

#include "core/iban.h"

#include "core/text.h"

#include <cstdint>

namespace mdlFuncions {

namespace {

// Hands each digit the text stands for, in order, to the accumulator, and returns
// it. Taken and returned by value so that its state stays in registers.
template <class Acumulador> Acumulador perDigit(std::u16string_view text, Acumulador acc) {
    for (char16_t c : text) {
        if (text::isDigit(c)) {
            acc.afegir(c - u'0');
            continue;
        }
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
        if (c >= u'A' && c <= u'Z') {
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

} // namespace

std::u16string convertirLletres(std::u16string_view text) {
    struct Xifres {
        std::u16string* text;
        void afegir(int d) { text->push_back(static_cast<char16_t>(u'0' + d)); }
    };
    std::u16string digits;
    digits.reserve(text.size());
    perDigit(text, Xifres{&digits});
    return digits;
}

std::u16string calcularDigitsIBAN(std::u16string_view compte, std::u16string_view pais) {
    // The joined text is never built: its digits go straight into the remainder.
    Residu97 r = perDigit(pais, perDigit(compte, Residu97{}));
    r.afegir(0);
    r.afegir(0);
    return text::twoDigits(98 - r.residu());
}

} // namespace mdlFuncions
