#include "core/entitats.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace mdlFuncions;

namespace {

// The tests of a process share the directory; the first one needs it never filled.
bool filled = false;

void fill() {
    carregarEntitats();
    filled = true;
}

} // namespace

TEST(Directory, finds_nothing_before_it_is_filled) {
    if (filled)
        GTEST_SKIP() << "an earlier test in this process filled the directory";
    for (int code = 0; code < midaTaula; ++code)
        ASSERT_TRUE(taulaBIC[code].empty() && taulaNoms[code].empty()) << code;
    EXPECT_EQ(obtenirBIC(u"2100") + obtenirNom(u"2100"), u"");
}

TEST(Directory, holds_the_282_entities_with_their_known_counts_the_same_after_a_second_fill) {
    fill();
    const Taula firstBics = taulaBIC, firstNoms = taulaNoms;
    fill();
    EXPECT_TRUE(firstBics == taulaBIC && firstNoms == taulaNoms);
    const int ranges[][2] = {{3, 488},     {1000, 1545}, {2000, 2108}, {3001, 3682},
                             {6814, 6852}, {8233, 8835}, {9000, 9096}};
    std::vector<int> perRange(7);
    std::set<std::u16string> bics, names;
    std::set<char16_t> nonAscii;
    int listed = 0, generic = 0, fiftyLong = 0;
    for (int code = 0; code < midaTaula; ++code) {
        const std::u16string &bic = taulaBIC[code], &nom = taulaNoms[code];
        if (bic.empty() && nom.empty())
            continue;
        EXPECT_TRUE(bic.size() == 11 && bic.substr(4, 2) == u"ES" && nom.size() <= 50) << code;
        ++listed;
        for (int i = 0; i < 7; ++i)
            perRange[i] += code >= ranges[i][0] && code <= ranges[i][1];
        bics.insert(bic);
        names.insert(nom);
        generic += bic.ends_with(u"XXX");
        fiftyLong += nom.size() == 50;
        for (char16_t c : nom)
            if (c > 0x7F)
                nonAscii.insert(c);
    }
    EXPECT_EQ(listed, 282);
    EXPECT_EQ(perRange, (std::vector<int>{88, 69, 33, 80, 2, 3, 7}));
    EXPECT_EQ(generic, 197);
    EXPECT_EQ(bics.size(), 278u);
    EXPECT_EQ(names.size(), 280u);
    EXPECT_EQ(taulaNoms[486], taulaNoms[2086]);
    EXPECT_EQ(taulaNoms[1478], taulaNoms[1506]);
    EXPECT_EQ(fiftyLong, 11);
    EXPECT_EQ(nonAscii, (std::set<char16_t>{u'Ñ', u'Ó', u'Ü'}));
}

// Codes are read as the leading decimal number of the text, rounded half to even.
TEST(Directory, gives_the_bic_for_four_characters_and_the_name_for_any_length) {
    fill();
    constexpr std::u16string_view condal = u"BANCO CONDAL, S.A.";
    const std::tuple<const char*, std::u16string, std::u16string_view, std::u16string_view> rows[] =
        {
            {"two_digits_name_only", u"21", u"", condal},
            {"three_characters_name_only", u" 21", u"", condal},
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
            {"five_digits_beyond_the_table", u"21000", u"", u""},
            {"too_large_for_16_bits", u"4E4", u"", u""},
            {"far_too_large", u"9E99", u"", u""},
            {"a_thousand_digit_exponent", u"1E" + std::u16string(1000, u'9'), u"", u""},
            {"two_signs", u"--21", u"", u""},
            {"empty", u"", u"", u""},
            {"letters", u"abcd", u"", u""},
            {"fullwidth_digits", u"\uFF12\uFF11\uFF10\uFF10", u"", u""},
        };
    for (const auto& [name, codi, bic, entitat] : rows) {
        EXPECT_EQ(obtenirBIC(codi), bic) << name;
        EXPECT_EQ(obtenirNom(codi), entitat) << name;
    }
}
