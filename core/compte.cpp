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
        else if (text::isDigit(c) || text::isLetter(c))
            t[c] = text::toCapital(c);
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

// Why the characters kept, "IBAN" taken off, are no account when tipusDe finds none
// in them (Lectura::defecte).
Defecte defecteDe(std::u16string_view resta) {
    if (text::allDigits(resta))
        return Defecte::llargada;
    // Only capitals and digits are kept: two characters that are not digits are a country.
    const bool pais = resta.size() >= 2 && !text::isDigit(resta[0]) && !text::isDigit(resta[1]);
    if (!pais || resta.size() < prefixIBAN || !text::allDigits(resta.substr(2, 2)))
        return Defecte::format;
    if (resta.starts_with(paisEspanya))
        return text::allDigits(resta.substr(2)) ? Defecte::llargada : Defecte::format;
    return cercarPaisIBAN(resta.substr(0, 2)) ? Defecte::llargada : Defecte::component;
}

// The marks a spreadsheet writes around a number it keeps as text, '21001234... and
// ="21001234...", and the paper form's tag, IBAN: ES91..., each read only in its
// place: the apostrophe or the equals sign before anything else, the quotes just
// after that equals sign and after the account, the colon just after "IBAN".
class Marques {
public:
    // Whether c, which no account holds, is a mark where it stands, kept holding
    // the characters kept before it.
    template <class Char> bool accepta(Char ch, std::u16string_view kept) {
        const auto c = text::fromFullWidth(static_cast<char16_t>(ch));
        if ((c == u'\'' || c == u'=') && kept.empty() && forma_ == Forma::cap) {
            forma_ = c == u'=' ? Forma::igual : Forma::apostrof;
            return true;
        }
        if (c == u'"' && forma_ == Forma::igual && kept.empty()) {
            forma_ = Forma::obertes;
            return true;
        }
        if (c == u'"' && forma_ == Forma::obertes) {
            forma_ = Forma::tancades;
            tancament_ = kept.size();
            return true;
        }
        if (c == u':' && kept == paraulaIBAN && !dosPunts_)
            return dosPunts_ = true;
        return false;
    }
    // Whether the marks are whole: an equals sign's text quoted, nothing after it.
    bool senceres(std::size_t kept) const {
        return forma_ != Forma::igual && forma_ != Forma::obertes &&
               (forma_ != Forma::tancades || kept == tancament_);
    }

private:
    enum class Forma : std::uint8_t { cap, apostrof, igual, obertes, tancades };
    Forma forma_ = Forma::cap;
    bool dosPunts_ = false;
    std::size_t tancament_ = 0; // the characters kept when the quotes closed
};

template <class Text> Lectura llegirAmbMarques(const Text& text);

// Every return hands back the one object, so that it is built in the caller's place.
// A character no account holds sends the text to be read again with the marks
// (Marques), which so few texts carry that the first reading leaves them out.
// Text is a view of bytes or of UTF-16 units, or text::Utf8.
template <bool ambMarques = false, class Text> Lectura llegirText(const Text& text) {
    // At most "IBAN" and the longest IBAN survive; anything longer is not an
    // account, so a fixed buffer is enough and a huge paste costs one pass.
    // Where the separators fall differs from row to row, so a separator is
    // written and then not counted, rather than branched around.
    Lectura lectura;
    auto& net = lectura.caracters;
    std::size_t n = 0;
    [[maybe_unused]] Marques marques;
    for (const auto ch : text) {
        const char16_t c = llegir(ch);
        if (c == refusar) {
            if constexpr (!ambMarques)
                lectura = llegirAmbMarques(text);
            else if (marques.accepta(ch, std::u16string_view(net.data(), n)))
                continue;
            return lectura;
        }
        net[n] = c;
        n += c != deixar;
        // Too long for any account: what was kept says whether it is the length
        // alone that is wrong.
        if (n == net.size())
            break;
    }
    if constexpr (ambMarques)
        if (!marques.senceres(n))
            return lectura;
    // Compared in place: a call per row otherwise.
    const std::size_t inici =
        n >= paraulaIBAN.size() && std::char_traits<char16_t>::compare(
                                       net.data(), paraulaIBAN.data(), paraulaIBAN.size()) == 0
            ? paraulaIBAN.size()
            : 0;
    const std::u16string_view resta(net.data() + inici, n - inici);
    lectura.tipus = n == net.size() ? Lectura::Tipus::res : tipusDe(resta);
    if (lectura.tipus != Lectura::Tipus::res) {
        lectura.inici = static_cast<std::uint8_t>(inici);
        lectura.fi = static_cast<std::uint8_t>(n);
    } else {
        lectura.defecte = defecteDe(resta);
    }
    return lectura;
}

template <class Text> [[gnu::noinline]] Lectura llegirAmbMarques(const Text& text) {
    return llegirText<true>(text);
}

// The reading of nombreCientific, one character at a time.
template <class Text> bool llegirCientific(const Text& text) {
    enum class Part { abans, enter, decimals, e, signe, exponent, despres };
    Part part = Part::abans;
    unsigned xifres = 0, exponent = 0, xifresExponent = 0;
    for (const auto ch : text) {
        const char16_t c = static_cast<char16_t>(ch);
        const bool blanc = text::isBlank(c), xifra = text::isDigit(c);
        if (part == Part::abans && !blanc) {
            if (c < u'1' || c > u'9')
                return false;
            part = Part::enter;
            xifres = 1;
        } else if (part == Part::enter && (c == u'.' || c == u',')) {
            part = Part::decimals;
        } else if (part == Part::decimals && xifra) {
            ++xifres;
        } else if ((part == Part::enter || part == Part::decimals) && (c == u'E' || c == u'e')) {
            part = Part::e;
        } else if (part == Part::e && c == u'+') {
            part = Part::signe;
        } else if ((part == Part::e || part == Part::signe || part == Part::exponent) && xifra &&
                   xifresExponent < 3) {
            part = Part::exponent;
            exponent = exponent * 10 + (c - u'0');
            ++xifresExponent;
        } else if ((part == Part::exponent || part == Part::despres) && blanc) {
            part = Part::despres;
        } else if (!(part == Part::abans && blanc)) {
            return false;
        }
    }
    return (part == Part::exponent || part == Part::despres) && exponent >= 16 && exponent <= 19 &&
           xifres <= exponent;
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

bool nombreCientific(std::u16string_view text) {
    return llegirCientific(text);
}

bool nombreCientific(std::string_view ascii) {
    return llegirCientific(ascii);
}

bool nombreCientific(text::Utf8 utf8) {
    return llegirCientific(utf8);
}

Lectura llegirCompteOIBAN(text::Utf8 utf8) {
    return llegirText(utf8);
}

} // namespace mdlFuncions
