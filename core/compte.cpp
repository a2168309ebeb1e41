// Reading a whole account (domestic, or any registry country's IBAN) out of a text
// a person pasted or typed, and writing an IBAN in its paper form. Separators people put between
// the groups (blanks, hyphens, dots, with their Unicode look-alikes) are dropped and full-width
// forms read as ASCII; every other character makes the text not an account, so nothing that merely
// contains an account is taken for one.

#include "core/compte.h"

#include "core/ccc.h"
#include "core/registre_iban.h"
#include "core/text.h"

#include <array>

namespace mdlFuncions {

namespace {

constexpr std::size_t digitsIBAN = 2 + digitsCCC; // the check digits, then the account
constexpr std::u16string_view paraulaIBAN = u"IBAN";

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

// Bytes are read as ASCII only.
char16_t llegir(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < taulaASCII.size() ? taulaASCII[b] : refusar;
}

// What kind of account the characters kept, "IBAN" taken off, are; res for none.
Lectura::Tipus tipusDe(std::u16string_view resta) {
    if (resta.size() == digitsCCC && text::allDigits(resta))
        return Lectura::Tipus::compte;
    if (resta.starts_with(paisEspanya))
        return resta.size() == 2 + digitsIBAN && text::allDigits(resta.substr(2))
                   ? Lectura::Tipus::ibanEspanyol
                   : Lectura::Tipus::res;
    if (resta.size() > prefixIBAN && resta.size() <= midaMaximaIBAN &&
        cercarPaisIBAN(resta.substr(0, 2)) && text::allDigits(resta.substr(2, 2)))
        return Lectura::Tipus::ibanEstranger;
    return Lectura::Tipus::res;
}

// Every return hands back the one object, so that it is built in the caller's place.
// Text is a view of bytes or of UTF-16 units, or text::Utf8.
template <class Text> Lectura llegirText(const Text& text) {
    // At most "IBAN" and the longest IBAN survive; anything longer is not an
    // account, so a fixed buffer is enough and a huge paste costs one pass.
    // Where the separators fall differs from row to row, so a separator is
    // written and then not counted, rather than branched around.
    Lectura lectura;
    auto& net = lectura.caracters;
    std::size_t n = 0;
    for (const auto ch : text) {
        const char16_t c = llegir(ch);
        if (c == refusar)
            return lectura;
        net[n] = c;
        n += c != deixar;
        if (n == net.size())
            return lectura;
    }
    const std::size_t inici =
        std::u16string_view(net.data(), n).starts_with(paraulaIBAN) ? paraulaIBAN.size() : 0;
    lectura.tipus = tipusDe(std::u16string_view(net.data() + inici, n - inici));
    if (lectura.tipus != Lectura::Tipus::res) {
        lectura.inici = static_cast<std::uint8_t>(inici);
        lectura.fi = static_cast<std::uint8_t>(n);
    }
    return lectura;
}

} // namespace

std::u16string formatPaper(std::u16string_view iban) {
    std::u16string paper(midaPaper(iban.size()), u' ');
    formatPaper(iban, paper.data());
    return paper;
}

Lectura llegirCompteOIBAN(std::u16string_view text) {
    return llegirText(text);
}

Lectura llegirCompteOIBAN(std::string_view ascii) {
    return llegirText(ascii);
}

Lectura llegirCompteOIBAN(text::Utf8 utf8) {
    return llegirText(utf8);
}

Defecte defecteLectura(text::Utf8 utf8) {
    // What the reader keeps, counted past the longest account, "IBAN" not taken off.
    std::array<char16_t, 4 + midaMaximaIBAN + 1> net{};
    std::size_t n = 0;
    for (const char16_t ch : utf8) {
        const char16_t c = llegir(ch);
        if (c == refusar)
            return Defecte::format;
        if (c != deixar && n < net.size())
            net[n++] = c;
    }
    std::u16string_view resta(net.data(), n);
    if (resta.starts_with(paraulaIBAN))
        resta.remove_prefix(paraulaIBAN.size());
    if (text::allDigits(resta))
        return Defecte::llargada;
    const bool pais = resta.size() >= 2 && !text::isDigit(resta[0]) && !text::isDigit(resta[1]);
    if (!pais || resta.size() < prefixIBAN || !text::allDigits(resta.substr(2, 2)))
        return Defecte::format;
    if (resta.starts_with(paisEspanya))
        return text::allDigits(resta.substr(2)) ? Defecte::llargada : Defecte::format;
    return cercarPaisIBAN(resta.substr(0, 2)) ? Defecte::llargada : Defecte::component;
}

} // namespace mdlFuncions
