// Reading a whole account (domestic, or any registry country's IBAN) out of a text
// a person pasted or typed, and writing an IBAN in its paper form. Separators people put between
// the groups (blanks, hyphens, dots, with their Unicode look-alikes) are dropped and full-width
// forms read as ASCII; every other character makes the text not an account, so nothing that merely
// contains an account is taken for one.

#include "core/compte.h"

#include "core/ccc.h"
#include "core/registre_iban.h"
#include "core/text.h"

#include <algorithm>
#include <array>

namespace mdlFuncions {

namespace {

constexpr std::size_t digitsIBAN = 2 + digitsCCC; // the check digits, then the account

// What the reader makes of a character: dropped (a separator), refused, or kept
// as an upper-case letter or a digit.
constexpr char16_t deixar = u' ';
constexpr char16_t refusar = 0;

// Nearly every character of a cell is ASCII, so those are looked up.
constexpr auto taulaASCII = [] {
    std::array<char16_t, 128> t{};
    for (char16_t c = 0; c < 128; ++c) {
        if (text::isBlank(c) || text::isHyphen(c) || c == u'.')
            t[c] = deixar;
        else if (text::isDigit(c) || (c >= u'A' && c <= u'Z'))
            t[c] = c;
        else if (c >= u'a' && c <= u'z')
            t[c] = static_cast<char16_t>(c - u'a' + u'A');
    }
    return t;
}();

// Copied from a PDF or a word processor, digits and letters may come full-width,
// and blanks and hyphens as any of their look-alikes.
char16_t llegir(char16_t c) {
    c = text::fromFullWidth(c);
    if (c < taulaASCII.size())
        return taulaASCII[c];
    return text::isBlank(c) || text::isHyphen(c) ? deixar : refusar;
}

} // namespace

std::u16string formatPaper(std::u16string_view iban) {
    std::u16string paper(midaPaper(iban.size()), u' ');
    formatPaper(iban, paper.data());
    return paper;
}

Lectura llegirCompteOIBAN(std::u16string_view text) {
    // At most "IBAN" and the longest IBAN survive; anything longer is not an
    // account, so a fixed buffer is enough and a huge paste costs one pass.
    // The last place only tells that there is one character too many. Where the
    // separators fall differs from row to row, so a separator is written and then
    // not counted, rather than branched around.
    char16_t net[4 + midaMaximaIBAN + 1];
    std::size_t n = 0;
    for (char16_t c : text) {
        c = llegir(c);
        if (c == refusar)
            return {};
        net[n] = c;
        n += c != deixar;
        if (n == std::size(net))
            return {};
    }
    std::u16string_view resta(net, n);
    if (resta.starts_with(u"IBAN"))
        resta.remove_prefix(4);

    Lectura lectura;
    if (resta.size() == digitsCCC && text::allDigits(resta)) {
        lectura.tipus = Lectura::Tipus::compte;
    } else if (resta.starts_with(u"ES")) {
        if (resta.size() != 2 + digitsIBAN || !text::allDigits(resta.substr(2)))
            return {};
        lectura.tipus = Lectura::Tipus::ibanEspanyol;
    } else if (resta.size() > prefixIBAN && resta.size() <= midaMaximaIBAN &&
               cercarPaisIBAN(resta.substr(0, 2)) && text::allDigits(resta.substr(2, 2))) {
        lectura.tipus = Lectura::Tipus::ibanEstranger;
    } else {
        return {};
    }
    std::copy(resta.begin(), resta.end(), lectura.caracters.begin());
    lectura.mida = resta.size();
    return lectura;
}

std::optional<CompteLlegit> llegirCompte(std::u16string_view text) {
    const Lectura lectura = llegirCompteOIBAN(text);
    if (lectura.ccc().empty())
        return std::nullopt;
    return CompteLlegit{std::u16string(lectura.ccc()), std::u16string(lectura.digitsIBAN())};
}

} // namespace mdlFuncions
