// The calculator, its questions and the legal notice as a person meets them: the
// real windows on the Qt binding, offscreen, driven with Qt's key and mouse events.

#include "core/entitats.h"
#include "platform/convert.h"
#include "platform/qt_runtime.h"
#include "tests/windows/screen_reader.h"
#include "ui/frmCalculadora.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using platform::toQString;

int px(forms::Twips twips) {
    return qRound(twips / 15);
}

std::string textIn(const QObject* object, const char* property = "text") {
    return object != nullptr ? object->property(property).toString().toStdString() : "";
}

std::string focusName() {
    return textIn(QApplication::focusWidget(), "objectName");
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Each character goes wherever the focus is at that moment, as typing does.
void type(const QString& keys) {
    for (const QChar key : keys)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                            QString(key), Qt::NoModifier);
}

// Yes by the default button's Enter, No by a click.
void answer(QWidget& questionBox, bool yes) {
    if (yes)
        press(Qt::Key_Return);
    else
        QTest::mouseClick(questionBox.findChild<QWidget*>("no"), Qt::LeftButton);
}

// A window manager frames a window a moment after it is shown: wait for that.
void expectCentred(const QWidget& window) {
    const bool framed = qEnvironmentVariableIsSet("BRELVOXA_WINDOW_MANAGER");
    const QRect screen = window.screen()->geometry();
    QRect frame;
    const auto centred = [&] {
        frame = window.windowHandle()->frameGeometry();
        return (!framed || frame != window.geometry()) &&
               std::abs(frame.x() - (screen.width() - frame.width()) / 2) <= 1 &&
               std::abs(frame.y() - (screen.height() - frame.height()) / 2) <= 1;
    };
    (void)QTest::qWaitFor(centred, 5000); // the checks below say what went wrong
    if (framed) {
        EXPECT_NE(frame, window.geometry()) << "no frame drawn by the window manager";
    }
    EXPECT_NEAR(frame.x(), (screen.width() - frame.width()) / 2, 1);
    EXPECT_NEAR(frame.y(), (screen.height() - frame.height()) / 2, 1);
}

// The calculator shown and active. Every 10 s a watchdog fails a test left waiting
// on a modal window, and closes it, instead of letting the test hang.
class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QObject::connect(&watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "still waiting after 10 s: closing the modal windows";
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (!window->isVisible() || !window->isModal())
                    continue;
                if (auto* box = qobject_cast<QDialog*>(window))
                    box->done(QDialog::Rejected);
                else
                    window->close();
            }
        });
        watchdog.start(10'000);
        runtime.show(form, false);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    }
    // Runs `action` once on the next modal window as soon as it is active: a modal
    // show only returns once its window closes.
    void whenModal(std::function<void(QWidget&)> action) {
        auto* poll = new QTimer(&watchdog);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, action = std::move(action)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal != nullptr && QApplication::activeWindow() == modal) {
                poll->stop();
                poll->deleteLater();
                action(*modal);
            }
        });
        poll->start(5);
    }
    QWidget* window() const { return runtime.windowOf(form); }
    template <class W = QWidget> W* find(const QString& name) const {
        return window()->findChild<W*>(name);
    }
    std::string textOf(const char* name) const { return textIn(find(name)); }
    QColor backgroundOf(const char* name) const {
        return find(name)->palette().color(QPalette::Base);
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> texts{focusName()};
        for (const QObject* control : window()->findChildren<QWidget*>())
            texts.push_back(textIn(control));
        return texts;
    }
    // Through the window, which turns a right click into a context menu request.
    QMenu* rightClick(const char* name) {
        QTest::mouseClick(window()->windowHandle(), Qt::RightButton, {},
                          find(name)->mapTo(window(), QPoint(5, 5)));
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    // Delivered by the desktop to the calculator, so a modal window holds it back.
    void keyToCalculator(Qt::Key key) { QTest::keyClick(window()->windowHandle(), key); }

    // Returns once the notice it opens is closed.
    void chooseLegalNotice() {
        auto* bar = window()->findChild<QMenuBar*>();
        auto* menu = find<QMenu>("mnuAvis");
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        const QRect item = menu->actionGeometry(menu->findChild<QAction*>("mnuAvisLegal"));
        QTest::mouseClick(menu, Qt::LeftButton, {}, item.center());
    }

    QTimer watchdog;
    platform::QtRuntime runtime;
    frmCalculadora form{runtime};
};

TEST_F(WindowsTest, every_control_stands_as_laid_out_once_the_window_is_ready) {
    for (const forms::ControlDef& row : form.definition().controls) {
        const QString name = toQString(row.name);
        SCOPED_TRACE(name.toStdString());
        QWidget* widget = find(name);
        ASSERT_NE(widget, nullptr);
        const auto colour = [widget](forms::Color c) {
            return platform::toQColor(c, widget->palette());
        };
        if (row.kind == forms::ControlKind::Line) {
            EXPECT_TRUE(widget->geometry().contains(px(row.left), px(row.top)));
            EXPECT_TRUE(widget->geometry().contains(px(row.width), px(row.height)));
            EXPECT_EQ(widget->grab().toImage().pixelColor(0, 0), colour(row.foreColor));
            continue;
        }
        EXPECT_EQ(widget->pos(), QPoint(px(row.left), px(row.top)));
        if (!row.autoSize) {
            EXPECT_EQ(widget->size(), QSize(px(row.width), px(row.height)));
        }
        if (row.kind == forms::ControlKind::Image)
            continue;
        const QFont font = widget->font();
        EXPECT_EQ(QFontInfo(font).family(), platform::fontFamilyFor(row.font.name));
        EXPECT_EQ(std::tuple(font.pointSizeF(), font.bold(), font.italic()),
                  std::tuple(row.font.points, row.font.bold, row.font.italic));
        // The first activation empties the results' sample texts.
        const bool sample = name == "lblSEPA" || name == "lblBIC";
        EXPECT_EQ(textIn(widget), sample ? "" : toQString(row.text).toStdString());
        if (row.kind == forms::ControlKind::CommandButton)
            continue; // in the desktop's own colours
        EXPECT_EQ(widget->property("alignment").value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                  platform::toQtAlignment(row.alignment));
        const bool field = row.kind == forms::ControlKind::TextBox;
        const QPalette& palette = widget->palette();
        EXPECT_EQ(palette.color(field ? QPalette::Text : QPalette::WindowText),
                  colour(row.foreColor));
        EXPECT_EQ(field || widget->autoFillBackground(), row.opaque);
        if (row.opaque && !widget->hasFocus()) {
            EXPECT_EQ(palette.color(field ? QPalette::Base : QPalette::Window),
                      colour(row.backColor));
        }
    }
}

// Fields and buttons by their names; a result by what it shows, its caption read
// beside it, and every new result announced where the person is.
TEST_F(WindowsTest, screen_readers_read_the_fields_by_name_and_the_results_by_value_and_caption) {
    // On X11 Qt hands its accessibility events only to a listening AT-SPI screen
    // reader; on the offscreen platform (here and under Wine) the test's own hears them.
    const bool heard = QGuiApplication::platformName() != u"xcb";
    std::vector<QString> renamed;
    screen_reader::listen([&renamed](QAccessibleEvent* event) {
        if (event->type() == QAccessible::NameChanged)
            renamed.push_back(event->object()->objectName());
    });
    type("21001234515678901234");
    press(Qt::Key_Return);
    screen_reader::listen(nullptr);
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"txtBanc", "Entitat", "", "2100"},
        {"lblSEPA", "ES03", "Prefixe IBAN", "Label1(0)"},
        {"lblBIC", "CAIXESBBXXX", "Codi BIC", "Label1(1)"},
        {"lblEntitat", "CAIXABANK, S.A.", "Entitat:", "Label1(2)"},
        {"btnSortir", "Sortir", "", nullptr},
    };
    for (const auto& [control, name, description, valueOrCaption] : rows) {
        SCOPED_TRACE(control);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(find(control));
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), name);
        EXPECT_EQ(accessible->text(QAccessible::Description).toStdString(), description);
        if (valueOrCaption == nullptr)
            continue;
        if (accessible->role() == QAccessible::EditableText) {
            EXPECT_EQ(accessible->text(QAccessible::Value).toStdString(), valueOrCaption);
            continue;
        }
        const auto labels = accessible->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels.front().first->object()->objectName().toStdString(), valueOrCaption);
        if (heard) {
            EXPECT_NE(std::count(renamed.begin(), renamed.end(), QString(control)), 0);
        }
    }
}

// Centred as a whole: under a window manager by the frame it draws, without one
// by the window itself.
TEST_F(WindowsTest, the_calculator_is_centred_on_the_screen_frame_and_title_bar_included) {
    expectCentred(*window());
}

TEST_F(WindowsTest, tab_cycles_through_the_four_fields_and_never_reaches_a_button) {
    std::vector<std::string> reached;
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Tab), reached.push_back(focusName());
    press(Qt::Key_Tab, Qt::ShiftModifier);
    reached.push_back(focusName());
    EXPECT_EQ(reached, (std::vector<std::string>{"txtAgencia", "txtDC", "txtCompte", "txtBanc",
                                                 "txtCompte"}));
}

TEST_F(WindowsTest, typing_2100_names_each_prefix_and_a_change_that_leaves_it_full_moves_on) {
    ASSERT_EQ(focusName(), "txtBanc");
    std::u16string typed;
    for (const char16_t digit : std::u16string(u"2100")) {
        type(QString(QChar(digit)));
        typed += digit;
        SCOPED_TRACE(toQString(typed).toStdString());
        EXPECT_EQ(textOf("lblEntitat"), toQString(mdlFuncions::obtenirNom(typed)).toStdString());
        // A long name is cut at the label's edge: the tip holds it whole.
        EXPECT_EQ(find("lblEntitat")->toolTip().toStdString(), textOf("lblEntitat"));
    }
    EXPECT_FALSE(textOf("lblEntitat").empty());
    EXPECT_EQ(focusName(), "txtAgencia");
    EXPECT_EQ(backgroundOf("txtAgencia"), QColor(255, 255, 192));
    EXPECT_EQ(backgroundOf("txtBanc"), QColor(224, 224, 224));
    // Coming back selects it all; one digit replaced leaves it full, so it moves on.
    find("txtBanc")->setFocus();
    EXPECT_EQ(find<QLineEdit>("txtBanc")->selectedText(), "2100");
    press(Qt::Key_End);
    press(Qt::Key_Left, Qt::ShiftModifier);
    type("9");
    EXPECT_EQ(textOf("txtBanc"), "2109");
    EXPECT_EQ(focusName(), "txtAgencia");
}

// State: a full account typed, the focus sent back to the entity field.
// Action: clicks and typing. Expected: the click that brings the focus keeps the
// whole text selected, as Tab does; a click in the focused field places the caret.
TEST_F(WindowsTest, a_click_into_a_full_field_selects_it_and_a_second_click_places_the_caret) {
    type("21001234515678901234");
    const auto clickAt = [this](const char* name, bool rightEnd) {
        QWidget* field = find(name);
        const QPoint spot =
            rightEnd ? QPoint(field->width() - 3, field->height() / 2) : field->rect().center();
        QTest::mouseClick(field, Qt::LeftButton, {}, spot);
    };
    clickAt("txtBanc", false);
    EXPECT_EQ(find<QLineEdit>("txtBanc")->selectedText(), "2100");
    clickAt("txtBanc", true);
    type("5");
    EXPECT_EQ(textOf("txtBanc"), "2100");
    EXPECT_EQ(focusName(), "txtBanc");
    clickAt("txtAgencia", true);
    EXPECT_EQ(find<QLineEdit>("txtAgencia")->selectedText(), "1234");
    EXPECT_EQ(backgroundOf("txtAgencia"), QColor(255, 255, 192));
    type("7");
    EXPECT_EQ(textOf("txtAgencia"), "7");
    EXPECT_EQ(focusName(), "txtAgencia");
    QTest::mouseDClick(find("txtCompte"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>("txtCompte")->selectedText(), "5678901234");
}

// Alt and Meta chords belong to the window (menus, the desktop); AltGr, which some
// desktops report as Ctrl+Alt, types third-level characters through the filter.
TEST_F(WindowsTest, keys_held_with_alt_or_meta_type_nothing_and_reach_the_window) {
    struct Seen : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            // The modifier keys themselves come too; only the chords are counted.
            keys += event->type() == QEvent::KeyPress &&
                    !static_cast<QKeyEvent*>(event)->text().isEmpty();
            return false;
        }
    } seen;
    window()->installEventFilter(&seen);
    const std::tuple<Qt::Key, const char*, Qt::KeyboardModifiers> rows[] = {
        {Qt::Key_A, "a", Qt::AltModifier},
        {Qt::Key_Period, ".", Qt::AltModifier},
        {Qt::Key_Space, " ", Qt::AltModifier},
        {Qt::Key_7, "7", Qt::AltModifier},
        {Qt::Key_5, "5", Qt::MetaModifier},
        {Qt::Key_At, "@", Qt::ControlModifier | Qt::AltModifier},
        {Qt::Key_3, "3", Qt::ControlModifier | Qt::AltModifier},
    };
    for (const auto& [key, text, modifiers] : rows)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), key, text, modifiers);
    EXPECT_EQ(textOf("txtBanc"), "3");
    EXPECT_EQ(seen.keys, 5);
}

// Pasting is not filtered: the field keeps the head that fits, and reacts to its
// change as to typing; so it does to a text set by the program.
TEST_F(WindowsTest, a_paste_goes_in_unfiltered_up_to_the_maximum_length_and_any_change_reacts) {
    QGuiApplication::clipboard()->setText(" 21ab");
    press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(textOf("txtBanc"), " 21a");
    EXPECT_EQ(textOf("lblEntitat"), "BANCO CONDAL, S.A.");
    EXPECT_EQ(focusName(), "txtAgencia");
    find<QLineEdit>("txtBanc")->setText("2100");
    EXPECT_EQ(textOf("lblEntitat"), "CAIXABANK, S.A.");
}

// A whole account or IBAN, pasted into any field, fills all four and waits in the
// last one for Enter.
TEST_F(WindowsTest, pasting_a_whole_iban_or_account_fills_the_four_fields) {
    // Qt::Key_unknown: the Paste item of the field's own context menu.
    const std::tuple<const char*, const char*, Qt::Key, Qt::KeyboardModifiers> rows[] = {
        {"txtDC", "ES03 2100 1234 5156 7890 1234", Qt::Key_V, Qt::ControlModifier},
        {"txtBanc", "IBAN es0321001234515678901234", Qt::Key_Insert, Qt::ShiftModifier},
        {"txtAgencia", "2100-1234-51-5678901234", Qt::Key_unknown, {}},
    };
    for (const auto& [field, pasted, key, modifiers] : rows) {
        SCOPED_TRACE(pasted);
        for (const char* name : {"txtBanc", "txtAgencia", "txtDC", "txtCompte"})
            find<QLineEdit>(name)->clear();
        find(field)->setFocus();
        QGuiApplication::clipboard()->setText(pasted);
        if (key != Qt::Key_unknown) {
            press(key, modifiers);
        } else {
            QMenu* menu = rightClick(field);
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste")))
                    action->trigger();
            menu->close();
        }
        EXPECT_EQ(std::vector({textOf("txtBanc"), textOf("txtAgencia"), textOf("txtDC"),
                               textOf("txtCompte")}),
                  (std::vector<std::string>{"2100", "1234", "51", "5678901234"}));
        EXPECT_EQ(textOf("lblEntitat"), "CAIXABANK, S.A.");
        EXPECT_EQ(focusName(), "txtCompte");
        EXPECT_EQ(find<QLineEdit>("txtCompte")->selectedText(), "5678901234");
    }
    press(Qt::Key_Return);
    EXPECT_EQ(textOf("lblSEPA"), "ES03");
}

// State: 2100 1234 51 5678901234 calculated. Action: each item of the results'
// menu, opened with a right click over each result, then Ctrl+Shift+C; then a
// declined calculation.
TEST_F(WindowsTest, the_results_menu_copies_the_whole_iban_the_shown_prefix_belongs_to) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto choose = [&](const char* result, const char* item) {
        clipboard->setText("-");
        QMenu* menu = rightClick(result);
        if (menu == nullptr)
            return std::string("no menu");
        auto* action = menu->findChild<QAction*>(item);
        const bool enabled = action->isEnabled();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        if (QApplication::activePopupWidget() != nullptr)
            QApplication::activePopupWidget()->close();
        return enabled ? clipboard->text().toStdString() : std::string("disabled");
    };
    type("21001234515678901234");
    press(Qt::Key_Return);
    const std::string paper = "ES03 2100 1234 5156 7890 1234";
    EXPECT_EQ(find("lblSEPA")->toolTip().toStdString(), paper + "\nCAIXESBBXXX\nCAIXABANK, S.A.");
    const std::pair<const char*, std::string> items[] = {
        {"mnuCopiaIBAN", "ES0321001234515678901234"},
        {"mnuCopiaPaper", paper},
        {"mnuCopiaBIC", "CAIXESBBXXX"},
        {"mnuCopiaNom", "CAIXABANK, S.A."},
    };
    for (const char* result : {"lblSEPA", "lblBIC", "lblEntitat"})
        for (const auto& [item, copied] : items)
            EXPECT_EQ(choose(result, item), copied) << result << " " << item;
    clipboard->setText("-");
    press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(clipboard->text().toStdString(), "ES0321001234515678901234");

    // Declined with other digits in the fields: still the IBAN of the prefix shown.
    find("txtBanc")->setFocus();
    type("00491500051234567890");
    whenModal([](QWidget& box) { answer(box, false); });
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_EQ(choose("lblSEPA", "mnuCopiaIBAN"), "ES0321001234515678901234");
}

TEST_F(WindowsTest, enter_moves_on_from_each_empty_field_and_only_digits_are_typed) {
    for (const char* next : {"txtAgencia", "txtDC", "txtCompte"}) {
        press(Qt::Key_Return);
        EXPECT_EQ(focusName(), next);
    }
    // A letter, a space, punctuation, an accent, CJK (a unit above 0x7FFF), a digit.
    type("a -\u00E9\u8BA17");
    press(Qt::Key_Backspace);
    type("8");
    EXPECT_EQ(textOf("txtCompte"), "8");
}

// The question box speaks Catalan (Qt's own texts, built in on Windows), has no icon,
// and closes only by an answer: Enter is Yes.
TEST_F(WindowsTest, enter_in_the_account_field_calculates_asking_first_about_wrong_digits) {
    // answer: the question box's button to press, or none when nothing is asked.
    struct Row {
        const char *name, *dc, *answer, *prefix, *focus;
    };
    const Row rows[] = {
        {"no stops and returns to the entity field", "99", "no", "", "txtBanc"},
        {"right control digits ask nothing", "51", nullptr, "ES03", "txtCompte"},
        {"yes goes on with the number as typed", "99", "yes", "ES34", "txtCompte"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        find("txtBanc")->setFocus();
        type(QString("21001234") + row.dc + "5678901234");
        if (row.answer != nullptr) {
            whenModal([yes = QString(row.answer) == "yes"](QWidget& box) {
                QStringList texts;
                for (const QPushButton* button : box.findChildren<QPushButton*>())
                    texts << button->text();
                for (const QLabel* label : box.findChildren<QLabel*>()) {
                    texts << label->text();
                    EXPECT_TRUE(label->pixmap().isNull()) << "an icon";
                }
                EXPECT_EQ(texts,
                          (QStringList{"Sí", "No", "El c/c és incorrecte. Vols continuar?"}));
                EXPECT_EQ(box.windowTitle(), "Brelvoxa");
                press(Qt::Key_Escape); // only an answer closes it
                box.close();
                EXPECT_TRUE(box.isVisible());
                answer(box, yes);
            });
        }
        press(Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        EXPECT_EQ(textOf("lblSEPA"), row.prefix);
        EXPECT_EQ(textOf("lblBIC"), *row.prefix != 0 ? "CAIXESBBXXX" : "");
        EXPECT_EQ(focusName(), row.focus);
    }
}

TEST_F(WindowsTest, escape_and_the_close_box_end_the_program) {
    type("210012");
    QTimer::singleShot(0, [this] { keyToCalculator(Qt::Key_Escape); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.loaded());
    runtime.show(form, false);
    window()->close();
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(window(), nullptr);
}

TEST_F(WindowsTest, the_legal_notice_opens_modally_centred_and_leaves_the_calculator_as_it_was) {
    type("21001234515678901234");
    press(Qt::Key_Return);
    const std::vector<std::string> before = shown();
    int opened = 0;
    for (const int opening : {1, 2}) {
        SCOPED_TRACE(opening);
        whenModal([this, &opened](QWidget& notice) {
            ++opened;
            EXPECT_EQ(notice.objectName(), "frmAvisLegal");
            expectCentred(notice);
            EXPECT_EQ(focusName(), "Picture1");
            keyToCalculator(Qt::Key_Escape);
            EXPECT_TRUE(form.loaded());
            press(Qt::Key_Return);
            press(Qt::Key_Space);
            EXPECT_EQ(focusName(), "Picture1");
            press(Qt::Key_Tab);
            EXPECT_EQ(textIn(QApplication::focusWidget()), "Tancar");
            notice.move(3, 4); // the next opening centres it again
            press(Qt::Key_Escape);
        });
        chooseLegalNotice();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
        EXPECT_EQ(opened, opening);
    }
    EXPECT_EQ(shown(), before);
}

} // namespace

// One QApplication, named as the program is, for the whole binary; listing the
// tests needs no display.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName("Brelvoxa");
    }
    return RUN_ALL_TESTS();
}
