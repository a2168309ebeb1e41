#include "platform/convert.h"
#include "platform/qt_runtime.h"
#include "tests/support/qt_harness.h"
#include "ui/fila.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <tuple>

namespace {

enum Row : int { txtA, txtB, btnCancel, btnOk };

constexpr std::array<forms::ControlDef, 4> controls{{
    fila::caixaText(u"txtA").posicio(150, 300, 900, 375).maxim(4).ordreTab(0),
    fila::caixaText(u"txtB").posicio(1200, 300, 1500, 375).ordreTab(1),
    // Out of the Tab cycle, like the calculator's buttons.
    fila::boto(u"btnCancel").text(u"Sortir").posicio(1500, 900, 1200, 375).ordreTab(3, false),
    fila::boto(u"btnOk").text(u"D'acord").posicio(150, 900, 1200, 375).ordreTab(2),
}};

constexpr forms::FormDef formDef{.name = u"frmProva",
                                 .caption = u"Prova",
                                 .clientWidth = 3000,
                                 .clientHeight = 1500,
                                 .icon = "icona",
                                 .controls = controls,
                                 .menus = {}};

// Records the events it receives: "KeyPress txtA 49; Change txtA; Click btnOk; ..."
struct RecordingForm final : forms::Form {
    using forms::Form::Form;
    const forms::FormDef& definition() const override { return formDef; }
    forms::FormHost& controls() { return host(); }

    std::string events;
    std::function<void(std::int16_t&)> whenKeyPressed = [](std::int16_t&) {};
    std::function<void()> whenClicked = [] {};

    void record(const char* event, int row, const std::string& detail = "") {
        const auto name = formDef.controls[row].name;
        events += event + (" " + std::string(name.begin(), name.end())) + detail + "; ";
    }
    void onClick(int row) override { record("Click", row), whenClicked(); }
    void onChange(int row) override { record("Change", row); }
    void onKeyPress(int row, std::int16_t& key) override {
        record("KeyPress", row, " " + std::to_string(key)), whenKeyPressed(key);
    }
    void onGotFocus(int row) override { record("GotFocus", row); }
    void onLostFocus(int row) override { record("LostFocus", row); }
};

// The form shown and active, its events so far forgotten.
class Binding : public testing::Test, protected harness::ModalGuard {
protected:
    void SetUp() override {
        runtime.show(form, false);
        ASSERT_TRUE(QTest::qWaitForWindowActive(runtime.windowOf(form)));
        form.events.clear();
    }
    void TearDown() override {
        if (form.loaded())
            form.controls().window().unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    template <class W = QWidget> W* widget(const char* name) {
        return runtime.windowOf(form)->findChild<W*>(name);
    }

    platform::QtRuntime runtime;
    RecordingForm form{runtime};
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
        QTest::keyClick(widget("txtA"), key);
    EXPECT_EQ(form.events, "KeyPress txtA 49; Change txtA; KeyPress txtA 8; Change txtA; ");
}

TEST_F(Binding, key_press_can_drop_a_key_without_a_trace_or_type_another_instead) {
    form.whenKeyPressed = [](std::int16_t& key) { key = key == 'a' ? 0 : '7'; };
    QTest::keyClicks(widget("txtA"), "ab");
    EXPECT_EQ(widget<QLineEdit>("txtA")->text(), "7");
    EXPECT_EQ(form.events, "KeyPress txtA 97; KeyPress txtA 98; Change txtA; ");
}

// The form drops every key but the control codes, as the digit filter does.
TEST_F(Binding, ctrl_v_reaches_key_press_as_22_and_pastes_unfiltered_up_to_the_maximum_length) {
    form.whenKeyPressed = [](std::int16_t& key) { key = key < 30 ? key : 0; };
    QGuiApplication::clipboard()->setText(" 12ab");
    QTest::keyClick(widget("txtA"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(widget<QLineEdit>("txtA")->text(), " 12a");
    EXPECT_EQ(form.events, "KeyPress txtA 22; Change txtA; ");
}

TEST_F(Binding, text_set_by_the_program_raises_change_only_when_it_differs_and_can_be_selected) {
    forms::TextBox& box = form.controls().textBox(txtB);
    box.setText(u"12345");
    box.setText(u"12345");
    box.setSelStart(1);
    box.setSelLength(3);
    EXPECT_EQ(widget<QLineEdit>("txtB")->selectedText(), "234");
    EXPECT_EQ(form.events, "Change txtB; ");
}

TEST_F(Binding,
       focus_moves_raise_lost_focus_then_got_focus_and_tab_passes_buttons_out_of_the_cycle) {
    form.controls().textBox(txtB).setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.events, "LostFocus txtA; GotFocus txtB; LostFocus txtB; GotFocus btnOk; "
                           "LostFocus btnOk; GotFocus txtA; ");
}

TEST_F(Binding, a_question_box_opening_and_closing_raises_no_focus_event) {
    whenModal([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
    runtime.msgBox(u"Segur?", forms::vbYesNo);
    ASSERT_TRUE(QTest::qWaitForWindowActive(runtime.windowOf(form)));
    EXPECT_EQ(form.events, "");
}

// State: a click asks a question, then moves the focus, as a declined check does.
TEST_F(Binding, a_focus_set_as_a_question_box_closes_arrives) {
    form.whenClicked = [this] {
        runtime.msgBox(u"Segur?", forms::vbYesNo);
        form.controls().textBox(txtB).setFocus();
    };
    whenModal([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
    widget<QPushButton>("btnCancel")->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return widget("txtB")->hasFocus(); }));
    EXPECT_EQ(form.events, "Click btnCancel; LostFocus txtA; GotFocus txtB; ");
}

TEST_F(Binding, the_question_box_asks_in_catalan_under_the_program_title_with_no_icon) {
    QStringList texts;
    QString title;
    bool picture = false;
    whenModal([&](QWidget& box) {
        for (const QPushButton* button : box.findChildren<QPushButton*>())
            texts << button->text();
        for (const QLabel* label : box.findChildren<QLabel*>())
            texts << label->text(), picture = picture || !label->pixmap().isNull();
        title = box.windowTitle();
        box.findChild<QPushButton*>("no")->click();
    });
    EXPECT_EQ(runtime.msgBox(u"El banc no té 4 dígits. És correcte?", forms::vbYesNo), forms::vbNo);
    EXPECT_EQ(texts, (QStringList{"Sí", "No", "El banc no té 4 dígits. És correcte?"}));
    EXPECT_FALSE(picture);
    EXPECT_EQ(title, "Brelvoxa");
}

TEST_F(Binding, the_question_box_answers_yes_to_enter_and_ignores_escape_and_its_close_box) {
    bool stillOpen = false;
    whenModal([&](QWidget& box) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        box.close();
        stillOpen = box.isVisible();
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_EQ(runtime.msgBox(u"És correcte?", forms::vbYesNo), forms::vbYes);
    EXPECT_TRUE(stillOpen);
}

TEST_F(Binding, the_close_box_unloads_the_form) {
    runtime.windowOf(form)->close();
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(runtime.windowOf(form), nullptr);
}
