// Reading a whole account out of a text a person pasted or typed, and writing an
// IBAN in its paper form. Separators people put between the groups (blanks,
// hyphens, dots, with their Unicode look-alikes) are dropped and full-width forms
// read as ASCII; every other character makes the text not an account, so nothing
// that merely contains an account is taken for one.

#include "core/compte.h"

#include "core/ccc.h"
#include "core/text.h"

namespace mdlFuncions {

namespace {

constexpr std::size_t digitsIBAN = 2 + digitsCCC; // the check digits, then the account

bool separador(char16_t c) {
    return text::isBlank(c) || text::isHyphen(c) || c == u'.';
}

char16_t majuscula(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool comencaPer(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (majuscula(text[i]) != prefix[i])
            return false;
    return true;
}

} // namespace

std::u16string formatPaper(std::u16string_view iban) {
    std::u16string paper;
    paper.reserve(iban.size() + iban.size() / 4);
    for (std::size_t i = 0; i < iban.size(); ++i) {
        if (i > 0 && i % 4 == 0)
            paper += u' ';
        paper += iban[i];
    }
    return paper;
}

std::optional<CompteLlegit> llegirCompte(std::u16string_view text) {
    // At most "IBAN", "ES" and 22 digits survive; anything longer is not an account,
    // so a fixed buffer is enough and a huge paste costs one pass.
    char16_t net[4 + 2 + digitsIBAN];
    std::size_t n = 0;
    for (char16_t c : text) {
        // Copied from a PDF or a word processor, digits and letters may come
        // full-width, and blanks and hyphens as any of their look-alikes.
        c = text::fromFullWidth(c);
        if (separador(c))
            continue;
        if (n == std::size(net))
            return std::nullopt;
        net[n++] = c;
    }
    std::u16string_view resta(net, n);
    if (comencaPer(resta, u"IBAN"))
        resta.remove_prefix(4);

    CompteLlegit compte;
    if (resta.size() == 2 + digitsIBAN && comencaPer(resta, u"ES")) {
        resta.remove_prefix(2);
        compte.digitsIBAN = resta.substr(0, 2);
        resta.remove_prefix(2);
    } else if (resta.size() != digitsCCC) {
        return std::nullopt;
    }
    if (!text::allDigits(resta) || !text::allDigits(compte.digitsIBAN))
        return std::nullopt;
    compte.ccc = resta;
    return compte;
}

} // namespace mdlFuncions
