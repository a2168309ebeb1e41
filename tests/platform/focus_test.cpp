#include "recording_form.h"

#include <QApplication>
#include <QTest>

namespace {

using Events = std::vector<std::string>;

class FocusTest : public PlatformTest {
protected:
    void answerYes() {
        whenModalIsActive(
            [](QWidget&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); });
    }
};

TEST_F(FocusTest, focus_moves_raise_lost_focus_then_got_focus_in_tab_order) {
    showActive(form);
    form.controls().textBox(testform::txtB).setFocus();
    // Tab passes the cancel button by (out of the Tab cycle) and ends on the box.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.eventsWith("Focus"),
              (Events{"GotFocus txtA", "LostFocus txtA", "GotFocus txtB", "LostFocus txtB",
                      "GotFocus btnOk", "LostFocus btnOk", "GotFocus picBox"}));
}

TEST_F(FocusTest, a_question_box_opening_and_closing_moves_no_focus) {
    showActive(form);
    answerYes();
    runtime.msgBox(u"Segur?", forms::vbYesNo);
    ASSERT_TRUE(QTest::qWaitForWindowActive(windowOf(form)));
    EXPECT_EQ(form.eventsWith("Focus"), Events{"GotFocus txtA"});
    EXPECT_TRUE(control("txtA")->hasFocus());
}

TEST_F(FocusTest, a_focus_set_as_a_question_closes_arrives_when_the_window_is_active_again) {
    // State: a click asks a question, then moves the focus, as a declined check does.
    form.whenClicked = [this] {
        runtime.msgBox(u"Segur?", forms::vbYesNo);
        form.controls().textBox(testform::txtB).setFocus();
    };
    showActive(form);
    answerYes();
    QTest::mouseClick(control("btnOk"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return control("txtB")->hasFocus(); }));
    EXPECT_EQ(form.eventsWith("Focus").back(), "GotFocus txtB");
}

} // namespace
