#include "core/entitats.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

using namespace mdlFuncions;

// Filled twice, as a second start of the calculator does: the same 282 rows, each a
// Spanish BIC and a name that fits the label, the accents read from the UTF-8 file.
TEST(Directory, holds_the_282_entities_the_same_after_a_second_fill) {
    carregarEntitats();
    const Taula firstBics = taulaBIC, firstNoms = taulaNoms;
    carregarEntitats();
    EXPECT_TRUE(firstBics == taulaBIC && firstNoms == taulaNoms);
    std::set<char16_t> nonAscii;
    int listed = 0;
    for (int code = 0; code < midaTaula; ++code) {
        const std::u16string &bic = taulaBIC[code], &nom = taulaNoms[code];
        if (bic.empty() && nom.empty())
            continue;
        EXPECT_TRUE(bic.size() == 11 && bic.substr(4, 2) == u"ES" && nom.size() <= 50) << code;
        ++listed;
        for (char16_t c : nom)
            if (c > 0x7F)
                nonAscii.insert(c);
    }
    EXPECT_EQ(listed, 282);
    EXPECT_EQ(nonAscii, (std::set<char16_t>{u'Ñ', u'Ó', u'Ü'}));
}

// Codes are read as the leading decimal number of the text, rounded half to even.
TEST(Directory, gives_the_bic_for_four_characters_and_the_name_for_any_length) {
    carregarEntitats();
    constexpr std::u16string_view condal = u"BANCO CONDAL, S.A.";
    const std::tuple<const char*, std::u16string, std::u16string_view, std::u16string_view> rows[] =
        {
            {"two_digits_name_only", u"21", u"", condal},
            {"leading_zeros", u"0021", u"BCNDESM1XXX", condal},
            {"blanks_around_four_characters", u" 21 ", u"BCNDESM1XXX", condal},
            {"five_characters_name_only", u"02100", u"", u"CAIXABANK, S.A."},
            {"a_long_prefix_of_zeros", std::u16string(100000, u'0') + u"21", u"", condal},
            {"blanks_between_digits", u"2 \t1", u"BCNDESM1XXX", condal},
            {"exponent_d", u"2.1d1", u"", condal},
            {"an_exponent_without_digits", u"21E+", u"BCNDESM1XXX", condal},
            {"a_comma_ends_the_number", u"21,9", u"BCNDESM1XXX", condal},
            {"a_second_point_ends_the_number", u"21.0.5", u"", condal},
            {"a_half_rounded_to_even", u"10.5", u"BBVAESMMXXX", u"BANCO BILBAO VIZCAYA"},
            {"a_half_to_an_empty_slot", u"2.5", u"", u""},
            {"negative", u"-1", u"", u""},
            {"ten_thousand", u"1E4", u"", u""},
            {"too_large_for_16_bits", u"4E4", u"", u""},
            {"a_thousand_digit_exponent", u"1E" + std::u16string(1000, u'9'), u"", u""},
            {"two_signs", u"--21", u"", u""},
            {"letters", u"abcd", u"", u""},
            {"fullwidth_digits", u"\uFF12\uFF11\uFF10\uFF10", u"", u""},
        };
    for (const auto& [name, codi, bic, entitat] : rows) {
        EXPECT_EQ(obtenirBIC(codi), bic) << name;
        EXPECT_EQ(obtenirNom(codi), entitat) << name;
    }
}
