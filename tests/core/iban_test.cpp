#include "core/ccc.h"
#include "core/iban.h"

#include "tests/core/files.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using mdlFuncions::calcularDigitsIBAN;
using mdlFuncions::convertirLletres;

struct LletresRow : files::Fila {
    std::u16string text;
    std::u16string digits;
};

class ConvertirLletres : public testing::TestWithParam<LletresRow> {};

TEST_P(ConvertirLletres, keeps_digits_turns_letters_into_numbers_and_drops_the_rest) {
    EXPECT_EQ(convertirLletres(GetParam().text), GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConvertirLletres,
    testing::Values(LletresRow{{"country_code"}, u"ES", u"1428"},
                    LletresRow{{"lower_case_counts_as_upper"}, u"az", u"1035"},
                    LletresRow{{"last_letter_in_both_cases"}, u"Zz", u"3535"},
                    LletresRow{{"separators_are_dropped"}, u"a-1 b.", u"10111"},
                    LletresRow{{"accented_letters_are_dropped"}, u"\u00C9\u00E9\u00D1", u""},
                    LletresRow{{"fullwidth_digits_and_letters_are_dropped"}, u"\uFF11\uFF21", u""},
                    LletresRow{{"dotless_i_is_not_upper_cased_into_i"}, u"\u0131\u017F", u""},
                    LletresRow{{"empty"}, u"", u""}),
    files::PerNom{});

struct IbanRow : files::Fila {
    std::u16string compte;
    std::u16string pais;
    std::u16string digits;
};

class CalcularDigitsIBAN : public testing::TestWithParam<IbanRow> {};

TEST_P(CalcularDigitsIBAN, gives_98_minus_the_number_modulo_97) {
    EXPECT_EQ(calcularDigitsIBAN(GetParam().compte, GetParam().pais), GetParam().digits);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CalcularDigitsIBAN,
    testing::Values(IbanRow{{"four_chunks"}, u"12345678010123456789", u"ES", u"58"},
                    IbanRow{{"remainder_with_leading_zero"}, u"43218765219876543210", u"ES", u"14"},
                    IbanRow{{"result_below_ten"}, u"12345678090000000019", u"ES", u"05"},
                    IbanRow{{"lowest_result"}, u"12345678080000000025", u"ES", u"02"},
                    IbanRow{{"highest_result"}, u"12345678090000000188", u"ES", u"98"},
                    IbanRow{{"lower_case_country"}, u"12345678010123456789", u"es", u"58"},
                    IbanRow{{"hyphens_dropped"}, u"1234-5678-01-0123456789", u"ES", u"58"},
                    IbanRow{{"letter_in_account_counts"}, u"1234567801X123456789", u"ES", u"74"},
                    IbanRow{{"empty_account"}, u"", u"ES", u"82"},
                    IbanRow{{"all_zero_account"}, u"00000000000000000000", u"ES", u"82"},
                    IbanRow{{"empty_country"}, u"12345678010123456789", u"", u"63"},
                    IbanRow{{"nothing_at_all"}, u"", u"", u"98"}),
    files::PerNom{});

struct KnownIban : files::Fila {
    std::u16string iban;
    bool cccValid;
};

class KnownIbans : public testing::TestWithParam<KnownIban> {};

// The account number of a real-world IBAN gives back its check digits, whether or
// not its domestic control digits are right.
TEST_P(KnownIbans, give_back_their_check_digits_and_their_ccc_verdict) {
    const std::u16string_view iban = GetParam().iban;
    EXPECT_EQ(calcularDigitsIBAN(iban.substr(4), u"ES"), iban.substr(2, 2));
    EXPECT_EQ(mdlFuncions::validarCCC(iban.substr(4)), GetParam().cccValid);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KnownIbans,
    testing::Values(KnownIban{{"es49"}, u"ES4901825500610201630983", true},
                    KnownIban{{"es40"}, u"ES4000495525592810597769", true},
                    KnownIban{{"es79"}, u"ES7921000813610123456789", true},
                    KnownIban{{"es80"}, u"ES8023100001180000012345", true},
                    KnownIban{{"es60"}, u"ES6000491500051234567892", true},
                    KnownIban{{"es21_bad_ccc"}, u"ES2121000418450200051331", false},
                    KnownIban{{"es70_bad_ccc"}, u"ES7021000418450200051322", false}),
    files::PerNom{});

// 98 - N mod 97, reading N digit by digit with no chunks.
int wholeNumberCheck(std::u16string_view digits) {
    int r = 0;
    for (char16_t d : digits)
        r = (r * 10 + (d - u'0')) % 97;
    return 98 - r;
}

TEST(CalcularDigitsIBAN, agrees_with_the_whole_number_on_random_texts_of_any_length) {
    const std::u16string alphabet = u"0123456789ABCXYZabcxyz -./\u00D1\u00E9\uFF11\u0131";
    std::mt19937 random(20240607);
    for (int i = 0; i < 3000; ++i) {
        const std::size_t length = i % 10 == 0 ? random() % 6000 : random() % 40;
        std::u16string compte;
        for (std::size_t j = 0; j < length; ++j)
            compte += alphabet[random() % alphabet.size()];
        const std::u16string pais{alphabet[random() % alphabet.size()],
                                  alphabet[random() % alphabet.size()]};

        const auto n = convertirLletres(compte + pais + u"00");
        ASSERT_EQ(n.find_first_not_of(u"0123456789"), std::u16string::npos);
        const int expected = wholeNumberCheck(n);
        const auto got = calcularDigitsIBAN(compte, pais);
        ASSERT_EQ(got.size(), 2u);
        ASSERT_EQ((got[0] - u'0') * 10 + (got[1] - u'0'), expected) << "length " << length;
    }
}

} // namespace
