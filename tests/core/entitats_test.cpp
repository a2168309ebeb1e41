#include "core/entitats.h"

#include "tests/core/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

using mdlFuncions::carregarEntitats;
using mdlFuncions::obtenirBIC;
using mdlFuncions::obtenirNom;
using mdlFuncions::taulaBIC;
using mdlFuncions::taulaNoms;

const std::u16string_view oddTexts[] = {
    u"21",  u" 21",  u"0021", u"2.5",   u"-1",
    u"1E4", u"9E99", u"",     u"abcd",  u"\uFF12\uFF11\uFF10\uFF10",
    u"3",   u"0000", u"9096", u"02100", u"9E99 and more"};

std::u16string fourDigits(int code) {
    std::u16string s(4, u'0');
    for (int i = 3; i >= 0; --i, code /= 10)
        s[i] = static_cast<char16_t>(u'0' + code % 10);
    return s;
}

// Set by every test that fills the directory, since all the tests of a run share it.
bool filled = false;

void fill() {
    carregarEntitats();
    filled = true;
}

TEST(Directory, finds_nothing_before_it_is_filled) {
    if (filled)
        GTEST_SKIP() << "an earlier test in this process filled the directory";
    int found = 0;
    for (int code = 0; code < mdlFuncions::midaTaula; ++code) {
        found += !taulaBIC[code].empty() + !taulaNoms[code].empty();
        found += !obtenirBIC(fourDigits(code % 10000)).empty();
        found += !obtenirNom(fourDigits(code % 10000)).empty();
    }
    for (auto text : oddTexts)
        found += !obtenirBIC(text).empty() + !obtenirNom(text).empty();
    EXPECT_EQ(found, 0);
}

class FilledDirectory : public testing::Test {
protected:
    static void SetUpTestSuite() { fill(); }
};

std::vector<int> listedCodes() {
    std::vector<int> codes;
    for (int code = 0; code < mdlFuncions::midaTaula; ++code)
        if (!taulaBIC[code].empty() || !taulaNoms[code].empty())
            codes.push_back(code);
    return codes;
}

TEST_F(FilledDirectory, lists_282_codes_with_both_a_bic_and_a_name_in_their_ranges) {
    const auto codes = listedCodes();
    ASSERT_EQ(codes.size(), 282u);
    for (int code : codes) {
        EXPECT_FALSE(taulaBIC[code].empty()) << code;
        EXPECT_FALSE(taulaNoms[code].empty()) << code;
    }
    const auto countIn = [&](int from, int to) {
        return std::count_if(codes.begin(), codes.end(),
                             [&](int c) { return c >= from && c <= to; });
    };
    EXPECT_EQ(countIn(3, 488), 88);
    EXPECT_EQ(countIn(1000, 1545), 69);
    EXPECT_EQ(countIn(2000, 2108), 33);
    EXPECT_EQ(countIn(3001, 3682), 80);
    EXPECT_EQ(countIn(6814, 6852), 2);
    EXPECT_EQ(countIn(8233, 8835), 3);
    EXPECT_EQ(countIn(9000, 9096), 7);
}

TEST_F(FilledDirectory, holds_bics_of_iso_form_with_their_known_repetitions) {
    std::set<std::u16string> distinct;
    int generic = 0;
    int branchIsCode = 0;
    for (int code : listedCodes()) {
        const std::u16string& bic = taulaBIC[code];
        ASSERT_EQ(bic.size(), 11u) << code;
        EXPECT_TRUE(std::all_of(bic.begin(), bic.end(), [](char16_t c) {
            return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        })) << code;
        EXPECT_EQ(bic.substr(4, 2), u"ES") << code;
        distinct.insert(bic);
        generic += bic.ends_with(u"XXX");
        branchIsCode += bic.substr(8) == fourDigits(code).substr(1);
    }
    EXPECT_EQ(generic, 197);
    EXPECT_EQ(distinct.size(), 278u);
    EXPECT_EQ(branchIsCode, 82);
    EXPECT_EQ(taulaBIC[2080], u"CAGLESMMVIG");
    EXPECT_EQ(taulaBIC[3656], u"CSSOES2SFIN");
    EXPECT_EQ(taulaBIC[3682], u"GVCBESBBETB");
}

TEST_F(FilledDirectory, holds_names_of_up_to_50_units_with_only_three_letters_outside_ascii) {
    std::set<std::u16string> distinct;
    std::set<char16_t> nonAscii;
    int longest = 0;
    for (int code : listedCodes()) {
        const std::u16string& nom = taulaNoms[code];
        EXPECT_GE(nom.size(), 3u) << code;
        EXPECT_LE(nom.size(), 50u) << code;
        longest += nom.size() == 50;
        distinct.insert(nom);
        for (char16_t c : nom)
            if (c > 0x7F)
                nonAscii.insert(c);
    }
    EXPECT_EQ(longest, 11);
    EXPECT_EQ(distinct.size(), 280u);
    EXPECT_EQ(taulaNoms[486], taulaNoms[2086]);
    EXPECT_EQ(taulaNoms[1478], taulaNoms[1506]);
    EXPECT_EQ(nonAscii, (std::set<char16_t>{u'Ñ', u'Ó', u'Ü'}));
    // One UTF-16 unit for the Ü: the source's UTF-8 was converted, not copied.
    EXPECT_EQ(taulaNoms[1242], u"LANDESBANK BADEN-WÜRTTEMBERG");
    EXPECT_EQ(taulaNoms[1242].size(), 28u);
}

TEST_F(FilledDirectory, leaves_slot_zero_and_the_spare_slot_empty) {
    EXPECT_TRUE(taulaBIC[0].empty() && taulaNoms[0].empty());
    EXPECT_TRUE(taulaBIC[10000].empty() && taulaNoms[10000].empty());
}

TEST_F(FilledDirectory, holds_the_same_after_a_second_fill) {
    const mdlFuncions::Taula bics = taulaBIC;
    const mdlFuncions::Taula noms = taulaNoms;
    fill();
    EXPECT_TRUE(bics == taulaBIC);
    EXPECT_TRUE(noms == taulaNoms);
}

struct LookupRow : files::Fila {
    std::u16string codi;
    std::u16string_view bic;
    std::u16string_view entitat;
};

// Filled twice: the second fill must leave what the first stored.
class Lookup : public testing::TestWithParam<LookupRow> {
protected:
    static void SetUpTestSuite() {
        fill();
        fill();
    }
};

TEST_P(Lookup, gives_the_bic_for_four_characters_and_the_name_for_any_prefix) {
    EXPECT_EQ(obtenirBIC(GetParam().codi), GetParam().bic);
    EXPECT_EQ(obtenirNom(GetParam().codi), GetParam().entitat);
}

constexpr std::u16string_view condal = u"BANCO CONDAL, S.A.";
constexpr std::u16string_view depositos = u"BANCO DE DEPOSITOS, S.A.";

INSTANTIATE_TEST_SUITE_P(
    Rows, Lookup,
    testing::Values(
        LookupRow{{"caixabank"}, u"2100", u"CAIXESBBXXX", u"CAIXABANK, S.A."},
        LookupRow{{"banif"}, u"0086", u"NORTESMMXXX", u"BANCO BANIF, S.A."},
        LookupRow{{"bbv"}, u"0010", u"BBVAESMMXXX", u"BANCO BILBAO VIZCAYA"},
        LookupRow{{"argentaria"}, u"0104", u"BBVAESMMXXX", u"ARGENTARIA CAJA POSTAL"},
        LookupRow{{"bbva"}, u"0182", u"BBVAESMMXXX", u"BANCO BILBAO VIZCAYA ARGENTARIA, S.A."},
        LookupRow{{"cajatres_bank"}, u"0486", u"TRESES2BXXX", u"BANCO GRUPO CAJATRES, S.A."},
        LookupRow{{"cajatres_savings"}, u"2086", u"CECAESMM086", u"BANCO GRUPO CAJATRES, S.A."},
        LookupRow{{"ampersand"}, u"1488", u"PICTESMMXXX", u"PICTET & CIE (EUROPE), S.A., S.E."},
        LookupRow{{"fifty_units"},
                  u"1538",
                  u"ICBKESMMXXX",
                  u"INDUSTRIAL & COMMERCIAL BANK OF CHINA(EUROPE)SA,SE"},
        LookupRow{{"shortest_name"}, u"2090", u"CAAMES2AXXX", u"CAM"},
        LookupRow{
            {"apostrophes"}, u"3111", u"BCOEESMM111", u"CAIXA R. LA VALL 'S. ISIDRO', S.C.C.V."},
        LookupRow{
            {"enye"}, u"3119", u"CCRIES2A119", u"CAJA R. S. JAIME ALQUERIAS NIÑO PERDIDO S.C.C.V."},
        LookupRow{{"o_acute"}, u"3563", u"MISVESMMXXX", u"MAPFRE INVERSIÓN, SOC. VALORES"},
        LookupRow{{"bank_of_spain"}, u"9000", u"ESPBESMMXXX", u"BANCO DE ESPAÑA"},
        LookupRow{{"balencia"}, u"9093", u"XRVVESVVXXX", u"SDAD. RECTORA BOLSA BALENCIA"},
        LookupRow{{"highest_code"}, u"9096", u"IBRCESMMXXX", u"SOC.GEST.SIST.REG Y LIQ.VALORES"},
        LookupRow{{"lowest_code"}, u"0003", u"BDEPESM1XXX", depositos},
        LookupRow{{"two_digits_name_only"}, u"21", u"", condal},
        LookupRow{{"one_digit_name_only"}, u"3", u"", depositos},
        LookupRow{{"three_characters_with_blank"}, u" 21", u"", condal},
        LookupRow{{"leading_zeros"}, u"0021", u"BCNDESM1XXX", condal},
        LookupRow{{"blanks_around_four_characters"}, u" 21 ", u"BCNDESM1XXX", condal},
        LookupRow{{"tabs_around_four_characters"}, u"\t21\t", u"BCNDESM1XXX", condal},
        LookupRow{{"fraction_rounded_down"}, u"3.49", u"BDEPESM1XXX", depositos},
        LookupRow{{"half_to_even_not_up"}, u"10.5", u"BBVAESMMXXX", u"BANCO BILBAO VIZCAYA"},
        LookupRow{{"half_to_empty_slot"}, u"2.5", u"", u""},
        LookupRow{{"exponent"}, u"2E3", u"", u"CONFEDERACION ESPAÑOLA DE CAJAS DE AHORROS"},
        LookupRow{{"negative"}, u"-1", u"", u""}, LookupRow{{"ten_thousand"}, u"1E4", u"", u""},
        LookupRow{{"overflow_huge"}, u"9E99", u"", u""},
        LookupRow{{"overflow_just"}, u"4E4", u"", u""}, LookupRow{{"empty"}, u"", u"", u""},
        LookupRow{{"letters"}, u"abcd", u"", u""},
        LookupRow{{"fullwidth_digits"}, u"\uFF12\uFF11\uFF10\uFF10", u"", u""},
        LookupRow{{"zero"}, u"0000", u"", u""}, LookupRow{{"one"}, u"0001", u"", u""},
        LookupRow{{"two"}, u"0002", u"", u""}, LookupRow{{"above_highest"}, u"9097", u"", u""},
        LookupRow{{"top_slot"}, u"9999", u"", u""},
        LookupRow{{"five_characters_name_only"}, u"02100", u"", u"CAIXABANK, S.A."},
        LookupRow{{"five_digits_beyond_the_table"}, u"21000", u"", u""},
        LookupRow{{"very_long_prefix"}, std::u16string(100000, u'0') + u"21", u"", condal}),
    files::PerNom{});

} // namespace
