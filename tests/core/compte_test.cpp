#include "core/compte.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace mdlFuncions;

TEST(Compte, paper_form_puts_one_blank_between_groups_of_four) {
    const std::tuple<std::u16string_view, std::u16string_view> rows[] = {
        {u"ES0321001234515678901234", u"ES03 2100 1234 5156 7890 1234"},
        {u"", u""},
        {u"ES03", u"ES03"},
        {u"NL91ABNA0417164300", u"NL91 ABNA 0417 1643 00"},
    };
    for (const auto& [iban, paper] : rows)
        EXPECT_EQ(formatPaper(iban), paper);
}

TEST(Compte, reads_a_whole_account_in_the_forms_people_write_it) {
    const std::tuple<const char*, std::u16string_view, std::u16string_view> rows[] = {
        {"bare_digits", u"21001234515678901234", u""},
        {"in_groups", u"2100 1234 51 5678901234", u""},
        {"hyphens_dots_and_tabs", u"2100-1234.51\t5678901234", u""},
        {"no_break_spaces", u"2100\u00A01234\u00A051\u00A05678901234", u""},
        {"surrounding_blanks", u"  21001234515678901234\t", u""},
        {"electronic_iban", u"ES0321001234515678901234", u"03"},
        {"paper_iban", u"ES03 2100 1234 5156 7890 1234", u"03"},
        {"lower_case_country", u"es03 2100 1234 5156 7890 1234", u"03"},
        {"iban_word_in_any_case", u"iBaN ES03 2100 1234 5156 7890 1234", u"03"},
        {"iban_word_before_bare_digits", u"Iban 21001234515678901234", u""},
        {"wrong_check_digits_are_kept", u"ES9921001234515678901234", u"99"},
    };
    for (const auto& [name, text, digits] : rows) {
        const auto llegit = llegirCompte(text);
        ASSERT_TRUE(llegit) << name;
        EXPECT_EQ(llegit->ccc, u"21001234515678901234") << name;
        EXPECT_EQ(llegit->digitsIBAN, digits) << name;
    }
}

TEST(Compte, anything_that_is_not_exactly_one_whole_account_reads_as_nothing) {
    const std::tuple<const char*, std::u16string_view> rows[] = {
        {"empty", u""},
        {"only_separators", u" -.\t"},
        {"nineteen_digits", u"2100123451567890123"},
        {"twenty_one_digits", u"210012345156789012345"},
        {"another_country", u"FR0321001234515678901234"},
        {"letter_inside", u"2100123451567890123A"},
        {"letter_in_check_digits", u"ES0A21001234515678901234"},
        {"two_ibans", u"ES0321001234515678901234 ES0321001234515678901234"},
        {"lone_iban_word", u"IBAN"},
        {"iban_word_twice", u"IBAN IBAN ES0321001234515678901234"},
        {"colon_after_iban_word", u"IBAN: ES0321001234515678901234"},
        {"fullwidth_digits", u"\uFF12\uFF11\uFF10\uFF10 1234 51 5678901234"},
        {"other_blank_kept", u"2100\u20031234515678901234"},
        {"slash_separator", u"2100/1234/51/5678901234"},
        {"country_without_check_digits", u"ES21001234515678901234"},
        {"nul_inside", std::u16string_view(u"2100\0"
                                           u"1234515678901234",
                                           21)},
    };
    for (const auto& [name, text] : rows)
        EXPECT_FALSE(llegirCompte(text)) << name;
}

TEST(Compte, a_huge_paste_is_refused_without_reading_it_as_an_account) {
    std::u16string text(1 << 20, u'1');
    EXPECT_FALSE(llegirCompte(text));
    text.assign(1 << 20, u' ');
    text += u"21001234515678901234";
    EXPECT_TRUE(llegirCompte(text));
}
