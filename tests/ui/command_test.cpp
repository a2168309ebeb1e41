#include "core/iban.h"
#include "tests/ui/shown_calculator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using forms::vbNo;
using forms::vbYes;

const char* const questions[] = {
    "",
    "ask El banc no té 4 dígits. És correcte?",
    "ask El codi de sucursal no té 4 dígits. És correcte?",
    "ask No hi ha els 2 dígits de control. És correcte?",
    "ask El compte not té 10 dígits. És correcte?",
    "ask El c/c és incorrecte. Vols continuar?",
};

// The four fields, separated by "|".
std::array<std::u16string_view, 4> fieldsOf(std::u16string_view joined) {
    std::array<std::u16string_view, 4> fields;
    for (auto& field : fields) {
        const auto bar = std::min(joined.find(u'|'), joined.size());
        field = joined.substr(0, bar);
        joined.remove_prefix(std::min(bar + 1, joined.size()));
    }
    return fields;
}

struct Run {
    const char* name;
    std::u16string_view fields;
    const char* dialogue;        // each question asked, by number, and the answer: "1Y4N"
    std::u16string_view focus{}; // where a declined run leaves the focus
    std::u16string_view sepa{};  // empty: the check digits of the joined fields
    std::u16string_view bic{};
};

enum class Trigger { Click, EnterInAccount };

class RunningTheCommand : public ShownCalculator<testing::TestWithParam<std::tuple<Run, Trigger>>> {
};

// State: a first run has shown ES03 / CAIXESBBXXX; the row's fields are typed in.
// Action: the command, by click or by Enter in txtCompte. Expected: the questions
// in order; a No keeps the old results and moves the focus, otherwise the new
// results arrive, prefix first, and the focus stays.
TEST_P(RunningTheCommand, asks_its_questions_then_shows_or_keeps_the_results) {
    const auto& [run, trigger] = GetParam();
    const auto fields = fieldsOf(run.fields);
    enter(fieldsOf(u"2100|1234|51|5678901234"));
    rt.click(calc, u"btnCalcular");
    enter(fields);
    rt.log.clear();
    std::vector<std::string> expected;
    for (const char* d = run.dialogue; *d != 0; d += 2) {
        expected.push_back(questions[d[0] - '0']);
        rt.answers.push_back(d[1] == 'Y' ? vbYes : vbNo);
    }
    const bool declined = !rt.answers.empty() && rt.answers.back() == vbNo;

    if (trigger == Trigger::Click) {
        rt.click(calc, u"btnCalcular");
    } else {
        rt.press(calc, 13);
    }

    EXPECT_EQ(rt.logOf("ask "), expected);
    for (std::size_t i = 0; i < campsCompte.size(); ++i) {
        EXPECT_EQ(at(campsCompte[i]).value, fields[i]);
    }
    if (declined) {
        EXPECT_TRUE(rt.logOf("caption ").empty());
        EXPECT_EQ(at(u"lblSEPA").value, u"ES03");
        EXPECT_EQ(at(u"lblBIC").value, u"CAIXESBBXXX");
        EXPECT_EQ(rt.focused(calc), run.focus);
        return;
    }
    std::u16string joined;
    for (const auto field : fields) {
        joined += field;
    }
    const std::u16string sepa = run.sepa.empty()
                                    ? u"ES" + mdlFuncions::calcularDigitsIBAN(joined, u"ES")
                                    : std::u16string(run.sepa);
    EXPECT_EQ(rt.logOf("caption "),
              (std::vector<std::string>{"caption lblSEPA=" + fake::utf8(sepa),
                                        "caption lblBIC=" + fake::utf8(run.bic)}));
    EXPECT_EQ(rt.focused(calc), u"txtCompte");
    EXPECT_TRUE(rt.logOf("focus ").empty());
}

// clang-format off
const Run runs[] = {
    {"typical_number_asks_nothing", u"2100|1234|51|5678901234", "", {}, u"ES03", u"CAIXESBBXXX"},
    {"short_entity_declined", u"210|1234|51|5678901234", "1N", u"txtBanc"},
    {"short_entity_accepted_skips_the_control_digits", u"210|1234|51|5678901234", "1Y", {}, {}, u""},
    {"short_office_declined", u"2100|123|51|5678901234", "2N", u"txtAgencia"},
    {"short_office_accepted", u"2100|123|51|5678901234", "2Y", {}, {}, u"CAIXESBBXXX"},
    {"short_control_digits_declined", u"2100|1234|5|5678901234", "3N", u"txtDC"},
    {"short_control_digits_accepted", u"2100|1234|5|5678901234", "3Y", {}, {}, u"CAIXESBBXXX"},
    {"short_account_declined", u"2100|1234|51|567890123", "4N", u"txtCompte"},
    {"short_account_accepted", u"2100|1234|51|567890123", "4Y", {}, {}, u"CAIXESBBXXX"},
    {"wrong_control_digits_declined", u"2100|1234|52|5678901234", "5N", u"txtBanc"},
    {"wrong_control_digits_accepted", u"2100|1234|52|5678901234", "5Y", {}, {}, u"CAIXESBBXXX"},
    {"all_empty_accepted_shows_ES82_and_no_BIC", u"|||", "1Y2Y3Y4Y", {}, u"ES82", u""},
    {"all_empty_declined_at_the_third_question", u"|||", "1Y2Y3N", u"txtDC"},
    {"twenty_zeros_are_questioned", u"0000|0000|00|0000000000", "5Y", {}, {}, u""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Table, RunningTheCommand,
                         testing::Combine(testing::ValuesIn(runs),
                                          testing::Values(Trigger::Click, Trigger::EnterInAccount)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) == Trigger::Click ? "_by_click"
                                                                               : "_by_enter");
                         });

using TheCommand = ShownCalculator<>;

TEST_F(TheCommand, trims_pasted_blanks_in_the_fields_themselves_before_testing_lengths) {
    enter(fieldsOf(u"\t21 |1234|  | 5678901 "));
    rt.log.clear();
    rt.answers = {vbYes, vbYes, vbYes};
    rt.click(calc, u"btnCalcular");

    EXPECT_EQ(rt.logOf("text "),
              (std::vector<std::string>{"text txtBanc=\t21", "text txtAgencia=1234",
                                        "text txtDC=", "text txtCompte=5678901"}));
    EXPECT_EQ(rt.logOf("ask "),
              (std::vector<std::string>{questions[1], questions[3], questions[4]}));
    EXPECT_EQ(at(u"lblSEPA").value,
              u"ES" + mdlFuncions::calcularDigitsIBAN(u"\t2112345678901", u"ES"));
    EXPECT_EQ(at(u"lblBIC").value, u"");
}

TEST_F(TheCommand, enter_in_the_account_field_does_nothing_while_calculate_is_disabled) {
    at(u"btnCalcular").isEnabled = false;
    rt.focus(calc, u"txtCompte");
    rt.log.clear();
    rt.press(calc, 13);
    EXPECT_TRUE(rt.logOf("ask ").empty());
    EXPECT_TRUE(rt.logOf("caption ").empty());
    EXPECT_EQ(at(u"txtCompte").value, u"");
}

} // namespace
