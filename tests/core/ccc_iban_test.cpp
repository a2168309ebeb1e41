#include "core/ccc.h"
#include "core/iban.h"

#include <gtest/gtest.h>

#include <random>
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

// Real-world IBANs give back their check digits whether or not their CCC is right.
TEST(Ccc, known_ibans_give_back_their_check_digits_and_their_ccc_verdict) {
    const std::tuple<const char*, bool> rows[] = {
        {"ES4901825500610201630983", true},  {"ES4000495525592810597769", true},
        {"ES7921000813610123456789", true},  {"ES8023100001180000012345", true},
        {"ES6000491500051234567892", true},  {"ES2121000418450200051331", false},
        {"ES7021000418450200051322", false},
    };
    for (const auto& [text, cccValid] : rows) {
        const std::u16string iban(text, text + 24);
        EXPECT_EQ(calcularDigitsIBAN(iban.substr(4), u"ES"), iban.substr(2, 2)) << text;
        EXPECT_EQ(validarCCC(iban.substr(4)), cccValid) << text;
    }
}

TEST(Iban, letters_of_either_case_become_10_to_35_digits_stay_and_the_rest_goes) {
    EXPECT_EQ(convertirLletres(u"EsaZz"), u"1428103535");
    EXPECT_EQ(convertirLletres(u"a-1 b."), u"10111");
    EXPECT_EQ(convertirLletres(u"\u00C9\u00D1\uFF11\uFF21\u0131\u017F"), u"");
}

TEST(Iban, check_digits_are_98_minus_the_number_modulo_97) {
    const std::tuple<const char*, std::u16string_view, std::u16string_view, std::u16string_view>
        rows[] = {
            {"four_chunks", u"12345678010123456789", u"ES", u"58"},
            {"result_below_ten", u"12345678090000000019", u"ES", u"05"},
            {"lowest_result", u"12345678080000000025", u"ES", u"02"},
            {"highest_result", u"12345678090000000188", u"ES", u"98"},
            {"empty_account", u"", u"ES", u"82"},
        };
    for (const auto& [name, compte, pais, digits] : rows)
        EXPECT_EQ(calcularDigitsIBAN(compte, pais), digits) << name;
}

TEST(Iban, check_digits_agree_with_the_whole_number_on_random_texts_of_any_length) {
    const std::u16string alphabet = u"0123456789ABCXYZabcxyz -./\u00D1\u00E9\uFF11\u0131";
    std::mt19937 random(20240607);
    const auto pick = [&] { return alphabet[random() % alphabet.size()]; };
    for (int i = 0; i < 3000; ++i) {
        const std::size_t length = i % 10 == 0 ? random() % 6000 : random() % 40;
        std::u16string compte;
        for (std::size_t j = 0; j < length; ++j)
            compte += pick();
        const std::u16string pais{pick(), pick()};
        int r = 0; // the whole digit string modulo 97, one digit at a time
        for (char16_t d : convertirLletres(compte + pais + u"00"))
            r = (r * 10 + (d - u'0')) % 97;
        const std::u16string expected{char16_t(u'0' + (98 - r) / 10),
                                      char16_t(u'0' + (98 - r) % 10)};
        ASSERT_EQ(calcularDigitsIBAN(compte, pais), expected) << "length " << length;
    }
}
