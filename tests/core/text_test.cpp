#include "core/text.h"

#include <gtest/gtest.h>

#include <tuple>

// The blanks a cell or a paste carries around an account; the forms runtime's trim,
// which takes U+0020 only, is another rule.
TEST(Text, trims_unicode_blanks_at_both_ends_only) {
    const std::tuple<const char*, std::u16string_view, std::u16string_view> rows[] = {
        {"nothing_to_trim", u"2100", u"2100"},
        {"all_three_blanks", u" \t\u00A02100\u00A0\t ", u"2100"},
        {"blanks_inside_stay", u" 21 00 ", u"21 00"},
        {"only_blanks", u" \t\u00A0", u""},
        {"empty", u"", u""},
        {"line_ends_are_not_blanks", u"\n2100\r", u"\n2100\r"},
        {"unicode_spaces", u"\u2009\u202F\u20072100\u3000\u200B\uFEFF", u"2100"},
        {"hyphens_are_not_blanks", u"\u20132100-", u"\u20132100-"},
    };
    for (const auto& [name, text, trimmed] : rows)
        EXPECT_EQ(text::trimBlanks(text), trimmed) << name;
}

TEST(Text, all_digits_means_ascii_digits_only) {
    const std::tuple<const char*, std::u16string_view, bool> rows[] = {
        {"digits", u"0123456789", true},
        {"empty", u"", true},
        {"a_blank", u"01 23", false},
        {"a_letter", u"0A", false},
        {"neighbours_of_the_digits", u"/:", false},
        {"fullwidth_digit", u"0\uFF11", false},
    };
    for (const auto& [name, text, digits] : rows)
        EXPECT_EQ(text::allDigits(text), digits) << name;
}
