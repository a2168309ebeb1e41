#include "core/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

constexpr double inf = std::numeric_limits<double>::infinity();

TEST(Text, reads_the_number_a_text_starts_with) {
    const std::tuple<const char*, std::u16string, double> rows[] = {
        {"empty_text_is_zero", u"", 0},
        {"blanks_anywhere_are_skipped", u"\t-\n1 2\r", -12},
        {"two_signs_are_no_number", u"--5", 0},
        {"reading_stops_at_a_letter", u"12abc", 12},
        {"a_second_point_stops_reading", u"1.2.3", 1.2},
        {"comma_is_no_point", u"1,5", 1},
        {"exponent_d_with_sign_between_blanks", u"2 d - 2", 0.02},
        {"exponent_without_digits_is_ignored", u"1E+", 1},
        {"too_large_is_infinite", u"-1E400", -inf},
        {"many_zeros_then_an_exponent", u"0." + std::u16string(5000, u'0') + u"1E5005", 1e4},
        {"an_exponent_of_a_thousand_digits", u"1E" + std::u16string(1000, u'9'), inf},
    };
    for (const auto& [name, text, value] : rows)
        EXPECT_EQ(text::leadingNumber(text), value) << name;
}

TEST(Text, rounds_halves_to_even_and_reports_what_does_not_fit) {
    constexpr auto none = std::nullopt;
    // clang-format off
    const std::tuple<double, std::optional<std::int16_t>, std::optional<std::int32_t>> rows[] = {
        {2.5, 2, 2}, {3.5, 4, 4}, {-2.5, -2, -2}, {-3.5, -4, -4}, {2.5000001, 3, 3},
        {32767.5, none, 32768}, {-32768.5, -32768, -32768}, {-32768.6, none, -32769},
        {2147483647.5, none, none}, {-2147483648.5, none, INT32_MIN},
        {inf, none, none}, {std::nan(""), none, none}};
    // clang-format on
    for (const auto& [value, as16, as32] : rows) {
        EXPECT_EQ(text::toInt16(value), as16) << value;
        EXPECT_EQ(text::toInt32(value), as32) << value;
    }
}
