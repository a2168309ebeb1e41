// The calculator, its questions and the legal notice as a person meets them: the
// real windows on the Qt binding, offscreen, driven with Qt's key and mouse events.

#include "core/entitats.h"
#include "platform/convert.h"
#include "platform/qt_runtime.h"
#include "ui/frmCalculadora.h"

#include <QAccessible>
#include <QAccessibleBridge>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QtPlugin>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

// A screen reader as the window tests see one: it hears every accessibility event Qt
// raises while it is set. On the offscreen platform Qt hands its events to
// accessibility bridge plugins whether or not a reader is listening, and this one is
// built into the test as a static plugin; Qt's public API has no other way to hear
// them. X11 hands them to a listening AT-SPI reader instead, so there it hears nothing.
std::function<void(QAccessibleEvent*)> screenReader;

class ScreenReaderBridge final : public QAccessibleBridge {
public:
    void setRootObject(QAccessibleInterface*) override {}
    void notifyAccessibilityUpdate(QAccessibleEvent* event) override {
        if (screenReader)
            screenReader(event);
    }
};

class ScreenReaderPlugin final : public QAccessibleBridgePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "screen_reader.json")

public:
    // Qt keeps the bridge to the end and never deletes it: one that lives as long.
    QAccessibleBridge* create(const QString&) override {
        static ScreenReaderBridge bridge;
        return &bridge;
    }
};

Q_IMPORT_PLUGIN(ScreenReaderPlugin)

namespace {

using platform::toQString;

const auto px = [](forms::Twips twips) { return qRound(twips / 15); };

std::string textIn(const QObject* object, const char* property = "text") {
    return object != nullptr ? object->property(property).toString().toStdString() : "";
}

const auto focusName = [] { return textIn(QApplication::focusWidget(), "objectName"); };

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// Each character goes wherever the focus is at that moment, as typing does.
void type(const QString& keys) {
    for (const QChar key : keys)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                            QString(key), Qt::NoModifier);
}

// A message box as the person sees it: its buttons, its words, its title, and "icon"
// when it shows one.
QStringList boxAsSeen(const QWidget& box) {
    QStringList texts;
    for (const QPushButton* button : box.findChildren<QPushButton*>())
        texts << button->text();
    texts << box.findChild<QLabel*>("prompt")->text() << box.windowTitle();
    const auto* icon = box.findChild<QLabel*>("icon");
    if (icon != nullptr && !icon->pixmap().isNull())
        texts << "icon";
    return texts;
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
    EXPECT_TRUE(QTest::qWaitFor(centred, 5000))
        << "frame at " << frame.x() << "," << frame.y() << " of " << frame.width() << "x"
        << frame.height() << " on " << screen.width() << "x" << screen.height()
        << (framed && frame == window.geometry() ? ", none drawn by the window manager" : "");
}

// A property of a window as the X server holds it.
QString xprop(const QWidget& window, const char* name) {
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(window.winId()), name});
    xprop.waitForFinished();
    return QString::fromUtf8(xprop.readAllStandardOutput());
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
    // The menu of a result by a right click, or a field's by Shift+F10 (the Menu key in
    // txtCompte), whose edit items the four copy items follow after a separator, as a
    // screen reader reads them; then the item reached with the arrow keys and chosen
    // with Enter. Returns what the clipboard holds then, "disabled" for an item that
    // cannot be reached.
    std::string choose(const char* control, const char* item) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("-");
        QMenu* menu = nullptr;
        if (const bool field = find<QLineEdit>(control) != nullptr; !field) {
            menu = rightClick(control);
        } else {
            find(control)->setFocus();
            press(control == std::string("txtCompte") ? Qt::Key_Menu : Qt::Key_F10,
                  control == std::string("txtCompte") ? Qt::NoModifier : Qt::ShiftModifier);
            menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        }
        if (menu == nullptr)
            return "no menu";
        const QList<QAction*> actions = menu->actions();
        const auto first = actions.size() - 4;
        EXPECT_TRUE(first == 0 || (first > 5 && actions[first - 1]->isSeparator())) << control;
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(menu);
        QStringList copies;
        for (auto i = first; i < actions.size(); ++i) {
            copies << actions[i]->objectName();
            EXPECT_EQ(read->child(int(i))->text(QAccessible::Name), actions[i]->text().remove('&'));
            EXPECT_EQ(read->child(int(i))->state().disabled, !actions[i]->isEnabled()) << control;
        }
        EXPECT_EQ(copies,
                  (QStringList{"mnuCopiaIBAN", "mnuCopiaPaper", "mnuCopiaBIC", "mnuCopiaNom"}));
        const auto action = std::find_if(actions.begin() + first, actions.end(),
                                         [item](QAction* a) { return a->objectName() == item; });
        if (action == actions.end())
            return "no item";
        for (int step = 0; step < actions.size() && menu->activeAction() != *action; ++step)
            QTest::keyClick(menu, Qt::Key_Down);
        const bool reached = menu->activeAction() == *action;
        // A field's menu is made for each opening: the next step waits until it is gone
        // and the calculator active again, which offscreen no window manager sees to.
        const QPointer<QMenu> edit = menu->testAttribute(Qt::WA_DeleteOnClose) ? menu : nullptr;
        QTest::keyClick(menu, reached ? Qt::Key_Return : Qt::Key_Escape);
        if (!edit.isNull()) {
            EXPECT_TRUE(QTest::qWaitFor([&edit] { return edit.isNull(); }));
            window()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(window()));
        }
        return reached ? clipboard->text().toStdString() : "disabled";
    }
    // The digits typed from the entity field on, then Enter.
    void calculate(const QString& digits = "21001234515678901234") {
        type(digits);
        press(Qt::Key_Return);
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

// How each control looks, written out rather than derived through the binding's own
// conversions. Text colours and backgrounds as red, green, blue; no background: the
// window shows through.
struct Look {
    QStringList names; // the controls that look alike
    QString family;
    double points;
    bool bold, italic;
    Qt::Alignment alignment;
    QColor text;
    std::optional<QColor> background;
};

#ifdef Q_OS_WIN
const QString sans = "Microsoft Sans Serif", comic = "Comic Sans MS";
#else
const QString sans = "Liberation Sans", comic = "Comic Neue";
#endif
const QColor black(0, 0, 0), red(255, 0, 0), blue(0, 0, 255), grey(224, 224, 224);
const QColor resultBlue(192, 192, 255), silver(192, 192, 192);

std::vector<Look> calculatorLooks() {
    const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
    const Qt::Alignment left = Qt::AlignLeft, centre = Qt::AlignHCenter;
    // clang-format off
    return {
        {{"txtBanc", "txtAgencia", "txtDC", "txtCompte"}, sans, 13.5, false, false, centre, black, grey},
        {{"btnSortir", "btnCalcular"}, sans, 8.25, false, false, centre, {}, {}},
        {{"Label2(0)", "Label1(0)", "Label1(1)", "Label1(2)"}, sans, 8.25, false, false, left, black, {}},
        {{"Label3"}, sans, 9.75, false, false, left, black, {}},
        {{"lblBIC", "lblSEPA"}, sans, 13.5, false, false, centre, black, resultBlue},
        {{"Label4(0)", "Label4(1)", "Label4(2)", "Label4(3)"}, sans, 8.25, false, false, left, red, {}},
        {{"lblEntitat"}, sans, 8.25, false, false, left, black, silver},
        {{"Label1(3)"}, comic, 12, false, true, left, buttonText, {}},
        {{"lblQuorvanta"}, comic, 9, true, false, left, blue, {}},
        {{"Label2(2)", "Label2(1)", "Label2(3)"}, comic, 8.25, false, false, left, black, {}},
    };
    // clang-format on
}

// Where each control stands comes from the layout table in twips; how it looks from
// the table above. Then, calculated, screen readers read fields and buttons by their
// names; a result by what it shows, its caption read beside it, and every new result
// announced where the person is.
TEST_F(WindowsTest, every_control_stands_as_laid_out_and_reads_to_screen_readers) {
    const std::vector<Look> looks = calculatorLooks();
    for (const forms::ControlDef& row : form.definition().controls) {
        const QString name = toQString(row.name);
        SCOPED_TRACE(name.toStdString());
        QWidget* widget = find(name);
        ASSERT_NE(widget, nullptr);
        if (row.kind == forms::ControlKind::Line) {
            EXPECT_TRUE(widget->geometry().contains(px(row.left), px(row.top)));
            EXPECT_TRUE(widget->geometry().contains(px(row.width), px(row.height)));
            EXPECT_EQ(widget->grab().toImage().pixelColor(0, 0), blue);
            continue;
        }
        EXPECT_EQ(widget->pos(), QPoint(px(row.left), px(row.top)));
        if (!row.autoSize) {
            EXPECT_EQ(widget->size(), QSize(px(row.width), px(row.height)));
        }
        if (row.kind == forms::ControlKind::Image)
            continue;
        const auto look = std::find_if(looks.begin(), looks.end(),
                                       [&name](const Look& l) { return l.names.contains(name); });
        ASSERT_NE(look, looks.end());
        const QFont font = widget->font();
        EXPECT_EQ(QFontInfo(font).family(), look->family);
        EXPECT_EQ(std::tuple(font.pointSizeF(), font.bold(), font.italic()),
                  std::tuple(look->points, look->bold, look->italic));
        // The first activation empties the results' sample texts.
        const bool sample = name == "lblSEPA" || name == "lblBIC";
        EXPECT_EQ(textIn(widget), sample ? "" : toQString(row.text).toStdString());
        if (row.kind == forms::ControlKind::CommandButton)
            continue; // in the desktop's own colours
        EXPECT_EQ(widget->property("alignment").value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                  look->alignment);
        const bool field = row.kind == forms::ControlKind::TextBox;
        const QPalette& palette = widget->palette();
        EXPECT_EQ(palette.color(field ? QPalette::Text : QPalette::WindowText), look->text);
        EXPECT_EQ(field || widget->autoFillBackground(), look->background.has_value());
        if (look->background && !widget->hasFocus()) {
            EXPECT_EQ(palette.color(field ? QPalette::Base : QPalette::Window), *look->background);
        }
    }

    // On X11 Qt hands its accessibility events only to a listening AT-SPI screen
    // reader; on the offscreen platform (here and under Wine) the test's own hears them.
    const bool heard = QGuiApplication::platformName() != u"xcb";
    std::vector<QString> renamed;
    screenReader = [&renamed](QAccessibleEvent* event) {
        if (event->type() == QAccessible::NameChanged)
            renamed.push_back(event->object()->objectName());
    };
    calculate();
    screenReader = nullptr;
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

// Tab cycles through the four fields and never reaches a button; Enter in an empty
// field moves on ('B' below is Shift+Tab). The calculator is centred as a whole:
// under a window manager by the frame it draws, without one by the window itself.
TEST_F(WindowsTest, starts_centred_and_tab_and_enter_move_through_the_fields) {
    expectCentred(*window());
    std::string reached;
    for (const char key : std::string("TTTTBTEEE")) {
        press(key == 'E' ? Qt::Key_Return : Qt::Key_Tab,
              key == 'B' ? Qt::ShiftModifier : Qt::NoModifier);
        reached += focusName() + " ";
    }
    EXPECT_EQ(reached,
              "txtAgencia txtDC txtCompte txtBanc txtCompte txtBanc txtAgencia txtDC txtCompte ");
}

// Each digit typed names the entity of the prefix so far, and a full field moves on.
// A click that brings the focus selects the whole text, as Tab does; a click in the
// focused field places the caret. One digit replaced leaves a
// field full, so it moves on.
TEST_F(WindowsTest, typing_names_each_prefix_and_a_click_selects_a_field_or_places_the_caret) {
    for (const QString typed : {"2", "21", "210", "2100"}) {
        type(typed.back());
        const auto name = toQString(mdlFuncions::obtenirNom(typed.toStdU16String())).toStdString();
        // A long name is cut at the label's edge: the tip holds it whole.
        EXPECT_EQ(std::pair(textOf("lblEntitat"), find("lblEntitat")->toolTip().toStdString()),
                  std::pair(name, name));
    }
    EXPECT_FALSE(textOf("lblEntitat").empty());
    EXPECT_EQ(focusName(), "txtAgencia");
    EXPECT_EQ(find("txtAgencia")->palette().color(QPalette::Base), QColor(255, 255, 192));
    EXPECT_EQ(find("txtBanc")->palette().color(QPalette::Base), QColor(224, 224, 224));
    type("1234515678901234");
    // Near the right end, where a click that only placed the caret would select nothing.
    const auto clickAt = [this](const char* name) {
        QTest::mouseClick(find(name), Qt::LeftButton, {},
                          QPoint(find(name)->width() - 3, find(name)->height() / 2));
    };
    clickAt("txtBanc");
    EXPECT_EQ(find<QLineEdit>("txtBanc")->selectedText(), "2100");
    clickAt("txtBanc");
    type("5");
    EXPECT_EQ(textOf("txtBanc"), "2100");
    press(Qt::Key_End);
    press(Qt::Key_Left, Qt::ShiftModifier);
    type("9");
    EXPECT_EQ(textOf("txtBanc"), "2109");
    EXPECT_EQ(focusName(), "txtAgencia");
    clickAt("txtBanc");
    clickAt("txtAgencia");
    EXPECT_EQ(find<QLineEdit>("txtAgencia")->selectedText(), "1234");
    type("7");
    EXPECT_EQ(textOf("txtAgencia"), "7");
    EXPECT_EQ(focusName(), "txtAgencia");
    QTest::mouseDClick(find("txtCompte"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>("txtCompte")->selectedText(), "5678901234");
}

// Only digits are typed, and Backspace edits. Alt and Meta chords belong to the window
// (menus, the desktop); AltGr, which some desktops report as Ctrl+Alt, types
// third-level characters through the filter.
TEST_F(WindowsTest, only_digits_are_typed_and_alt_or_meta_chords_reach_the_window) {
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
    // A letter, a space, punctuation, an accent, CJK (a unit above 0x7FFF), a digit.
    type("a -\u00E9\u8BA17");
    press(Qt::Key_Backspace);
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
    type("8");
    EXPECT_EQ(textOf("txtBanc"), "38");
    EXPECT_EQ(seen.keys, 5);
}

// A whole account or IBAN, pasted into any field however a person pastes it, fills
// all four and waits in the last one for Enter. A spreadsheet cell comes with its
// line end. The middle click pastes X11's selection, which offscreen has none of.
// Any other paste goes in unfiltered up to the field's maximum length, and the field
// reacts to it as to typing; the program's own texts raise the same reaction.
TEST_F(WindowsTest, a_paste_fills_the_four_fields_with_an_account_or_goes_in_as_it_is) {
    enum How { CtrlV, ShiftInsert, ContextMenu, MiddleClick };
    const std::tuple<const char*, const char*, How> rows[] = {
        {"txtDC", "ES03 2100 1234 5156 7890 1234", CtrlV},
        {"txtBanc", "IBAN es0321001234515678901234", ShiftInsert},
        {"txtAgencia", "2100-1234-51-5678901234", ContextMenu},
        {"txtCompte", "\tES03 2100 1234 5156 7890 1234\r\n", ShiftInsert},
        {"txtDC", "2100 1234 51 5678901234\r\n", ContextMenu},
        {"txtAgencia", "ES03 2100 1234 5156 7890 1234\n", MiddleClick},
        {"txtBanc", " 21ab", CtrlV},
    };
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const auto& [field, pasted, how] : rows) {
        SCOPED_TRACE(pasted);
        if (how == MiddleClick && !clipboard->supportsSelection())
            continue;
        for (const char* name : {"txtBanc", "txtAgencia", "txtDC", "txtCompte"})
            find<QLineEdit>(name)->clear();
        find(field)->setFocus();
        clipboard->setText(pasted,
                           how == MiddleClick ? QClipboard::Selection : QClipboard::Clipboard);
        if (how == CtrlV) {
            press(Qt::Key_V, Qt::ControlModifier);
        } else if (how == ShiftInsert) {
            press(Qt::Key_Insert, Qt::ShiftModifier);
        } else if (how == MiddleClick) {
            QTest::mouseClick(find(field), Qt::MiddleButton);
        } else {
            QMenu* menu = rightClick(field);
            ASSERT_NE(menu, nullptr);
            for (QAction* action : menu->actions())
                if (action->text().startsWith(QLineEdit::tr("&Paste")))
                    action->trigger();
            menu->close();
        }
        const bool account = std::string(pasted) != " 21ab";
        EXPECT_EQ(textOf("txtBanc") + "|" + textOf("txtAgencia") + "|" + textOf("txtDC") + "|" +
                      textOf("txtCompte"),
                  account ? "2100|1234|51|5678901234" : " 21a|||");
        EXPECT_EQ(textOf("lblEntitat"), account ? "CAIXABANK, S.A." : "BANCO CONDAL, S.A.");
        EXPECT_EQ(focusName(), account ? "txtCompte" : "txtAgencia");
        EXPECT_EQ(find<QLineEdit>("txtCompte")->selectedText(), account ? "5678901234" : "");
    }
}

// State: 2100 1234 51 5678901234 calculated. Action: other control digits typed, the
// question declined by a click on No; control digits swapped, the question, which
// names the likely account on a second line, accepted by Enter; another entity typed.
// Expected: each result's menu and each field's edit menu copies what its items say;
// the tip, the IBAN items and Ctrl+Shift+C offer the whole IBAN only while the fields
// hold the account it was calculated from, the BIC item only while the entity field
// holds the BIC's code. The question box speaks Catalan (Qt's own texts, built in on
// Windows), has no icon, closes only by an answer and reads both its lines. (Which
// changes withdraw what, case by case, and what each answer leaves: the tests on the
// fake.) Then a Spanish IBAN with wrong check digits pasted into the entity field: a
// box titled with the program's name, with its word in Catalan and one "D'acord"
// (Enter), and the focus back in the account field. (Every case and its words: the
// test of a pasted IBAN on the fake.)
TEST_F(WindowsTest, the_whole_iban_is_offered_only_while_the_fields_hold_its_account) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    calculate();
    const std::string es03 = "ES0321001234515678901234", paper03 = "ES03 2100 1234 5156 7890 1234";
    const std::pair<const char*, std::string> items[] = {{"mnuCopiaIBAN", es03},
                                                         {"mnuCopiaPaper", paper03},
                                                         {"mnuCopiaBIC", "CAIXESBBXXX"},
                                                         {"mnuCopiaNom", "CAIXABANK, S.A."}};
    for (const char* control : {"txtBanc", "lblSEPA", "txtCompte", "lblBIC", "lblEntitat"})
        for (const auto& [item, copied] : items)
            EXPECT_EQ(choose(control, item), copied) << control << " " << item;
    const auto expectOffered = [&](bool offered) {
        EXPECT_EQ(choose("lblSEPA", "mnuCopiaIBAN"), offered ? es03 : "disabled");
        EXPECT_EQ(choose("lblBIC", "mnuCopiaPaper"), offered ? paper03 : "disabled");
        const std::string tip = find("lblBIC")->toolTip().toStdString();
        EXPECT_EQ(offered ? tip.substr(0, paper03.size()) : tip, offered ? paper03 : "");
        clipboard->setText("-");
        press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(clipboard->text().toStdString(), offered ? es03 : "-");
    };
    expectOffered(true);
    find("txtBanc")->setFocus();
    type("21001234525678901234");
    whenModal([](QWidget& box) {
        EXPECT_EQ(boxAsSeen(box),
                  (QStringList{"Sí", "No", "El c/c és incorrecte. Vols continuar?", "Brelvoxa"}));
        press(Qt::Key_Escape);
        box.close();
        EXPECT_TRUE(box.isVisible());
        QTest::mouseClick(box.findChild<QWidget*>("no"), Qt::LeftButton);
    });
    press(Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    expectOffered(false);
    const QString named = "El c/c és incorrecte. Vols continuar?\n"
                          "Potser volíeu dir 2100 0418 45 0200051332.";
    whenModal([&named](QWidget& box) {
        EXPECT_EQ(boxAsSeen(box), (QStringList{"Sí", "No", named, "Brelvoxa"}));
        auto* prompt = box.findChild<QLabel*>("prompt");
        EXPECT_EQ(QAccessible::queryAccessibleInterface(prompt)->text(QAccessible::Name), named);
        press(Qt::Key_Return);
    });
    press(Qt::Key_A, Qt::ControlModifier); // the No left the focus there: retyped whole
    calculate("21000418540200051332");
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_EQ(textOf("lblSEPA"), "ES18");
    EXPECT_EQ(focusName(), "txtCompte");
    find("txtBanc")->setFocus();
    type("0049");
    EXPECT_EQ(choose("txtAgencia", "mnuCopiaBIC"), "disabled");
    EXPECT_EQ(choose("txtAgencia", "mnuCopiaNom"), "BANCO SANTANDER, S.A.");
    find("txtBanc")->setFocus();
    clipboard->setText("ES71 0182 0100 2402 0123 4567");
    QStringList texts;
    whenModal([&texts](QWidget& box) {
        texts = boxAsSeen(box);
        press(Qt::Key_Return);
    });
    press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window()));
    EXPECT_EQ(texts, (QStringList{"D'acord",
                                  "Els dígits de control de l'IBAN enganxat (ES71) no corresponen "
                                  "al compte. Per a aquest compte haurien de ser ES38.",
                                  "Brelvoxa", "icon"}));
    EXPECT_EQ(focusName(), "txtCompte");
}

// The notice opens modally and centred, each time, and leaves the calculator as it
// was. Under a window manager on X11 (the openbox run) the notice is framed as a fixed
// dialog, which the window manager tells through the actions it allows on it and the
// state it keeps for it.
TEST_F(WindowsTest, the_legal_notice_leaves_the_calculator_as_it_was_and_escape_ends_it) {
    const bool managed = QGuiApplication::platformName() == "xcb" &&
                         qEnvironmentVariableIsSet("BRELVOXA_WINDOW_MANAGER");
    calculate();
    const std::vector<std::string> before = shown();
    int opened = 0;
    QString actions, state;
    for (const int opening : {1, 2}) {
        SCOPED_TRACE(opening);
        whenModal([&](QWidget& notice) {
            ++opened;
            // The window manager sets them once it manages the window.
            (void)QTest::qWaitFor(
                [&] {
                    return !managed ||
                           (actions = xprop(notice, "_NET_WM_ALLOWED_ACTIONS")).contains("CLOSE");
                },
                5000);
            state = managed ? xprop(notice, "_NET_WM_STATE") : "";
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
    // Escape, held back while the notice was open, and the close box end the program.
    QTimer::singleShot(0, [this] { keyToCalculator(Qt::Key_Escape); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.loaded());
    runtime.show(form, false);
    window()->close();
    EXPECT_FALSE(form.loaded());
    EXPECT_EQ(window(), nullptr);
    if (!managed)
        return;
    for (const QString action :
         {"MOVE", "CLOSE", "RESIZE", "MINIMIZE", "MAXIMIZE_HORZ", "MAXIMIZE_VERT", "FULLSCREEN"})
        EXPECT_EQ(actions.contains("_NET_WM_ACTION_" + action),
                  action == "MOVE" || action == "CLOSE")
            << action.toStdString() << " in " << actions.toStdString();
    EXPECT_TRUE(state.contains("_NET_WM_STATE_SKIP_TASKBAR")) << state.toStdString();
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

#include "windows_test.moc"
