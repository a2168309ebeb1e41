// Feeds arbitrary UTF-16 text (the input's bytes taken in pairs) to every core
// routine and checks what must hold for any text; the same bytes also make an
// account for the one-typo suggestion, and go as UTF-8 through libbrelvoxa's entry
// point. The sanitizers catch the rest: out-of-bounds reads (the input's buffer is
// exactly its size), overflow, an exception escaping.

#include "core/ccc.h"
#include "core/comprovacio.h"
#include "core/compte.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/registre_iban.h"
#include "core/suggeriment.h"
#include "core/text.h"
#include "fuzz/check.h"

#include "brelvoxa.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

bool onlyDigits(std::u16string_view s) {
    return s.find_first_not_of(u"0123456789") == std::u16string_view::npos;
}

void checkText(std::u16string_view text) {
    const auto trimmed = text::trim(text);
    CHECK(trimmed.size() <= text.size());
    CHECK(trimmed.empty() || (trimmed.front() != u' ' && trimmed.back() != u' '));
    CHECK(text.find(trimmed) != std::u16string_view::npos);

    const double v = text::leadingNumber(text);
    CHECK(v == v); // never NaN
    const auto v16 = text::toInt16(v);
    const auto v32 = text::toInt32(v);
    CHECK(!v16 || (v32 && *v32 == *v16));
}

// The text as MOD 97-10 reads it: letters of either case become 10 to 35, digits
// stay, the rest is dropped.
std::u16string asDigits(std::u16string_view text) {
    std::u16string digits;
    for (char16_t c : text) {
        if (c >= u'a' && c <= u'z')
            c = static_cast<char16_t>(c - u'a' + u'A');
        if (c >= u'A' && c <= u'Z') {
            digits += static_cast<char16_t>(u'0' + (c - u'A' + 10) / 10);
            digits += static_cast<char16_t>(u'0' + (c - u'A' + 10) % 10);
        } else if (c >= u'0' && c <= u'9') {
            digits += c;
        }
    }
    return digits;
}

void checkAccount(std::u16string_view compte, std::u16string_view pais) {
    CHECK(!mdlFuncions::validarCCC(compte) || compte.size() == 20);

    std::u16string joined(compte);
    joined += pais;
    joined += u"00";
    const auto n = asDigits(joined);
    CHECK(onlyDigits(n) && n.size() <= 2 * joined.size());

    // The whole number, digit by digit, must agree with the chunked computation.
    int r = 0;
    for (char16_t d : n)
        r = (r * 10 + (d - u'0')) % 97;
    const auto digits = mdlFuncions::calcularDigitsIBAN(compte, pais);
    CHECK(digits.size() == 2 && onlyDigits(digits));
    const int value = (digits[0] - u'0') * 10 + (digits[1] - u'0');
    CHECK(value >= 2 && value <= 98 && value == 98 - r);
}

// The paper form only adds blanks.
void checkPaper(std::u16string_view text) {
    const auto paper = mdlFuncions::formatPaper(text);
    CHECK(paper.size() == text.size() + (text.empty() ? 0 : (text.size() - 1) / 4));
}

// Any text: the check never fails to answer, and a valid IBAN is its country's
// length with the check digits the computation gives.
void checkIban(std::u16string_view iban) {
    const auto validesa = mdlFuncions::validarIBAN(iban);
    if (validesa != mdlFuncions::ValidesaIBAN::valid)
        return;
    const auto* pais = mdlFuncions::cercarPaisIBAN(iban.substr(0, 2));
    CHECK(pais && iban.size() == static_cast<std::size_t>(pais->llargada));
    CHECK(mdlFuncions::calcularDigitsIBAN(iban.substr(4), iban.substr(0, 2)) == iban.substr(2, 2));
}

// Whatever the text, each kind of reading has its shape.
void checkAnyReading(std::u16string_view text) {
    using T = mdlFuncions::Lectura::Tipus;
    const auto lectura = mdlFuncions::llegirCompteOIBAN(text);
    const auto llegit = lectura.text();
    for (char16_t c : llegit)
        CHECK(text::isDigit(c) || (c >= u'A' && c <= u'Z'));
    switch (lectura.tipus) {
    case T::res:
        CHECK(llegit.empty());
        break;
    case T::compte:
        CHECK(llegit.size() == 20 && onlyDigits(llegit));
        break;
    case T::ibanEspanyol:
        CHECK(llegit.size() == 24 && llegit.starts_with(u"ES") && onlyDigits(llegit.substr(2)));
        break;
    case T::ibanEstranger:
        CHECK(llegit.size() > 4 && llegit.size() <= 34 && !llegit.starts_with(u"ES") &&
              mdlFuncions::cercarPaisIBAN(llegit.substr(0, 2)) && onlyDigits(llegit.substr(2, 2)));
        checkIban(llegit);
        break;
    }
}

// Whatever the text, its check gives an IBAN exactly when the status is right or
// only the national digits are wrong, an entity only to a right Spanish account, a
// fault exactly when it is no right account, and a suggestion only to a failing one
// that passes every check; and the same from its bytes when it is ASCII.
void checkAccountCheck(std::u16string_view text) {
    using mdlFuncions::Estat;
    using mdlFuncions::ValidesaIBAN;
    mdlFuncions::Comprovacio c;
    mdlFuncions::comprovarCompte(text, c);
    const bool nacionals = c.estat == Estat::digitsNacionalsIncorrectes;
    CHECK(c.iban().empty() != (mdlFuncions::esCorrecte(c.estat) || nacionals));
    CHECK((c.defecte == mdlFuncions::Defecte::cap) == mdlFuncions::esCorrecte(c.estat));
    CHECK((c.entitat != nullptr) == (c.estat == Estat::correcte));
    CHECK(c.suggeriment.iban().empty() || c.estat == Estat::digitsControlIncorrectes ||
          c.estat == Estat::digitsIBANIncorrectes);
    CHECK(c.suggeriment.iban().empty() ||
          mdlFuncions::validarIBAN(c.suggeriment.iban()) == ValidesaIBAN::valid);
    CHECK(c.iban().empty() ||
          mdlFuncions::validarIBAN(c.iban()) ==
              (nacionals ? ValidesaIBAN::digitsNacionals : ValidesaIBAN::valid));
    if (std::any_of(text.begin(), text.end(), [](char16_t u) { return u >= 0x80; }))
        return;
    const std::string bytes(text.begin(), text.end());
    mdlFuncions::Comprovacio b;
    mdlFuncions::comprovarCompte(bytes, b);
    CHECK(b.estat == c.estat && b.iban() == c.iban() &&
          b.suggeriment.iban() == c.suggeriment.iban());
}

// One substitution, or one swap of two adjacent different characters.
bool oneTypoApart(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    std::size_t first = a.size(), count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) {
            first = std::min(first, i);
            ++count;
        }
    return count == 1 || (count == 2 && first + 1 < a.size() && a[first] == b[first + 1] &&
                          a[first + 1] == b[first]);
}

// The rule the slow way, with the public checks: how many one-typo neighbours of
// the typed digits (check digits, if any, then the account) pass.
int slowCandidates(const std::u16string& typed, bool iban) {
    int count = 0;
    const auto judge = [&](const std::u16string& v) {
        const std::u16string_view ccc = std::u16string_view(v).substr(v.size() - 20);
        count += mdlFuncions::validarCCC(ccc) &&
                 (!iban || mdlFuncions::calcularDigitsIBAN(ccc, u"ES") == v.substr(0, 2)) &&
                 !mdlFuncions::obtenirBIC(ccc.substr(0, 4)).empty();
    };
    for (std::size_t i = 0; i < typed.size(); ++i) {
        std::u16string v = typed;
        for (char16_t c = u'0'; c <= u'9'; ++c)
            if (c != typed[i]) {
                v[i] = c;
                judge(v);
            }
        if (i + 1 < typed.size() && typed[i] != typed[i + 1]) {
            v = typed;
            std::swap(v[i], v[i + 1]);
            judge(v);
        }
    }
    return count;
}

// Digits from the bytes, or (second flag) a right account of a listed entity with
// one typo at a place the bytes choose; the first flag says whether it came as an
// IBAN. The candidates are those the rule counts; a suggestion, when made, passes
// every check and is one typo away.
void checkSuggestion(const std::uint8_t* data, std::size_t size) {
    if (size < 24)
        return;
    const bool iban = data[22] & 1;
    std::u16string ccc(20, u'0');
    for (std::size_t i = 0; i < 20; ++i)
        ccc[i] = static_cast<char16_t>(u'0' + data[2 + i] % 10);
    std::u16string digits{char16_t(u'0' + data[0] % 10), char16_t(u'0' + data[1] % 10)};
    if (data[22] & 2) {
        const auto entitats = mdlFuncions::entitatsDirectori();
        int codi = entitats[(data[0] * 256u + data[1]) % entitats.size()].codi;
        for (std::size_t i = 4; i-- > 0; codi /= 10)
            ccc[i] = static_cast<char16_t>(u'0' + codi % 10);
        for (int dc = 0; dc < 100 && !mdlFuncions::validarCCC(ccc); ++dc) {
            ccc[8] = static_cast<char16_t>(u'0' + dc / 10);
            ccc[9] = static_cast<char16_t>(u'0' + dc % 10);
        }
        digits = mdlFuncions::calcularDigitsIBAN(ccc, u"ES");
        std::u16string typed = (iban ? digits : u"") + ccc;
        const std::size_t at = data[23] % typed.size();
        if (data[22] & 4 && at + 1 < typed.size())
            std::swap(typed[at], typed[at + 1]);
        else
            typed[at] = static_cast<char16_t>(u'0' + (typed[at] - u'0' + 1 + data[23] % 9) % 10);
        ccc = typed.substr(typed.size() - 20);
        digits = typed.substr(0, typed.size() - 20);
    }
    if (!iban)
        digits.clear();

    const auto s = mdlFuncions::suggerirCompte(ccc, digits);
    CHECK(s.candidats >= 0 && (s.candidats == 1) == !s.iban().empty());
    const bool passes = mdlFuncions::validarCCC(ccc) &&
                        (!iban || mdlFuncions::calcularDigitsIBAN(ccc, u"ES") == digits);
    CHECK(s.candidats == (passes ? 0 : std::min(slowCandidates(digits + ccc, iban), 2)));
    if (s.iban().empty())
        return;
    const std::u16string_view suggested = s.iban();
    CHECK(mdlFuncions::validarIBAN(suggested) == mdlFuncions::ValidesaIBAN::valid);
    CHECK(mdlFuncions::validarCCC(suggested.substr(4)));
    CHECK(!mdlFuncions::obtenirBIC(suggested.substr(4, 4)).empty());
    CHECK(iban ? oneTypoApart(digits + ccc, suggested.substr(2))
               : oneTypoApart(ccc, suggested.substr(4)));
}

// UTF-8 decoded the plain way, each sequence whole and then its value judged: a
// character outside the Basic Multilingual Plane becomes U+FFFF, which no reader
// takes, as the core's reading does; false for bytes that are not UTF-8.
bool decodeUtf8(const std::uint8_t* p, std::size_t n, std::u16string& out) {
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t b = p[i];
        const std::size_t len = b < 0x80         ? 1
                                : (b >> 5) == 6  ? 2
                                : (b >> 4) == 14 ? 3
                                : (b >> 3) == 30 ? 4
                                                 : 0;
        if (len == 0 || i + len > n)
            return false;
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        for (std::size_t k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            c = c << 6 | (p[i + k] & 0x3F);
        }
        constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < least[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out += c > 0xFFFF ? u'\uFFFF' : static_cast<char16_t>(c);
        i += len;
    }
    return true;
}

std::string toUtf8(std::u16string_view text) {
    std::string bytes;
    char utf8[4];
    for (const char16_t c : text)
        bytes.append(utf8, text::toUtf8(c, utf8));
    return bytes;
}

// The library on the bytes as UTF-8 gives what the core gives the same text decoded
// once the ASCII white space around it is gone, and bytes that are not UTF-8 are no
// account.
void checkLibrary(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    brv_result r;
    const brv_status s = brv_check(text, size, &r);
    CHECK(s == r.status && s >= 0 && s < BRV_STATUS_COUNT);
    CHECK((BRV_IS_CORRECT(s) || s == BRV_WRONG_NATIONAL_DIGITS) == (r.iban[0] != '\0'));
    CHECK((brv_check_fault(text, size) == BRV_FAULT_NONE) == BRV_IS_CORRECT(s));
    char compact[BRV_IBAN_SIZE];
    const std::size_t n = brv_compact(text, size, compact);
    CHECK(n == std::strlen(compact) &&
          (!BRV_IS_CORRECT(s) || (n > 0 && std::strstr(r.iban, compact))));

    const auto space = [](std::uint8_t b) { return b == ' ' || (b >= '\t' && b <= '\r'); };
    while (size > 0 && space(data[size - 1]))
        --size;
    while (size > 0 && space(*data)) {
        ++data;
        --size;
    }
    std::u16string decoded;
    if (!decodeUtf8(data, size, decoded)) {
        CHECK(s == BRV_NOT_AN_ACCOUNT && n == 0);
        return;
    }
    mdlFuncions::Comprovacio c;
    mdlFuncions::comprovarCompte(decoded, c);
    CHECK(toUtf8(mdlFuncions::textEstat(c.estat)) == brv_status_text(s));
    CHECK(toUtf8(c.iban()) == r.iban);
    CHECK(toUtf8(c.entitat ? c.entitat->nom : u"") == r.name);
    const auto suggested = c.suggeriment.iban();
    CHECK(toUtf8(suggested.empty() ? u"" : mdlFuncions::formatPaper(suggested)) == r.suggestion);
}

void checkDirectory(std::u16string_view codi) {
    const auto bic = mdlFuncions::obtenirBIC(codi);
    CHECK(bic.empty() || (bic.size() == 11 && codi.size() == 4));
    const auto nom = mdlFuncions::obtenirNom(codi);
    CHECK(nom.size() <= 50);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool filled = (mdlFuncions::carregarEntitats(), true);
    (void)filled;

    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * sizeof(char16_t));

    checkText(text);
    // The first unit chooses where the account ends and the country code begins.
    const std::size_t split = text.empty() ? 0 : text[0] % (text.size() + 1);
    const std::u16string_view view(text);
    checkAccount(view.substr(0, split), view.substr(split));
    checkDirectory(text);
    checkPaper(text);
    checkAnyReading(text);
    checkAccountCheck(text);
    checkIban(text);
    checkSuggestion(data, size);
    checkLibrary(data, size);
    return 0;
}
