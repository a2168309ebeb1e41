#include "platform/convert.h"
#include "platform/qt_runtime.h"
#include "tests/support/qt_harness.h"
#include "ui/frmCalculadora.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

using F = frmCalculadora;

// The calculator's layout with every event recorded instead of reacted to:
// "KeyPress txtBanc 49; Change txtBanc; ..."
struct RecordingForm final : frmCalculadora {
    using frmCalculadora::frmCalculadora;
    forms::FormHost& controls() { return host(); }

    std::string events;
    std::function<void(std::int16_t&)> whenKeyPressed = [](std::int16_t&) {};

    void record(const char* event, int row, const std::string& detail = "") {
        const auto name = definition().controls[row].name;
        events += event + (" " + std::string(name.begin(), name.end())) + detail + "; ";
    }
    void onClick(int row) noexcept override { record("Click", row); }
    void onChange(int row) noexcept override { record("Change", row); }
    void onKeyPress(int row, std::int16_t& key) noexcept override {
        record("KeyPress", row, " " + std::to_string(key)), whenKeyPressed(key);
    }
    void onGotFocus(int row) noexcept override { record("GotFocus", row); }
    void onLostFocus(int row) noexcept override { record("LostFocus", row); }
};

// The form shown and active with the focus in txtBanc, its events so far forgotten.
class Binding : public harness::Shown<RecordingForm> {
protected:
    void SetUp() override {
        Shown::SetUp();
        form.events.clear();
    }
};

} // namespace

TEST(Conversions, twips_become_the_nearest_pixel_at_the_screen_resolution) {
    const std::tuple<const char*, forms::Twips, double, int> rows[] = {
        {"fifteen_twips_are_a_pixel_at_96_dpi", 15, 96, 1},
        {"half_a_pixel_rounds_up", 7.5, 96, 1},
        {"a_field_width_at_144_dpi", 855, 144, 86},
        {"left_of_the_screen", -1500, 96, -100},
    };
    for (const auto& [name, twips, dpi, pixels] : rows)
        EXPECT_EQ(platform::twipsToPixels(twips, dpi), pixels) << name;
}

TEST(Conversions, colours_hold_red_in_the_low_byte_and_system_colours_come_from_the_palette) {
    QPalette palette; // every role a different colour, so that a wrong role shows
    palette.setColor(QPalette::Window, QColor(1, 2, 3));
    palette.setColor(QPalette::Button, QColor(4, 5, 6));
    palette.setColor(QPalette::ButtonText, QColor(7, 8, 9));
    palette.setColor(QPalette::WindowText, QColor(10, 11, 12));
    EXPECT_EQ(platform::toQColor(0xC0FFFF, palette), QColor(255, 255, 192));
    EXPECT_EQ(platform::toQColor(0xFF0000, palette), QColor(0, 0, 255));
    EXPECT_EQ(platform::toQColor(forms::colors::buttonFace, palette), QColor(1, 2, 3));
    EXPECT_EQ(platform::toQColor(forms::colors::buttonText, palette), QColor(7, 8, 9));
}

TEST_F(Binding, a_typed_key_raises_key_press_then_change_and_keys_that_type_nothing_raise_neither) {
    for (Qt::Key key : {Qt::Key_1, Qt::Key_Backspace, Qt::Key_Left, Qt::Key_Delete, Qt::Key_Shift})
        QTest::keyClick(find("txtBanc"), key);
    EXPECT_EQ(form.events,
              "KeyPress txtBanc 49; Change txtBanc; KeyPress txtBanc 8; Change txtBanc; ");
}

TEST_F(Binding, key_press_can_drop_a_key_without_a_trace_or_type_another_instead) {
    form.whenKeyPressed = [](std::int16_t& key) { key = key == 'a' ? 0 : '7'; };
    QTest::keyClicks(find("txtBanc"), "ab");
    EXPECT_EQ(find<QLineEdit>("txtBanc")->text(), "7");
    EXPECT_EQ(form.events, "KeyPress txtBanc 97; KeyPress txtBanc 98; Change txtBanc; ");
}

// The form drops every key but the control codes, as the digit filter does.
TEST_F(Binding, ctrl_v_reaches_key_press_as_22_and_pastes_unfiltered_up_to_the_maximum_length) {
    form.whenKeyPressed = [](std::int16_t& key) { key = key < 30 ? key : 0; };
    QGuiApplication::clipboard()->setText(" 12ab");
    QTest::keyClick(find("txtBanc"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(find<QLineEdit>("txtBanc")->text(), " 12a");
    EXPECT_EQ(form.events, "KeyPress txtBanc 22; Change txtBanc; ");
}

TEST_F(Binding, text_set_by_the_program_raises_change_only_when_it_differs_and_can_be_selected) {
    forms::TextBox& box = form.controls().textBox(F::txtCompte);
    box.setText(u"12345");
    box.setText(u"12345");
    box.setSelStart(1);
    box.setSelLength(3);
    EXPECT_EQ(find<QLineEdit>("txtCompte")->selectedText(), "234");
    EXPECT_EQ(form.events, "Change txtCompte; ");
}

// The buttons are out of the Tab cycle: only the four fields take turns.
TEST_F(Binding, focus_moves_raise_lost_focus_then_got_focus_and_tab_cycles_through_the_fields) {
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(form.events, "LostFocus txtBanc; GotFocus txtAgencia; LostFocus txtAgencia; "
                           "GotFocus txtDC; LostFocus txtDC; GotFocus txtCompte; "
                           "LostFocus txtCompte; GotFocus txtBanc; "
                           "LostFocus txtBanc; GotFocus txtCompte; ");
}

TEST_F(Binding, a_question_box_opening_and_closing_raises_no_focus_event) {
    whenModal([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
    runtime.msgBox(u"Segur?", forms::vbYesNo);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_EQ(form.events, "");
}

TEST_F(Binding, the_question_box_asks_in_catalan_and_closes_only_by_an_answer_enter_for_yes) {
    QStringList texts;
    QString title;
    bool picture = false, stillOpen = false;
    whenModal([&](QWidget& box) {
        for (const QPushButton* button : box.findChildren<QPushButton*>())
            texts << button->text();
        for (const QLabel* label : box.findChildren<QLabel*>())
            texts << label->text(), picture = picture || !label->pixmap().isNull();
        title = box.windowTitle();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        box.close();
        stillOpen = box.isVisible();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(runtime.msgBox(u"El banc no té 4 dígits. És correcte?", forms::vbYesNo),
              forms::vbYes);
    EXPECT_EQ(texts, (QStringList{"Sí", "No", "El banc no té 4 dígits. És correcte?"}));
    EXPECT_FALSE(picture);
    EXPECT_EQ(title, "Brelvoxa");
    EXPECT_TRUE(stillOpen);
}

TEST_F(Binding, the_close_box_unloads_the_form) {
    window()->close();
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(window(), nullptr);
}
