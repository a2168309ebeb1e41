#include "core/control_nacional.h"
#include "core/iban.h"
#include "core/registre_iban.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

using namespace mdlFuncions;

namespace {

// An IBAN of the country whose BBAN is random characters of the kinds its row asks for.
std::u16string ibanAtzar(const PaisIBAN& pais, std::mt19937& atzar) {
    std::u16string bban;
    for (char tipus : pais.bban) {
        const bool lletra = tipus == 'a' || (tipus == 'c' && atzar() % 2 == 0);
        bban += lletra ? static_cast<char16_t>(u'A' + atzar() % 26)
                       : static_cast<char16_t>(u'0' + atzar() % 10);
    }
    return std::u16string(pais.pais) + calcularDigitsIBAN(bban, pais.pais) + bban;
}

// Another character of the same kind: a digit for a digit, a letter for a letter.
char16_t unAltre(char16_t c, std::mt19937& atzar) {
    const bool digit = c >= u'0' && c <= u'9';
    const char16_t primer = digit ? u'0' : u'A';
    const int mida = digit ? 10 : 26;
    return static_cast<char16_t>(primer + (c - primer + 1 + atzar() % (mida - 1)) % mida);
}

} // namespace

// Lengths anyone can check against a bank statement (the IBANs below check more).
TEST(Registre, holds_the_well_known_countries_with_their_lengths) {
    const std::tuple<std::u16string_view, int> rows[] = {
        {u"PT", 25}, {u"IT", 27}, {u"NL", 18}, {u"BE", 16}, {u"CH", 21}, {u"AT", 20},
        {u"NO", 15}, {u"MT", 31}, {u"LC", 32}, {u"RU", 33}, {u"SE", 24}, {u"HN", 28},
    };
    for (const auto& [pais, llargada] : rows) {
        const PaisIBAN* fila = cercarPaisIBAN(pais);
        ASSERT_NE(fila, nullptr) << std::string(pais.begin(), pais.end());
        EXPECT_EQ(fila->llargada, llargada) << std::string(pais.begin(), pais.end());
    }
    for (const std::u16string_view codi :
         {u"XX", u"AA", u"ZZ", u"pt", u"P", u"PTE", u"", u"P\u00C7"})
        EXPECT_EQ(cercarPaisIBAN(codi), nullptr) << std::string(codi.begin(), codi.end());
}

// One IBAN per country, built from its row, and the same with one character
// changed: MOD 97-10 catches every single substitution. The random BBAN passes a
// national check only by chance.
TEST(Registre, every_country_accepts_a_built_iban_and_refuses_it_with_one_character_changed) {
    std::mt19937 atzar(20261207);
    for (const PaisIBAN& pais : registreIBAN) {
        const std::string nom(pais.pais.begin(), pais.pais.end());
        const std::u16string iban = ibanAtzar(pais, atzar);
        ASSERT_EQ(iban.size(), static_cast<std::size_t>(pais.llargada)) << nom;
        const ValidesaIBAN validesa = validarIBAN(iban);
        EXPECT_TRUE(validesa == ValidesaIBAN::valid ||
                    (controlNacional(pais) && validesa == ValidesaIBAN::digitsNacionals))
            << nom;

        std::u16string canviat = iban;
        const std::size_t lloc = 4 + atzar() % (iban.size() - 4);
        canviat[lloc] = unAltre(canviat[lloc], atzar);
        EXPECT_EQ(validarIBAN(canviat), ValidesaIBAN::digitsIncorrectes) << nom << " at " << lloc;
        canviat = iban;
        canviat[3] = unAltre(canviat[3], atzar);
        EXPECT_EQ(validarIBAN(canviat), ValidesaIBAN::digitsIncorrectes) << nom << " check digit";
    }
}

// The IBANs people quote, and the ways an IBAN can be wrong.
TEST(Registre, tells_a_right_iban_an_unknown_country_and_a_wrong_shape) {
    const std::tuple<const char*, std::u16string_view, ValidesaIBAN> rows[] = {
        {"empty", u"", ValidesaIBAN::paisDesconegut},
        {"one_letter", u"D", ValidesaIBAN::paisDesconegut},
        {"unknown_country", u"XX89370400440532013000", ValidesaIBAN::paisDesconegut},
        {"lower_case_country", u"de89370400440532013000", ValidesaIBAN::paisDesconegut},
        {"country_alone", u"DE", ValidesaIBAN::llargada},
        {"one_short", u"DE8937040044053201300", ValidesaIBAN::llargada},
        {"one_long", u"DE893704004405320130000", ValidesaIBAN::llargada},
        {"letter_in_check_digits", u"DE8A370400440532013000", ValidesaIBAN::malFormat},
        {"letter_where_digits_go", u"DE89370400440532013O00", ValidesaIBAN::malFormat},
        {"digit_where_letters_go", u"GB29NW1K60161331926819", ValidesaIBAN::malFormat},
        {"lower_case_where_either_goes", u"FR1420041010050500013m02606", ValidesaIBAN::malFormat},
        {"blank_inside", u"DE89 37040044053201300", ValidesaIBAN::malFormat},
        {"german", u"DE89370400440532013000", ValidesaIBAN::valid},
        {"french_with_a_letter", u"FR1420041010050500013M02606", ValidesaIBAN::valid},
        {"british", u"GB29NWBK60161331926819", ValidesaIBAN::valid},
        {"spanish", u"ES9121000418450200051332", ValidesaIBAN::valid},
        // A long Hungarian account whose last eight digits but its check are zeros is
        // not the short form.
        {"hungarian_long_account_of_zeros", u"HU09117730161234567000000006", ValidesaIBAN::valid},
        {"digits_swapped", u"DE89370400440532031000", ValidesaIBAN::digitsIncorrectes},
        // 00, 01 and 99 pass the remainder test where 97, 98 and 02 are right, yet no
        // IBAN carries them.
        {"lowest_check_digits", u"DE02370400440000000024", ValidesaIBAN::valid},
        {"highest_check_digits", u"DE98370400440000000042", ValidesaIBAN::valid},
        {"00_for_97", u"DE00370400440000000060", ValidesaIBAN::digitsIncorrectes},
        {"01_for_98", u"DE01370400440000000042", ValidesaIBAN::digitsIncorrectes},
        {"99_for_02", u"DE99370400440000000024", ValidesaIBAN::digitsIncorrectes},
    };
    for (const auto& [name, iban, validesa] : rows)
        EXPECT_EQ(validarIBAN(iban), validesa) << name;
}
