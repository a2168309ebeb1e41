#include "core/ccc.h"

#include "tests/core/files.h"

#include <gtest/gtest.h>

namespace {

struct CccRow : files::Fila {
    std::u16string compte;
    bool valid;
};

class ValidarCCC : public testing::TestWithParam<CccRow> {};

TEST_P(ValidarCCC, accepts_a_number_only_when_both_control_digits_agree) {
    EXPECT_EQ(mdlFuncions::validarCCC(GetParam().compte), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ValidarCCC,
    testing::Values(
        // Remainders 0 (first digit 0) and 10 (second digit 1).
        CccRow{{"remainders_zero_and_ten"}, u"12345678010123456789", true},
        // Remainders 9 (first digit 2) and 1 (second digit 1).
        CccRow{{"remainders_nine_and_one"}, u"43218765219876543210", true},
        CccRow{{"mostly_zeros"}, u"00010002040000000003", true},
        CccRow{{"real_account"}, u"21000813610123456789", true},
        CccRow{{"only_the_second_digit_wrong"}, u"12345678000123456789", false},
        CccRow{{"only_the_first_digit_wrong"}, u"12345678110123456789", false},
        CccRow{{"account_digit_changed"}, u"12345678010123456788", false},
        CccRow{{"office_digit_changed"}, u"12345679010123456789", false},
        CccRow{{"the_all_zero_number"}, u"00000000000000000000", false},
        CccRow{{"nineteen_characters"}, u"1234567801012345678", false},
        CccRow{{"twenty_one_characters"}, u"123456780101234567890", false},
        CccRow{{"empty"}, u"", false},
        CccRow{{"a_letter_weighs_zero"}, u"1234567801X123456789", true},
        CccRow{{"a_space_weighs_zero"}, u"12345678 10123456789", true},
        CccRow{{"a_fullwidth_digit_is_no_digit"}, u"123456780\uFF110123456789", false}),
    files::PerNom{});

} // namespace
