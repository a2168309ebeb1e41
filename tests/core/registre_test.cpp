#include "core/compte.h"
#include "core/iban.h"
#include "core/registre_iban.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

using namespace mdlFuncions;

namespace {

// A BBAN of random characters of the kinds the registry row asks for.
std::u16string bbanAtzar(const PaisIBAN& pais, std::mt19937& atzar) {
    std::u16string bban;
    for (char tipus : pais.bban) {
        const bool lletra = tipus == 'a' || (tipus == 'c' && atzar() % 2 == 0);
        bban += lletra ? static_cast<char16_t>(u'A' + atzar() % 26)
                       : static_cast<char16_t>(u'0' + atzar() % 10);
    }
    return bban;
}

std::u16string ibanAtzar(const PaisIBAN& pais, std::mt19937& atzar) {
    const std::u16string bban = bbanAtzar(pais, atzar);
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

// Lengths anyone can check against a bank statement.
TEST(Registre, holds_the_well_known_countries_with_their_lengths) {
    const std::tuple<std::u16string_view, int> rows[] = {
        {u"DE", 22}, {u"FR", 27}, {u"GB", 22}, {u"PT", 25}, {u"IT", 27},
        {u"NL", 18}, {u"BE", 16}, {u"ES", 24}, {u"CH", 21}, {u"AT", 20},
        {u"NO", 15}, {u"MT", 31}, {u"LC", 32}, {u"RU", 33}, {u"SE", 24},
    };
    for (const auto& [pais, llargada] : rows) {
        const PaisIBAN* fila = cercarPaisIBAN(pais);
        ASSERT_NE(fila, nullptr) << std::string(pais.begin(), pais.end());
        EXPECT_EQ(fila->llargada, llargada) << std::string(pais.begin(), pais.end());
    }
    EXPECT_EQ(cercarPaisIBAN(u"ES")->format, "4!n4!n1!n1!n10!n");
    EXPECT_EQ(cercarPaisIBAN(u"ES")->bban, "nnnnnnnnnnnnnnnnnnnn");
    for (std::u16string_view desconegut : {u"XX", u"US", u"es", u"E", u"", u"ESP"})
        EXPECT_EQ(cercarPaisIBAN(desconegut), nullptr);
}

// One valid IBAN per country, built from its row, and the same with one character
// changed: MOD 97-10 catches every single substitution.
TEST(Registre, every_country_accepts_a_built_iban_and_refuses_it_with_one_character_changed) {
    std::mt19937 atzar(20261207);
    for (const PaisIBAN& pais : registreIBAN) {
        const std::string nom(pais.pais.begin(), pais.pais.end());
        const std::u16string iban = ibanAtzar(pais, atzar);
        ASSERT_EQ(iban.size(), static_cast<std::size_t>(pais.llargada)) << nom;
        EXPECT_EQ(validarIBAN(iban), ValidesaIBAN::valid) << nom;

        std::u16string canviat = iban;
        const std::size_t lloc = 4 + atzar() % (iban.size() - 4);
        canviat[lloc] = unAltre(canviat[lloc], atzar);
        EXPECT_EQ(validarIBAN(canviat), ValidesaIBAN::digitsIncorrectes) << nom << " at " << lloc;
        canviat = iban;
        canviat[3] = unAltre(canviat[3], atzar);
        EXPECT_EQ(validarIBAN(canviat), ValidesaIBAN::digitsIncorrectes) << nom << " check digit";
    }
}

TEST(Registre, the_ibans_people_quote_are_valid) {
    for (std::u16string_view text :
         {u"FR14 2004 1010 0505 0001 3M02 606", u"DE89 3704 0044 0532 0130 00",
          u"GB29 NWBK 6016 1331 9268 19", u"ES91 2100 0418 4502 0005 1332"}) {
        const Lectura lectura = llegirCompteOIBAN(text);
        EXPECT_EQ(validarIBAN(lectura.text()), ValidesaIBAN::valid)
            << std::string(text.begin(), text.end());
    }
}

TEST(Registre, tells_an_unknown_country_from_a_wrong_shape) {
    const std::tuple<const char*, std::u16string_view, ValidesaIBAN> rows[] = {
        {"empty", u"", ValidesaIBAN::paisDesconegut},
        {"one_letter", u"D", ValidesaIBAN::paisDesconegut},
        {"unknown_country", u"XX89370400440532013000", ValidesaIBAN::paisDesconegut},
        {"lower_case_country", u"de89370400440532013000", ValidesaIBAN::paisDesconegut},
        {"country_alone", u"DE", ValidesaIBAN::malFormat},
        {"one_short", u"DE8937040044053201300", ValidesaIBAN::malFormat},
        {"one_long", u"DE893704004405320130000", ValidesaIBAN::malFormat},
        {"letter_in_check_digits", u"DE8A370400440532013000", ValidesaIBAN::malFormat},
        {"letter_where_digits_go", u"DE89370400440532013O00", ValidesaIBAN::malFormat},
        {"digit_where_letters_go", u"GB29NW1K60161331926819", ValidesaIBAN::malFormat},
        {"lower_case_where_either_goes", u"FR1420041010050500013m02606", ValidesaIBAN::malFormat},
        {"blank_inside", u"DE89 370400440532013000", ValidesaIBAN::malFormat},
        {"right", u"DE89370400440532013000", ValidesaIBAN::valid},
        {"digits_swapped", u"DE89370400440532031000", ValidesaIBAN::digitsIncorrectes},
    };
    for (const auto& [name, iban, validesa] : rows)
        EXPECT_EQ(validarIBAN(iban), validesa) << name;
}

// 00, 01 and 99 pass the remainder test where 97, 98 and 02 are right, yet no IBAN
// carries them.
TEST(Registre, check_digits_00_01_and_99_are_refused_even_when_the_remainder_agrees) {
    std::mt19937 atzar(97);
    const PaisIBAN& de = *cercarPaisIBAN(u"DE");
    const std::tuple<std::u16string_view, std::u16string_view> rows[] = {
        {u"97", u"00"}, {u"98", u"01"}, {u"02", u"99"}};
    for (const auto& [dret, igual] : rows) {
        std::u16string iban;
        do
            iban = ibanAtzar(de, atzar);
        while (iban.substr(2, 2) != dret);
        EXPECT_EQ(validarIBAN(iban), ValidesaIBAN::valid);
        iban.replace(2, 2, igual);
        EXPECT_EQ(validarIBAN(iban), ValidesaIBAN::digitsIncorrectes);
    }
}
