// Feeds arbitrary UTF-16 text (the input's bytes taken in pairs) to every core
// routine and checks what must hold for any text. The sanitizers catch the rest:
// out-of-bounds reads, overflow, an exception escaping.

#include "core/ccc.h"
#include "core/compte.h"
#include "core/entitats.h"
#include "core/iban.h"
#include "core/text.h"
#include "fuzz/check.h"

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

void checkTwoDigits(int v) {
    const auto s = text::twoDigits(v);
    const auto digits = std::u16string_view(s).substr(v < 0 ? 1 : 0);
    CHECK(digits.size() >= 2 && onlyDigits(digits));
}

void checkAccount(std::u16string_view compte, std::u16string_view pais) {
    CHECK(!mdlFuncions::validarCCC(compte) || compte.size() == 20);

    std::u16string joined(compte);
    joined += pais;
    joined += u"00";
    const auto n = mdlFuncions::convertirLletres(joined);
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

// Whatever the text, a reading is 20 ASCII digits with none or two check digits, and
// the paper form only adds blanks.
void checkReading(std::u16string_view text) {
    const auto llegit = mdlFuncions::llegirCompte(text);
    CHECK(!llegit || (llegit->ccc.size() == 20 && onlyDigits(llegit->ccc) &&
                      (llegit->digitsIBAN.empty() ||
                       (llegit->digitsIBAN.size() == 2 && onlyDigits(llegit->digitsIBAN)))));
    const auto paper = mdlFuncions::formatPaper(text);
    CHECK(paper.size() == text.size() + (text.empty() ? 0 : (text.size() - 1) / 4));
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
    if (size >= sizeof(int)) {
        int v = 0;
        std::memcpy(&v, data, sizeof v);
        checkTwoDigits(v);
    }
    // The first unit chooses where the account ends and the country code begins.
    const std::size_t split = text.empty() ? 0 : text[0] % (text.size() + 1);
    const std::u16string_view view(text);
    checkAccount(view.substr(0, split), view.substr(split));
    checkDirectory(text);
    checkReading(text);
    return 0;
}
