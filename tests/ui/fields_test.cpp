#include "core/entitats.h"
#include "tests/ui/shown_calculator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr forms::Color focusColour = 0xC0FFFF;
constexpr forms::Color restingColour = 0xE0E0E0;

using TheFields = ShownCalculator<>;

TEST_F(TheFields, typing_2100_names_each_prefix_then_moves_on_to_a_selected_office) {
    rt.focus(calc, u"txtAgencia");
    rt.paste(calc, u"1234");
    rt.focus(calc, u"txtBanc");

    std::vector<std::u16string> names;
    for (const char16_t digit : std::u16string_view(u"2100")) {
        rt.type(calc, std::u16string(1, digit));
        names.push_back(at(u"lblEntitat").value);
    }

    EXPECT_EQ(names,
              (std::vector<std::u16string>{mdlFuncions::obtenirNom(u"2"), u"BANCO CONDAL, S.A.",
                                           mdlFuncions::obtenirNom(u"210"), u"CAIXABANK, S.A."}));
    EXPECT_EQ(rt.focused(calc), u"txtAgencia");
    EXPECT_EQ(at(u"txtAgencia").start, 0);
    EXPECT_EQ(at(u"txtAgencia").length, 4);
    for (auto field : campsCompte) {
        EXPECT_EQ(at(field).back, field == u"txtAgencia" ? focusColour : restingColour);
    }
    EXPECT_EQ(at(u"txtBanc").length, 0);
}

TEST_F(TheFields, entity_label_is_emptied_before_each_lookup) {
    rt.type(calc, u"21");
    EXPECT_EQ(
        rt.logOf("caption lblEntitat"),
        (std::vector<std::string>{"caption lblEntitat=", "caption lblEntitat=",
                                  "caption lblEntitat=", "caption lblEntitat=BANCO CONDAL, S.A."}));
}

TEST_F(TheFields, keys_other_than_digits_reach_no_field) {
    for (auto field : campsCompte) {
        rt.focus(calc, field);
        rt.type(calc, u"a /.:\u00f1\x1e");
        EXPECT_EQ(at(field).value, u"") << fake::utf8(field);
    }
}

TEST_F(TheFields, tab_cycles_through_the_four_fields_only) {
    std::vector<std::u16string> visited;
    for (int i = 0; i < 4; ++i) {
        rt.tab(calc);
        visited.push_back(rt.focused(calc));
    }
    EXPECT_EQ(visited,
              (std::vector<std::u16string>{u"txtAgencia", u"txtDC", u"txtCompte", u"txtBanc"}));
}

struct EnterKey {
    const char* name;
    std::u16string_view field, next;
};

class PressingEnter : public ShownCalculator<testing::TestWithParam<EnterKey>> {};

TEST_P(PressingEnter, moves_to_the_next_field_without_inserting_anything) {
    rt.focus(calc, GetParam().field);
    rt.press(calc, 13);
    EXPECT_EQ(rt.focused(calc), GetParam().next);
    EXPECT_EQ(at(GetParam().field).value, u"");
    EXPECT_TRUE(rt.logOf("ask ").empty());
}

INSTANTIATE_TEST_SUITE_P(Table, PressingEnter,
                         testing::Values(EnterKey{"in_entity", u"txtBanc", u"txtAgencia"},
                                         EnterKey{"in_office", u"txtAgencia", u"txtDC"},
                                         EnterKey{"in_control_digits", u"txtDC", u"txtCompte"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Edit {
    const char* name;
    std::u16string_view field;
    std::u16string_view before; // pasted first; then the person clicks back in
    int selStart, selLength;    // then selects this; -1: keep the whole text selected
    std::u16string_view typed, pasted;
    std::u16string_view after, focus;
};

class EditingAField : public ShownCalculator<testing::TestWithParam<Edit>> {};

TEST_P(EditingAField, moves_on_exactly_when_the_field_ends_up_full) {
    const Edit& e = GetParam();
    rt.focus(calc, e.field);
    rt.paste(calc, e.before);
    rt.focus(calc, e.field);
    if (e.selStart >= 0) {
        at(e.field).start = e.selStart;
        at(e.field).length = e.selLength;
    }
    rt.type(calc, e.typed);
    if (!e.pasted.empty()) {
        rt.paste(calc, e.pasted);
    }
    EXPECT_EQ(at(e.field).value, e.after);
    EXPECT_EQ(rt.focused(calc), e.focus);
    EXPECT_TRUE(rt.logOf("ask ").empty());
    EXPECT_TRUE(rt.logOf("caption lblSEPA").empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditingAField,
    testing::Values(
        Edit{"backspace_in_a_full_entity_stays",
             u"txtBanc",
             u"2100",
             4,
             0,
             u"\b",
             {},
             u"210",
             u"txtBanc"},
        Edit{"fifth_digit_in_a_full_entity_is_not_taken",
             u"txtBanc",
             u"2100",
             4,
             0,
             u"5",
             {},
             u"2100",
             u"txtBanc"},
        Edit{"digit_over_a_whole_full_field_replaces_it_and_stays",
             u"txtDC",
             u"12",
             -1,
             0,
             u"3",
             {},
             u"3",
             u"txtDC"},
        Edit{"replacing_one_digit_of_a_full_field_moves_on",
             u"txtDC",
             u"12",
             0,
             1,
             u"7",
             {},
             u"72",
             u"txtCompte"},
        Edit{"tenth_account_digit_neither_moves_nor_calculates",
             u"txtCompte",
             u"123456789",
             9,
             0,
             u"0",
             {},
             u"1234567890",
             u"txtCompte"},
        Edit{"long_paste_keeps_the_first_ten_account_characters",
             u"txtCompte",
             {},
             -1,
             0,
             {},
             u"123456789012",
             u"1234567890",
             u"txtCompte"},
        Edit{"pasted_blanks_are_not_filtered_and_a_full_paste_moves_on",
             u"txtAgencia",
             {},
             -1,
             0,
             {},
             u" 12 ",
             u" 12 ",
             u"txtDC"},
        Edit{"pasted_letters_short_of_full_stay", u"txtDC", {}, -1, 0, {}, u"a", u"a", u"txtDC"}),
    [](const auto& info) { return std::string(info.param.name); });

struct Pasted {
    const char* name;
    std::u16string_view text, entity;
};

class PastingAnEntity : public ShownCalculator<testing::TestWithParam<Pasted>> {};

TEST_P(PastingAnEntity, shows_the_name_its_text_reads_as_and_moves_on) {
    rt.type(calc, u"2100");
    rt.focus(calc, u"txtBanc");
    rt.paste(calc, GetParam().text);
    EXPECT_EQ(at(u"lblEntitat").value, GetParam().entity);
    EXPECT_EQ(rt.focused(calc), u"txtAgencia");
}

INSTANTIATE_TEST_SUITE_P(Table, PastingAnEntity,
                         testing::Values(Pasted{"listed_code", u"0086", u"BANCO BANIF, S.A."},
                                         Pasted{"zero_code", u"0000", u""},
                                         Pasted{"unlisted_code", u"9999", u""},
                                         Pasted{"leading_blank", u"  21", u"BANCO CONDAL, S.A."},
                                         Pasted{"exponent_too_large_for_a_code", u"9E99", u""}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
