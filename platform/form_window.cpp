// A loaded form as a Qt window. Controls are placed in pixels converted from the
// design's twips at the window's screen resolution, below the menu bar. The form
// hears of focus per window: LostFocus and GotFocus are raised only when the
// control holding the window's focus changes, never when the whole window is
// merely deactivated and activated again (a question box, a menu).

#include "platform/form_window.h"

#include "platform/convert.h"

#include <QCloseEvent>
#include <QCursor>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <QtGlobal>

#include <algorithm>
#include <exception>
#include <string_view>
#include <utility>

namespace platform {

namespace {

QString resourcePath(std::string_view name) {
    return QStringLiteral(":/brelvoxa/") + QString::fromUtf8(name.data(), qsizetype(name.size())) +
           QStringLiteral(".png");
}

const QCursor& handCursor() {
    static const QCursor cursor = [] {
        const QPixmap picture(resourcePath("ma"));
        return picture.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(picture, 12, 1);
    }();
    return cursor;
}

bool canTakeFocus(forms::ControlKind kind) {
    return kind == forms::ControlKind::TextBox || kind == forms::ControlKind::CommandButton ||
           kind == forms::ControlKind::PictureBox;
}

Qt::FocusPolicy focusPolicyOf(const forms::ControlDef& def) {
    if (!canTakeFocus(def.kind) || def.tabIndex < 0) {
        return Qt::NoFocus;
    }
    return def.tabStop ? Qt::StrongFocus : Qt::ClickFocus;
}

void setColor(QWidget& widget, QPalette::ColorRole role, forms::Color color) {
    QPalette palette = widget.palette();
    palette.setColor(role, toQColor(color, palette));
    widget.setPalette(palette);
}

// ---- The form's view of its controls ------------------------------------------

class TextBoxAdapter final : public forms::TextBox {
public:
    TextBoxAdapter(EntryField& field, forms::Color backColor)
        : field_(field), backColor_(backColor) {}

    std::u16string text() const override { return toU16String(field_.text()); }
    // QLineEdit emits textChanged only when the text really differs.
    void setText(std::u16string_view text) override { field_.setText(toQString(text)); }
    int selStart() const override {
        return static_cast<int>(field_.hasSelectedText() ? field_.selectionStart()
                                                         : field_.cursorPosition());
    }
    int selLength() const override { return static_cast<int>(field_.selectedText().size()); }
    void setSelStart(int start) override {
        field_.setCursorPosition(std::clamp(start, 0, length()));
    }
    void setSelLength(int length) override {
        const int start = selStart();
        const int clamped = std::clamp(length, 0, this->length() - start);
        if (clamped == 0) {
            field_.setCursorPosition(start);
        } else {
            field_.setSelection(start, clamped);
        }
    }
    forms::Color backColor() const override { return backColor_; }
    void setBackColor(forms::Color color) override {
        backColor_ = color;
        setColor(field_, QPalette::Base, color);
    }
    void setFocus() override { field_.setFocus(Qt::OtherFocusReason); }

private:
    int length() const { return static_cast<int>(field_.text().size()); }

    EntryField& field_;
    forms::Color backColor_;
};

class MenuItemAdapter final : public forms::MenuItem {
public:
    explicit MenuItemAdapter(QAction& action) : action_(action) {}

    bool enabled() const override { return action_.isEnabled(); }
    void setEnabled(bool enabled) override { action_.setEnabled(enabled); }

private:
    QAction& action_;
};

class LabelAdapter final : public forms::Label {
public:
    LabelAdapter(QLabel& label, bool autoSize) : label_(label), autoSize_(autoSize) {}

    std::u16string caption() const override { return toU16String(label_.text()); }
    void setCaption(std::u16string_view caption) override {
        // A label without an accessible name of its own announces its new text.
        label_.setText(toQString(caption));
        if (autoSize_) {
            label_.adjustSize();
        }
    }
    void setToolTip(std::u16string_view tip) override { label_.setToolTip(toQString(tip)); }

private:
    QLabel& label_;
    bool autoSize_;
};

class ButtonAdapter final : public forms::CommandButton {
public:
    explicit ButtonAdapter(QPushButton& button) : button_(button) {}

    bool enabled() const override { return button_.isEnabled(); }
    void setFocus() override { button_.setFocus(Qt::OtherFocusReason); }

private:
    QPushButton& button_;
};

class PictureBoxAdapter final : public forms::PictureBox {
public:
    explicit PictureBoxAdapter(QWidget& box) : box_(box) {}

    void setFocus() override { box_.setFocus(Qt::OtherFocusReason); }

private:
    QWidget& box_;
};

} // namespace

struct FormWindow::Control {
    forms::ControlKind kind = forms::ControlKind::Label;
    QWidget* widget = nullptr;
    std::unique_ptr<forms::TextBox> textBox;
    std::unique_ptr<forms::Label> label;
    std::unique_ptr<forms::CommandButton> button;
    std::unique_ptr<forms::PictureBox> pictureBox;
};

// ---- The host: the window and its controls as the form sees them ---------------

class FormWindow::Host final : public forms::FormHost, public forms::Window {
public:
    explicit Host(FormWindow& window) : window_(window) {}

    forms::Window& window() override { return *this; }
    forms::TextBox& textBox(int control) override {
        return *expect(control, forms::ControlKind::TextBox).textBox;
    }
    forms::Label& label(int control) override {
        return *expect(control, forms::ControlKind::Label).label;
    }
    forms::CommandButton& button(int control) override {
        return *expect(control, forms::ControlKind::CommandButton).button;
    }
    forms::PictureBox& pictureBox(int control) override {
        return *expect(control, forms::ControlKind::PictureBox).pictureBox;
    }
    forms::MenuItem& menu(int row) override {
        auto& items = window_.menuItems_;
        if (row < 0 || static_cast<std::size_t>(row) >= items.size()) {
            qFatal("Menu row %d of %s does not exist", row, qPrintable(window_.objectName()));
        }
        return *items[static_cast<std::size_t>(row)];
    }

    forms::Twips height() const override {
        return pixelsToTwips(window_.outerGeometry().height(), window_.dpiY());
    }
    forms::Twips width() const override {
        return pixelsToTwips(window_.outerGeometry().width(), window_.dpiX());
    }
    forms::Twips top() const override {
        return pixelsToTwips(window_.outerGeometry().top(), window_.dpiY());
    }
    forms::Twips left() const override {
        return pixelsToTwips(window_.outerGeometry().left(), window_.dpiX());
    }
    void setTop(forms::Twips top) override {
        const QRect frame = window_.outerGeometry();
        window_.moveFrameTo(QPoint(frame.left(), twipsToPixels(top, window_.dpiY())));
    }
    void setLeft(forms::Twips left) override {
        const QRect frame = window_.outerGeometry();
        window_.moveFrameTo(QPoint(twipsToPixels(left, window_.dpiX()), frame.top()));
    }
    void refresh() override { window_.repaint(); }
    void unload() override { window_.unload(); }

private:
    // A wrong row or kind is a bug in the window's code, not a user's doing.
    Control& expect(int row, forms::ControlKind kind) {
        auto& controls = window_.controls_;
        if (row < 0 || static_cast<std::size_t>(row) >= controls.size() ||
            controls[static_cast<std::size_t>(row)].kind != kind) {
            qFatal("Control row %d of %s is not of the kind asked for", row,
                   qPrintable(window_.objectName()));
        }
        return controls[static_cast<std::size_t>(row)];
    }

    FormWindow& window_;
};

// ---- Building ---------------------------------------------------------------------

FormWindow::FormWindow(WindowOwner& owner, forms::Form& form)
    : owner_(owner), form_(&form), host_(std::make_unique<Host>(*this)) {
    const forms::FormDef& def = form.definition();
    setObjectName(toQString(def.name));
    setWindowTitle(toQString(def.caption));
    if (!def.icon.empty()) {
        setWindowIcon(QIcon(resourcePath(def.icon)));
    }
    if (def.border == forms::BorderStyle::FixedDialog) {
        setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                       Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    } else {
        setWindowFlags(Qt::Window);
    }

    buildMenus(def);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setColor(*client_, QPalette::Window, def.backColor);
    client_->setAutoFillBackground(true);
    buildControls(def);
    orderTabs(def);

    const QSize clientSize(twipsToPixels(def.clientWidth, dpiX()),
                           twipsToPixels(def.clientHeight, dpiY()));
    resize(clientSize.width(), menuHeight_ + clientSize.height());
    layOutChildren();
    if (def.border == forms::BorderStyle::FixedDialog) {
        setFixedSize(size());
    }
}

// Only the runtime deletes a window that is still loaded, when it goes itself; the
// form may be gone by then, so it is not touched here.
FormWindow::~FormWindow() {
    form_ = nullptr;
    // The controls call back into this object (focus moves while they go), so
    // they must go while it is still whole.
    delete client_;
    client_ = nullptr;
}

void FormWindow::buildMenus(const forms::FormDef& def) {
    const auto& menus = def.menus;
    const bool anyOnBar = std::any_of(menus.begin(), menus.end(),
                                      [](const auto& m) { return m.parent < 0 && m.visible; });
    if (anyOnBar) {
        menuBar_ = new QMenuBar(this);
        // The client area's position must not depend on a desktop-wide menu bar.
        menuBar_->setNativeMenuBar(false);
    }
    menus_.assign(menus.size(), nullptr);
    for (std::size_t row = 0; row < menus.size(); ++row) {
        const forms::MenuDef& item = menus[row];
        const int parent = item.parent;
        QMenu* parentMenu = (parent >= 0 && static_cast<std::size_t>(parent) < row)
                                ? menus_[static_cast<std::size_t>(parent)]
                                : nullptr;
        const bool hasItems = std::any_of(menus.begin(), menus.end(), [row](const auto& m) {
            return m.parent == static_cast<int>(row);
        });
        const QString caption = toQString(item.caption);
        const int r = static_cast<int>(row);
        QAction* action = nullptr;
        if (hasItems) {
            QMenu* menu = nullptr;
            if (parentMenu != nullptr) {
                menu = parentMenu->addMenu(caption);
            } else if (item.visible) {
                menu = menuBar_->addMenu(caption);
            } else {
                menu = new QMenu(caption, this); // a context menu, off the bar
            }
            menu->setObjectName(toQString(item.name));
            // Opening a menu is a click on it, as the menu's own Click event.
            connect(menu, &QMenu::aboutToShow, this,
                    [this, r] { dispatch([r](forms::Form& f) { f.onMenuClick(r); }); });
            menus_[row] = menu;
            action = menu->menuAction();
        } else {
            action = parentMenu != nullptr ? parentMenu->addAction(caption)
                                           : menuBar_->addAction(caption);
            connect(action, &QAction::triggered, this,
                    [this, r] { dispatch([r](forms::Form& f) { f.onMenuClick(r); }); });
        }
        action->setObjectName(toQString(item.name));
        action->setEnabled(item.enabled);
        if (!item.shortcut.empty()) {
            // Also on the window itself, so the chord works while the menu is closed.
            action->setShortcut(QKeySequence(toQString(item.shortcut), QKeySequence::PortableText));
            action->setShortcutContext(Qt::WindowShortcut);
            addAction(action);
        }
        menuItems_.push_back(std::make_unique<MenuItemAdapter>(*action));
    }
    if (menuBar_ != nullptr) {
        menuHeight_ = menuBar_->sizeHint().height();
    }
}

void FormWindow::buildControls(const forms::FormDef& def) {
    const double dx = dpiX();
    const double dy = dpiY();
    auto boxOf = [dx, dy](const forms::ControlDef& c) {
        return QRect(twipsToPixels(c.left, dx), twipsToPixels(c.top, dy),
                     twipsToPixels(c.width, dx), twipsToPixels(c.height, dy));
    };
    std::vector<QWidget*> behind; // pictures and lines lie under the labels
    controls_.reserve(def.controls.size());
    for (std::size_t index = 0; index < def.controls.size(); ++index) {
        const forms::ControlDef& c = def.controls[index];
        const int row = static_cast<int>(index);
        Control control;
        control.kind = c.kind;
        switch (c.kind) {
        case forms::ControlKind::TextBox: {
            auto* field = new EntryField(*this, row, client_);
            field->setFont(toQFont(c.font));
            field->setFrame(c.border);
            field->setAlignment(toQtAlignment(c.alignment) | Qt::AlignVCenter);
            if (c.maxLength > 0) {
                field->setMaxLength(c.maxLength);
            }
            setColor(*field, QPalette::Base, c.backColor);
            setColor(*field, QPalette::Text, c.foreColor);
            field->setText(toQString(c.text)); // the designed text is no change
            field->setGeometry(boxOf(c));
            connect(field, &QLineEdit::textChanged, this,
                    [this, row] { dispatch([row](forms::Form& f) { f.onChange(row); }); });
            control.textBox = std::make_unique<TextBoxAdapter>(*field, c.backColor);
            control.widget = field;
            break;
        }
        case forms::ControlKind::Label: {
            auto* label = new QLabel(client_);
            label->setTextFormat(Qt::PlainText);
            label->setFont(toQFont(c.font));
            // A framed box holding one line reads as a value shown in it: the line sits
            // in the middle, not against the top edge.
            const bool oneLineBox = c.border && !c.autoSize && !c.wordWrap;
            label->setAlignment(toQtAlignment(c.alignment) |
                                (oneLineBox ? Qt::AlignVCenter : Qt::AlignTop));
            label->setWordWrap(c.wordWrap && !c.autoSize);
            label->setMargin(0);
            label->setIndent(0);
            if (c.border) {
                label->setFrameStyle(QFrame::Box | QFrame::Plain);
                label->setLineWidth(1);
            }
            setColor(*label, QPalette::WindowText, c.foreColor);
            setColor(*label, QPalette::Window, c.backColor);
            label->setAutoFillBackground(c.opaque);
            label->setText(toQString(c.text));
            label->setGeometry(boxOf(c));
            if (c.autoSize) {
                label->adjustSize();
            }
            control.label = std::make_unique<LabelAdapter>(*label, c.autoSize);
            control.widget = label;
            break;
        }
        case forms::ControlKind::CommandButton: {
            auto* button = new CommandButtonWidget(*this, row, client_);
            button->setText(toQString(c.text));
            button->setFont(toQFont(c.font));
            // The desktop's own button colours unless the design picks others.
            if (!forms::isSystemColor(c.backColor)) {
                setColor(*button, QPalette::Button, c.backColor);
            }
            if (!forms::isSystemColor(c.foreColor)) {
                setColor(*button, QPalette::ButtonText, c.foreColor);
            }
            button->setGeometry(boxOf(c));
            connect(button, &QPushButton::clicked, this,
                    [this, row] { dispatch([row](forms::Form& f) { f.onClick(row); }); });
            if (c.cancel) {
                cancelRow_ = row;
            }
            if (c.isDefault) {
                defaultRow_ = row;
            }
            control.button = std::make_unique<ButtonAdapter>(*button);
            control.widget = button;
            break;
        }
        case forms::ControlKind::Image: {
            auto* image = new QLabel(client_);
            const QPixmap picture(resourcePath(c.picture));
            image->setPixmap(picture);
            const QRect box = boxOf(c);
            image->setGeometry(box.x(), box.y(), box.width(), box.height());
            if (!picture.isNull()) {
                image->resize(picture.deviceIndependentSize().toSize());
            }
            behind.push_back(image);
            control.widget = image;
            break;
        }
        case forms::ControlKind::Line: {
            const QPoint from(twipsToPixels(c.left, dx), twipsToPixels(c.top, dy));
            const QPoint to(twipsToPixels(c.width, dx), twipsToPixels(c.height, dy));
            auto* line = new LineWidget(from, to, toQColor(c.foreColor, palette()), client_);
            behind.push_back(line);
            control.widget = line;
            break;
        }
        case forms::ControlKind::PictureBox: {
            auto* box = new PictureBoxWidget(*this, row, client_);
            if (c.border) {
                box->setFrameStyle(QFrame::Box | QFrame::Plain);
            }
            setColor(*box, QPalette::Window, c.backColor);
            box->setAutoFillBackground(true);
            box->setGeometry(boxOf(c));
            control.pictureBox = std::make_unique<PictureBoxAdapter>(*box);
            control.widget = box;
            break;
        }
        }
        QWidget* widget = control.widget;
        widget->setObjectName(toQString(c.name));
        if (!c.accessibleName.empty()) {
            widget->setAccessibleName(toQString(c.accessibleName));
        }
        widget->setFocusPolicy(focusPolicyOf(c));
        if (c.pointer == forms::ControlPointer::Hand) {
            widget->setCursor(handCursor());
        }
        if (c.popupMenu >= 0 && static_cast<std::size_t>(c.popupMenu) < menus_.size() &&
            menus_[static_cast<std::size_t>(c.popupMenu)] != nullptr) {
            QMenu* popup = menus_[static_cast<std::size_t>(c.popupMenu)];
            widget->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(widget, &QWidget::customContextMenuRequested, popup,
                    [popup, widget](QPoint at) { popup->popup(widget->mapToGlobal(at)); });
        }
        controls_.push_back(std::move(control));
    }
    for (auto it = behind.rbegin(); it != behind.rend(); ++it) {
        (*it)->lower();
    }
    // A caption is the buddy of what it names (the labelled-by relation for a screen
    // reader), and is read beside that control's own text as its description.
    for (std::size_t index = 0; index < def.controls.size(); ++index) {
        const int target = def.controls[index].labelFor;
        auto* caption = qobject_cast<QLabel*>(controls_[index].widget);
        if (target < 0 || static_cast<std::size_t>(target) >= controls_.size() ||
            caption == nullptr) {
            continue;
        }
        QWidget* named = controls_[static_cast<std::size_t>(target)].widget;
        caption->setBuddy(named);
        named->setAccessibleDescription(caption->text());
    }
}

void FormWindow::orderTabs(const forms::FormDef& def) {
    std::vector<int> rows;
    for (std::size_t i = 0; i < def.controls.size(); ++i) {
        if (focusPolicyOf(def.controls[i]) != Qt::NoFocus) {
            rows.push_back(static_cast<int>(i));
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [&def](int a, int b) {
        return def.controls[static_cast<std::size_t>(a)].tabIndex <
               def.controls[static_cast<std::size_t>(b)].tabIndex;
    });
    for (std::size_t i = 1; i < rows.size(); ++i) {
        setTabOrder(controls_[static_cast<std::size_t>(rows[i - 1])].widget,
                    controls_[static_cast<std::size_t>(rows[i])].widget);
    }
}

// ---- Running ------------------------------------------------------------------------

forms::FormHost& FormWindow::host() {
    return *host_;
}

QRect FormWindow::outerGeometry() const {
    return geometry().marginsAdded(frameMargins());
}

// Placed by its inner geometry, with the frame worked out here: QWidget's own idea
// of the frame can miss the window manager's news.
void FormWindow::moveFrameTo(QPoint topLeft) {
    const QMargins frame = frameMargins();
    setGeometry(QRect(topLeft + QPoint(frame.left(), frame.top()), size()));
}

QMargins FormWindow::frameMargins() const {
    const QWindow* handle = windowHandle();
    if (isVisible() && handle != nullptr && !handle->frameMargins().isNull()) {
        return handle->frameMargins();
    }
    // Before the desktop frames the window, the frame last seen on another.
    return owner_.knownFrameMargins();
}

double FormWindow::dpiX() const {
    return screen()->logicalDotsPerInchX();
}

double FormWindow::dpiY() const {
    return screen()->logicalDotsPerInchY();
}

template <class Reaction> void FormWindow::dispatch(Reaction&& reaction) {
    if (form_ == nullptr) {
        return;
    }
    // An exception must not unwind through Qt's event dispatch.
    try {
        reaction(*form_);
    } catch (const std::exception& error) {
        qFatal("Unhandled error in a reaction of %s: %s", qPrintable(objectName()), error.what());
    } catch (...) {
        qFatal("Unhandled error in a reaction of %s", qPrintable(objectName()));
    }
}

void FormWindow::unload() {
    if (form_ == nullptr) {
        return;
    }
    std::exchange(form_, nullptr)->attach(nullptr);
    if (!inCloseEvent_) {
        close();
    }
    deleteLater();
    if (modalLoop_ != nullptr) {
        modalLoop_->quit();
        modalLoop_ = nullptr;
    }
    owner_.windowUnloaded(*this);
}

void FormWindow::controlFocused(int row) {
    if (form_ == nullptr || row == focusedRow_) {
        return; // the window was only activated again
    }
    const int previous = std::exchange(focusedRow_, row);
    if (previous >= 0) {
        dispatch([previous](forms::Form& f) { f.onLostFocus(previous); });
    }
    // LostFocus may have moved the focus on already; that move raised its own events.
    if (focusedRow_ == row) {
        dispatch([row](forms::Form& f) { f.onGotFocus(row); });
    }
}

bool FormWindow::textPasted(int row, const QString& text) {
    bool taken = false;
    dispatch([row, &text, &taken](forms::Form& f) { taken = f.onPaste(row, toU16String(text)); });
    return taken;
}

bool FormWindow::keyTyped(int row, std::int16_t& keyAscii) {
    dispatch([row, &keyAscii](forms::Form& f) { f.onKeyPress(row, keyAscii); });
    return form_ != nullptr;
}

void FormWindow::clickButton(int row) {
    QWidget* button = controls_[static_cast<std::size_t>(row)].widget;
    if (button->isEnabled() && button->isVisible()) {
        static_cast<QPushButton*>(button)->click();
    }
}

bool FormWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
        frameMaybeDrawn();
        break;
    case QEvent::WindowActivate:
        // A window manager that frames a window where it was asked to moves nothing,
        // so the first activation may be the first news of the frame.
        frameMaybeDrawn();
        dispatch([](forms::Form& f) { f.Form_Activate(); });
        break;
    default:
        break;
    }
    return handled;
}

void FormWindow::frameMaybeDrawn() {
    const QWindow* handle = windowHandle();
    if (!isVisible() || handle == nullptr || handle->frameMargins().isNull()) {
        return;
    }
    owner_.frameMarginsSeen(frameMargins());
    // Once: Form_Load measured an estimate, and the window manager may have placed
    // the window by its own rule.
    if (!std::exchange(frameKnown_, true)) {
        dispatch([](forms::Form& f) { f.onFrameKnown(); });
    }
}

// The close box, the system menu and Alt+F4 unload the form like its own code would.
void FormWindow::closeEvent(QCloseEvent* event) {
    inCloseEvent_ = true;
    unload();
    inCloseEvent_ = false;
    event->accept();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const int key = event->key();
        if (key == Qt::Key_Escape && cancelRow_ >= 0) {
            event->accept();
            clickButton(cancelRow_);
            return;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && defaultRow_ >= 0) {
            event->accept();
            clickButton(defaultRow_);
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutChildren();
}

void FormWindow::layOutChildren() {
    if (menuBar_ != nullptr) {
        menuBar_->setGeometry(0, 0, width(), menuHeight_);
    }
    // A larger window shows more background; a smaller one cuts controls off.
    client_->setGeometry(0, menuHeight_, width(), height() - menuHeight_);
}

} // namespace platform
