// The widgets behind the forms layer's controls, and the rule that turns a key
// event into KeyPress codes: one per UTF-16 unit of the typed text, Ctrl+letter
// as its control code (Ctrl+V is 22), and nothing at all for keys that type no
// character or that the window handles itself (Tab, Escape).

#include "platform/widgets.h"

#include "ui/forms.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

constexpr char16_t enter = forms::vbKeyReturn;

// Shift+F10 and the Menu key, the keyboard's right click.
bool opensMenu(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    return (event.key() == Qt::Key_Menu && mods == Qt::NoModifier) ||
           (event.key() == Qt::Key_F10 && mods == Qt::ShiftModifier);
}

// Alt or Meta without Ctrl: AltGr arrives as Ctrl+Alt or unmodified.
bool isChord(const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers();
    return mods.testAnyFlags(Qt::AltModifier | Qt::MetaModifier) &&
           !mods.testFlag(Qt::ControlModifier);
}

// The characters a key event types, as KeyPress sees them; empty when the key
// types nothing or belongs to the window.
QString typedCharacters(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Delete: // some platforms report it as the DEL character
        return {};
    default:
        break;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods.testFlag(Qt::ControlModifier);
    // Ctrl+Alt is how some keyboards reach their third-level characters.
    const bool alt = mods.testFlag(Qt::AltModifier) || mods.testFlag(Qt::MetaModifier);
    if (isChord(event)) {
        return {}; // the field's key handling decides what becomes of it
    }
    QString text = event.text();
    if (ctrl && !alt) {
        // Some platforms report Ctrl+V as "v", others as the control character.
        if (text.size() == 1 && text.at(0).unicode() < 0x80 && text.at(0).isLetter()) {
            return QString(QChar(static_cast<char16_t>(text.at(0).toUpper().unicode() - 0x40)));
        }
        if (text.size() == 1 && text.at(0).unicode() < 0x20) {
            return text;
        }
        return {};
    }
    if (text.isEmpty() && (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter)) {
        return QString(QChar(enter));
    }
    return text;
}

// The key event for a replaced character code, as if its key had been pressed.
QKeyEvent keyEventFor(std::int16_t keyAscii) {
    const auto unit = static_cast<char16_t>(keyAscii);
    const QString text(QChar{unit});
    if (unit == 8) {
        return QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, text);
    }
    if (unit == enter) {
        return QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, text);
    }
    if (unit >= 1 && unit <= 26) {
        return QKeyEvent(QEvent::KeyPress, Qt::Key_A + (unit - 1), Qt::ControlModifier, text);
    }
    return QKeyEvent(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
}

} // namespace

EntryField::EntryField(FormEvents& events, int row, QWidget* parent)
    : ControlWidget(events, row, parent) {
    // An input method would commit text without a key event, past KeyPress.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    // QLineEdit says so only when the text really differs.
    connect(this, &QLineEdit::textChanged, this, [this] { events_.controlChanged(row_); });
}

void EntryField::keyPressEvent(QKeyEvent* event) {
    // Where the desktop makes a menu of the key itself, that menu is open already and
    // the key goes to it, not here.
    if (opensMenu(*event)) {
        event->accept();
        const QPoint at = cursorRect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, at, mapToGlobal(at),
                                  event->modifiers());
        QCoreApplication::sendEvent(this, &request);
        return;
    }
    const QString typed = typedCharacters(*event);
    if (typed.isEmpty()) {
        // A chord that would type a character belongs to the window (menus) and the
        // desktop; chords on editing keys are the field's.
        const QString text = event->text();
        if (isChord(*event) && !text.isEmpty() && text.at(0).isPrint()) {
            event->ignore();
            return;
        }
        if (event->matches(QKeySequence::Paste) && pasteTaken()) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    QString kept;
    bool unchanged = true;
    for (const QChar unit : typed) {
        const auto original = static_cast<std::int16_t>(unit.unicode());
        std::int16_t keyAscii = original;
        if (!events_.keyTyped(row_, keyAscii)) {
            event->accept(); // the window is going away
            return;
        }
        unchanged = unchanged && keyAscii == original;
        if (keyAscii != 0) {
            kept.append(QChar(static_cast<char16_t>(keyAscii)));
        }
    }
    if (unchanged) {
        if (event->matches(QKeySequence::Paste) && pasteTaken()) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Dropped: no character, no beep, and no parent sees the key either.
    event->accept();
    for (const QChar unit : kept) {
        QKeyEvent replacement = keyEventFor(static_cast<std::int16_t>(unit.unicode()));
        QLineEdit::keyPressEvent(&replacement);
    }
}

bool EntryField::pasteTaken(QClipboard::Mode mode) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr || isReadOnly() ||
        (mode == QClipboard::Selection && !clipboard->supportsSelection())) {
        return false;
    }
    return events_.textPasted(row_, clipboard->text(mode));
}

// The standard edit menu, with its Paste offered to the form first like Ctrl+V, and
// the appended menu's items below. The Paste item is the one wired to paste(); its
// caption is not looked at.
void EntryField::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (QAction* action : menu->actions()) {
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste()))) {
            connect(action, &QAction::triggered, this, [this] {
                if (!pasteTaken()) {
                    paste();
                }
            });
        }
    }
    if (appended_ != nullptr) {
        menu->addSeparator();
        menu->addActions(appended_->actions());
    }
    menu->popup(event->globalPos());
}

void EntryField::focusInEvent(QFocusEvent* event) {
    focusedByClick_ = event->reason() == Qt::MouseFocusReason;
    ControlWidget::focusInEvent(event);
}

void EntryField::focusOutEvent(QFocusEvent* event) {
    focusedByClick_ = pressHeld_ = false;
    ControlWidget::focusOutEvent(event);
}

// GotFocus has just selected the whole text; placing the caret now would undo it.
void EntryField::mousePressEvent(QMouseEvent* event) {
    if (std::exchange(focusedByClick_, false) && event->button() == Qt::LeftButton) {
        pressHeld_ = true;
        heldAt_ = event->position();
        heldAtGlobal_ = event->globalPosition();
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

// A drag from the focusing click selects from where it began, as in any field.
void EntryField::mouseMoveEvent(QMouseEvent* event) {
    if (pressHeld_ && event->buttons().testFlag(Qt::LeftButton) &&
        (event->position() - heldAt_).manhattanLength() >= QApplication::startDragDistance()) {
        pressHeld_ = false;
        QMouseEvent press(QEvent::MouseButtonPress, heldAt_, heldAtGlobal_, Qt::LeftButton,
                          Qt::LeftButton, event->modifiers(), event->pointingDevice());
        QLineEdit::mousePressEvent(&press);
    }
    QLineEdit::mouseMoveEvent(event);
}

void EntryField::mouseReleaseEvent(QMouseEvent* event) {
    // X11's middle click pastes the selection: the form may take it like any paste.
    if (event->button() == Qt::MiddleButton && pasteTaken(QClipboard::Selection)) {
        event->accept();
        return;
    }
    if (std::exchange(pressHeld_, false)) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

CommandButtonWidget::CommandButtonWidget(FormEvents& events, int row, QWidget* parent)
    : ControlWidget(events, row, parent) {
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { events_.controlClicked(row_); });
}

void CommandButtonWidget::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        event->accept();
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

LineWidget::LineWidget(QPoint from, QPoint to, QColor color, QWidget* parent)
    : QWidget(parent), color_(color) {
    const QPoint topLeft(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    const QPoint bottomRight(std::max(from.x(), to.x()), std::max(from.y(), to.y()));
    setGeometry(QRect(topLeft, bottomRight));
    from_ = from - topLeft;
    to_ = to - topLeft;
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void LineWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setPen(QPen(color_, 0)); // cosmetic: one pixel whatever the scale
    painter.drawLine(from_, to_);
}

} // namespace platform
