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

// Accounts copied from PDFs and word processors: every row fails if the
// look-alikes are not read as blanks, hyphens, digits and letters.
TEST(Compte, reads_look_alike_blanks_hyphens_digits_and_letters_as_their_ascii_forms) {
    const std::tuple<const char*, std::u16string_view, std::u16string_view> rows[] = {
        {"thin_spaces", u"2100\u20091234\u200951\u20095678901234", u""},
        {"narrow_no_break_spaces", u"2100\u202F1234\u202F51\u202F5678901234", u""},
        {"figure_and_em_spaces", u"2100\u20071234\u200351\u20005678901234", u""},
        {"ideographic_space", u"2100\u30001234515678901234", u""},
        {"zero_width_space_and_bom", u"\uFEFF2100\u200B1234515678901234", u""},
        {"en_dashes", u"2100\u20131234\u201351\u20135678901234", u""},
        {"non_breaking_hyphens", u"2100\u20111234\u201151\u20115678901234", u""},
        {"minus_and_figure_dash", u"2100\u22121234\u201251\u20145678901234", u""},
        {"soft_and_fullwidth_hyphens", u"2100\u00AD1234\uFF0D51\uFE635678901234", u""},
        {"fullwidth_digits", u"\uFF12\uFF11\uFF10\uFF10 1234 51 5678901234", u""},
        {"fullwidth_dot", u"2100\uFF0E1234515678901234", u""},
        {"fullwidth_country", u"\uFF25\uFF33\uFF10\uFF13 2100 1234 5156 7890 1234", u"03"},
        {"fullwidth_lower_case_country", u"\uFF45\uFF53\uFF10\uFF13 2100 1234 5156 7890 1234",
         u"03"},
        {"fullwidth_iban_word", u"\uFF29\uFF22\uFF21\uFF2E ES0321001234515678901234", u"03"},
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
        {"arabic_indic_digits", u"\u0662\u0661\u0660\u0660 1234 51 5678901234"},
        {"line_feed_inside", u"2100\n1234515678901234"},
        {"line_separator_inside", u"2100\u20281234515678901234"},
        {"middle_dot_separator", u"2100\u00B71234515678901234"},
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
