#include "core/ccc.h"
#include "core/iban.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace mdlFuncions;

// Control digits are 11 minus the remainder, with remainders 0, 1 and 10 the odd ones out.
TEST(Ccc, accepts_a_number_only_when_both_control_digits_agree) {
    const std::tuple<const char*, std::u16string_view, bool> rows[] = {
        {"remainders_zero_and_ten", u"12345678010123456789", true},
        {"remainders_nine_and_one", u"43218765219876543210", true},
        {"only_the_first_digit_wrong", u"12345678110123456789", false},
        {"only_the_second_digit_wrong", u"12345678000123456789", false},
        {"an_account_digit_changed", u"12345678010123456788", false},
        {"the_all_zero_number", u"00000000000000000000", false},
        {"nineteen_characters", u"1234567801012345678", false},
        {"twenty_one_characters", u"123456780101234567890", false},
        {"a_letter_weighs_zero", u"1234567801X123456789", true},
        {"a_fullwidth_digit_weighs_zero", u"123456780\uFF110123456789", false},
    };
    for (const auto& [name, compte, valid] : rows)
        EXPECT_EQ(validarCCC(compte), valid) << name;
}

TEST(Iban, check_digits_are_98_minus_the_number_modulo_97) {
    const std::tuple<const char*, std::u16string_view, std::u16string_view, std::u16string_view>
        rows[] = {
            {"four_chunks", u"12345678010123456789", u"ES", u"58"},
            {"result_below_ten", u"12345678090000000019", u"ES", u"05"},
            {"lowest_result", u"12345678080000000025", u"ES", u"02"},
            {"highest_result", u"12345678090000000188", u"ES", u"98"},
            {"empty_account", u"", u"ES", u"82"},
            {"a_bank_s_own_example", u"21000418450200051332", u"ES", u"91"},
            {"a_wrong_ccc_still_gets_its_digits", u"21000418450200051331", u"ES", u"21"},
            {"letters_in_the_account_and_country", u"NWBK60161331926819", u"GB", u"29"},
            {"lower_case_letters_as_capitals", u"nwbk60161331926819", u"gb", u"29"},
            {"other_characters_dropped", u"2100-0418.45 \u00D1\uFF110200051332", u"ES", u"91"},
            {"a_country_of_digits_counts_them_as_they_are", u"21000418450200051332", u"1428",
             u"91"},
        };
    for (const auto& [name, compte, pais, digits] : rows)
        EXPECT_EQ(calcularDigitsIBAN(compte, pais), digits) << name;
    // A long country read after an account of digits gives what the same read
    // digit by digit gives (the hyphen sends it that way and is dropped).
    const std::u16string pais(30, u'Z');
    EXPECT_EQ(calcularDigitsIBAN(u"21000418450200051332", pais),
              calcularDigitsIBAN(u"21000418450200051332-", pais));
}
