#include "core/entitats.h"
#include "tests/ui/shown_calculator.h"
#include "ui/frmAvisLegal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string centred(forms::Twips screen, forms::Twips window) {
    return std::to_string(static_cast<int>(screen - window) / 2);
}

TEST(StartingTheCalculator, centres_then_clears_under_the_busy_pointer_and_focuses_the_entity) {
    fake::Runtime rt;
    frmCalculadora calc(rt);

    rt.show(calc, false);

    const auto& def = calc.definition();
    const std::vector<std::string> loading{
        "load frmCalculadora", "top " + centred(rt.height(), def.clientHeight + rt.frameHeight),
        "left " + centred(rt.width(), def.clientWidth + rt.frameWidth)};
    EXPECT_EQ(std::vector(rt.log.begin(), rt.log.begin() + 3), loading);
    const std::vector<std::string> firstActivation{"activate frmCalculadora",
                                                   "pointer busy",
                                                   "text txtBanc=",
                                                   "text txtAgencia=",
                                                   "text txtDC=",
                                                   "text txtCompte=",
                                                   "caption lblSEPA=",
                                                   "caption lblBIC=",
                                                   "caption lblEntitat=",
                                                   "refresh",
                                                   "pointer default"};
    EXPECT_EQ(std::vector(rt.log.end() - 11, rt.log.end()), firstActivation);
    EXPECT_EQ(rt.focused(calc), u"txtBanc");
    EXPECT_EQ(rt.control(calc, u"txtBanc").back, 0xC0FFFFu);
}

// The directory is filled once per process, so this runs in a process of its own.
TEST(StartingTheCalculator, fills_the_directory_under_the_busy_pointer_before_repainting) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            fake::Runtime rt;
            frmCalculadora calc(rt);
            const bool emptyBefore = mdlFuncions::obtenirNom(u"2100").empty();
            bool filledUnderBusyPointer = false;
            rt.onRefresh = [&] {
                filledUnderBusyPointer = rt.mousePointer() == forms::MousePointer::Busy &&
                                         mdlFuncions::obtenirNom(u"2100") == u"CAIXABANK, S.A.";
            };
            rt.show(calc, false);
            std::exit(emptyBefore && filledUnderBusyPointer ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

using TheCalculator = ShownCalculator<>;

TEST_F(TheCalculator, later_activations_change_nothing) {
    rt.type(calc, u"21001234515678901234");
    rt.press(calc, 13);
    rt.log.clear();

    rt.activate(calc);

    EXPECT_EQ(rt.log, std::vector<std::string>{"activate frmCalculadora"});
    EXPECT_EQ(at(u"lblSEPA").value, u"ES03");
    EXPECT_EQ(at(u"txtCompte").value, u"5678901234");
}

TEST_F(TheCalculator, sortir_and_escape_unload_it_without_a_question) {
    rt.type(calc, u"21");
    rt.click(calc, u"btnSortir");
    EXPECT_FALSE(calc.loaded());
    EXPECT_EQ(rt.log.back(), "unload frmCalculadora");

    frmCalculadora another(rt);
    rt.show(another, false);
    rt.escape(another);
    EXPECT_FALSE(another.loaded());
    EXPECT_TRUE(rt.logOf("ask ").empty());
}

TEST_F(TheCalculator, focusable_controls_all_have_accessible_names) {
    frmAvisLegal avis(rt);
    for (const forms::Form* form :
         {static_cast<const forms::Form*>(&calc), static_cast<const forms::Form*>(&avis)}) {
        for (const auto& control : form->definition().controls) {
            if (control.tabIndex >= 0) {
                EXPECT_FALSE(control.accessibleName.empty()) << fake::utf8(control.name);
            }
        }
    }
}

enum class Closing { Tancar, Escape };

class OpeningTheNotice : public ShownCalculator<testing::TestWithParam<Closing>> {};

// State: a calculation on screen. Action: the menu, twice; the person moves the
// notice away the first time. Expected: each opening loads a fresh notice, centred,
// its focus on Picture1 only once; closing it leaves the calculator as it was.
TEST_P(OpeningTheNotice, loads_a_fresh_centred_notice_each_time_and_leaves_the_calculator_alone) {
    rt.type(calc, u"21001234515678901234");
    rt.press(calc, 13);
    std::vector<std::string> seen;
    rt.whileModal = [&](forms::Form& avis) {
        auto& window = rt.host(avis);
        seen.push_back(std::to_string(static_cast<int>(window.top())) + " " +
                       fake::utf8(rt.focused(avis)));
        rt.tab(avis);
        rt.activate(avis);
        seen.push_back(fake::utf8(rt.focused(avis)));
        rt.tab(avis);
        seen.push_back(fake::utf8(rt.focused(avis)));
        window.setTop(0);
        if (GetParam() == Closing::Tancar) {
            rt.click(avis, u"btnSortir");
        } else {
            rt.escape(avis);
        }
    };
    rt.log.clear();

    rt.chooseMenu(calc, u"mnuAvisLegal");
    rt.chooseMenu(calc, u"mnuAvisLegal");

    const std::string top = centred(rt.height(), 4050 + rt.frameHeight);
    EXPECT_EQ(seen, (std::vector<std::string>{top + " Picture1", "btnSortir", "Picture1",
                                              top + " Picture1", "btnSortir", "Picture1"}));
    EXPECT_EQ(rt.logOf("load ").size(), 2u);
    EXPECT_EQ(rt.logOf("unload "),
              (std::vector<std::string>{"unload frmAvisLegal", "unload frmAvisLegal"}));
    EXPECT_EQ(rt.log.back(), "activate frmCalculadora");
    EXPECT_EQ(rt.focused(calc), u"txtCompte");
    EXPECT_EQ(at(u"txtBanc").value, u"2100");
    EXPECT_EQ(at(u"lblEntitat").value, u"CAIXABANK, S.A.");
    EXPECT_EQ(at(u"lblSEPA").value, u"ES03");
    EXPECT_EQ(at(u"lblBIC").value, u"CAIXESBBXXX");
}

INSTANTIATE_TEST_SUITE_P(Closing, OpeningTheNotice,
                         testing::Values(Closing::Tancar, Closing::Escape), [](const auto& info) {
                             return info.param == Closing::Tancar ? "by_Tancar" : "by_Escape";
                         });

} // namespace
