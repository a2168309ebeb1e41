#include "recording_form.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

namespace {

using Events = std::vector<std::string>;

class TextBoxTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        showActive(form);
        form.events.clear();
    }
    QLineEdit& field(const char* name) const { return *control<QLineEdit>(name); }
    void press(const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(&field(name), key, modifiers);
    }
};

TEST_F(TextBoxTest, a_typed_character_goes_through_key_press_then_raises_change) {
    press("txtA", Qt::Key_1);
    EXPECT_EQ(field("txtA").text(), "1");
    EXPECT_EQ(form.events, (Events{"KeyPress txtA 49", "Change txtA"}));
}

TEST_F(TextBoxTest, a_key_press_set_to_zero_leaves_no_trace) {
    // Enter would otherwise reach the default button.
    form.whenKeyPressed = [](std::int16_t& keyAscii) { keyAscii = 0; };
    press("txtA", Qt::Key_A);
    press("txtA", Qt::Key_Return);
    EXPECT_EQ(field("txtA").text(), "");
    EXPECT_EQ(form.events, (Events{"KeyPress txtA 97", "KeyPress txtA 13"}));
}

TEST_F(TextBoxTest, a_key_press_can_type_another_character_instead) {
    form.whenKeyPressed = [](std::int16_t& keyAscii) { keyAscii = '7'; };
    press("txtA", Qt::Key_A);
    EXPECT_EQ(field("txtA").text(), "7");
}

TEST_F(TextBoxTest, backspace_reaches_key_press_as_8_and_deletes) {
    field("txtA").setText("12");
    form.events.clear();
    press("txtA", Qt::Key_Backspace);
    EXPECT_EQ(field("txtA").text(), "1");
    EXPECT_EQ(form.events, (Events{"KeyPress txtA 8", "Change txtA"}));
}

TEST_F(TextBoxTest, keys_that_type_no_character_raise_no_key_press) {
    field("txtA").setText("12");
    for (const Qt::Key key :
         {Qt::Key_Left, Qt::Key_Home, Qt::Key_Delete, Qt::Key_Shift, Qt::Key_Tab, Qt::Key_Escape}) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    EXPECT_EQ(form.eventsWith("KeyPress"), Events{});
}

TEST_F(TextBoxTest, ctrl_v_reaches_key_press_as_22_and_pastes_unfiltered) {
    // The form drops every character but control codes, as a digit filter would.
    form.whenKeyPressed = [](std::int16_t& keyAscii) { keyAscii = keyAscii < 30 ? keyAscii : 0; };
    QGuiApplication::clipboard()->setText(" 12ab");
    press("txtB", Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field("txtB").text(), " 12ab");
    EXPECT_EQ(form.events, (Events{"KeyPress txtB 22", "Change txtB"}));
}

TEST_F(TextBoxTest, a_paste_longer_than_the_maximum_keeps_its_head) {
    QGuiApplication::clipboard()->setText("123456");
    press("txtA", Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field("txtA").text(), "1234");
}

TEST_F(TextBoxTest, text_set_by_the_program_raises_change_only_when_it_differs) {
    forms::TextBox& box = form.controls().textBox(testform::txtB);
    box.setText(u"12");
    box.setText(u"12");
    box.setText(u"");
    EXPECT_EQ(form.events, (Events{"Change txtB", "Change txtB"}));
}

TEST_F(TextBoxTest, a_selection_from_the_program_extends_from_its_start_and_collapses_there) {
    forms::TextBox& box = form.controls().textBox(testform::txtB);
    box.setText(u"12345");
    box.setSelStart(1);
    box.setSelLength(3);
    EXPECT_EQ(field("txtB").selectedText(), "234");
    box.setSelLength(0);
    EXPECT_FALSE(field("txtB").hasSelectedText());
    EXPECT_EQ(box.selStart(), 1);
}

} // namespace
