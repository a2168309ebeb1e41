#include "core/text.h"

#include "tests/core/files.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

std::u16string repeat(std::u16string_view s, int times) {
    std::u16string out;
    for (int i = 0; i < times; ++i)
        out += s;
    return out;
}

TEST(Trim, removes_only_spaces_at_either_end) {
    EXPECT_EQ(text::trim(u"  a b  "), u"a b");
    EXPECT_EQ(text::trim(u"\ta\t"), u"\ta\t");
    EXPECT_EQ(text::trim(u"\u00A0a "), u"\u00A0a");
    EXPECT_EQ(text::trim(u"    "), u"");
    EXPECT_EQ(text::trim(u""), u"");
}

struct NumberRow : files::Fila {
    std::u16string text;
    double value;
};

class LeadingNumber : public testing::TestWithParam<NumberRow> {};

TEST_P(LeadingNumber, reads_the_number_a_text_starts_with) {
    EXPECT_EQ(text::leadingNumber(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LeadingNumber,
    testing::Values(
        NumberRow{{"empty_text_is_zero"}, u"", 0}, NumberRow{{"digits"}, u"0021", 21},
        NumberRow{{"blanks_between_digits_are_skipped"}, u" 1 2 ", 12},
        NumberRow{{"tab_newline_and_return_are_blanks_too"}, u"\t-\n3\r", -3},
        NumberRow{{"plus_sign"}, u"+7", 7}, NumberRow{{"two_signs_are_no_number"}, u"--5", 0},
        NumberRow{{"letters_are_no_number"}, u"abcd", 0},
        NumberRow{{"reading_stops_at_a_letter"}, u"12abc", 12},
        NumberRow{{"fullwidth_digits_are_no_number"}, u"\uFF12\uFF11", 0},
        NumberRow{{"decimal_point"}, u"-2.5", -2.5}, NumberRow{{"point_first"}, u".5", 0.5},
        NumberRow{{"point_last"}, u"1.", 1}, NumberRow{{"point_alone"}, u"-.", 0},
        NumberRow{{"a_second_point_stops_reading"}, u"1.2.3", 1.2},
        NumberRow{{"comma_is_not_a_point_in_any_locale"}, u"1,5", 1},
        NumberRow{{"exponent_e"}, u"1E4", 10000}, NumberRow{{"exponent_lower_e"}, u"1e-2", 0.01},
        NumberRow{{"exponent_d"}, u"1D3", 1000}, NumberRow{{"exponent_lower_d"}, u"2d+2", 200},
        NumberRow{{"exponent_without_digits_is_ignored"}, u"1E+", 1},
        NumberRow{{"exponent_after_blanks"}, u"1 e - 1", 0.1},
        NumberRow{{"second_exponent_stops_reading"}, u"1E5E3", 1e5},
        NumberRow{{"large_exponent"}, u"9E99", 9e99},
        NumberRow{{"too_large_is_infinite"}, u"-1E400", -inf},
        NumberRow{{"too_small_is_zero"}, u"1E-400", 0},
        NumberRow{{"twenty_digits_round_to_the_nearest_double"},
                  u"12345678901234567891",
                  12345678901234567891.0},
        NumberRow{{"nineteen_nines"}, u"9999999999999999999", 9999999999999999999.0},
        NumberRow{{"hundreds_of_digits"}, u"1" + repeat(u"0", 300), 1e300},
        NumberRow{{"more_digits_than_a_double_holds"}, u"1" + repeat(u"0", 400), inf},
        NumberRow{{"thousands_of_fraction_zeros_then_an_exponent"},
                  u"0." + repeat(u"0", 5000) + u"1E5005",
                  1e4},
        NumberRow{{"an_exponent_of_a_thousand_digits"}, u"1E" + repeat(u"9", 1000), inf},
        NumberRow{{"a_negative_exponent_of_a_thousand_digits"}, u"1E-" + repeat(u"9", 1000), 0}),
    files::PerNom{});

struct RoundRow : files::Fila {
    double value;
    std::optional<std::int16_t> as16;
    std::optional<std::int32_t> as32;
};

class Rounding : public testing::TestWithParam<RoundRow> {};

TEST_P(Rounding, rounds_halves_to_even_and_reports_overflow) {
    EXPECT_EQ(text::toInt16(GetParam().value), GetParam().as16);
    EXPECT_EQ(text::toInt32(GetParam().value), GetParam().as32);
}

constexpr auto none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Rows, Rounding,
    testing::Values(RoundRow{{"two_and_a_half_goes_down"}, 2.5, 2, 2},
                    RoundRow{{"three_and_a_half_goes_up"}, 3.5, 4, 4},
                    RoundRow{{"minus_two_and_a_half"}, -2.5, -2, -2},
                    RoundRow{{"minus_three_and_a_half"}, -3.5, -4, -4},
                    RoundRow{{"a_half"}, 0.5, 0, 0},
                    RoundRow{{"just_below_a_half"}, 2.4999999, 2, 2},
                    RoundRow{{"just_above_a_half"}, 2.5000001, 3, 3},
                    RoundRow{{"largest_16_bit"}, 32767.4, 32767, 32767},
                    RoundRow{{"half_above_largest_16_bit_overflows"}, 32767.5, none, 32768},
                    RoundRow{{"half_below_smallest_16_bit_rounds_to_it"}, -32768.5, -32768, -32768},
                    RoundRow{{"below_smallest_16_bit"}, -32768.6, none, -32769},
                    RoundRow{{"half_above_largest_32_bit_overflows"}, 2147483647.5, none, none},
                    RoundRow{{"largest_32_bit"}, 2147483646.5, none, 2147483646},
                    RoundRow{{"smallest_32_bit"}, -2147483648.5, none, INT32_MIN},
                    RoundRow{{"huge"}, 1e300, none, none}, RoundRow{{"infinity"}, inf, none, none},
                    RoundRow{{"minus_infinity"}, -inf, none, none},
                    RoundRow{{"not_a_number"}, std::nan(""), none, none}),
    files::PerNom{});

TEST(TwoDigits, pads_to_two_digits_and_keeps_longer_numbers) {
    EXPECT_EQ(text::twoDigits(0), u"00");
    EXPECT_EQ(text::twoDigits(5), u"05");
    EXPECT_EQ(text::twoDigits(98), u"98");
    EXPECT_EQ(text::twoDigits(123), u"123");
    EXPECT_EQ(text::twoDigits(-5), u"-05");
    EXPECT_EQ(text::twoDigits(INT_MIN), u"-2147483648");
}

} // namespace
