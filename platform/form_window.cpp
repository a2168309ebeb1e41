// A loaded form as a Qt window. Controls are placed in pixels converted from the
// design's twips at the window's screen resolution, below the menu bar. The form
// hears of focus per window: LostFocus and GotFocus are raised only when the
// control holding the window's focus changes, never when the whole window is
// merely deactivated and activated again (a question box, a menu).

#include "platform/form_window.h"

#include "platform/convert.h"
#include "platform/widgets.h"
#include "platform/x11_dialog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <QtGlobal>

#include <algorithm>
#include <exception>
#include <utility>

namespace platform {

namespace {

class MenuItemAdapter final : public forms::MenuItem {
public:
    explicit MenuItemAdapter(QAction& action) : action_(action) {}

    bool enabled() const override { return action_.isEnabled(); }
    void setEnabled(bool enabled) override { action_.setEnabled(enabled); }

private:
    QAction& action_;
};

} // namespace

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
    fixedDialog_ = def.border == forms::BorderStyle::FixedDialog;
    if (fixedDialog_) {
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
            connect(menu, &QMenu::aboutToShow, this, [this, r] { menuChosen(r); });
            menus_[row] = menu;
            action = menu->menuAction();
        } else {
            action = parentMenu != nullptr ? parentMenu->addAction(caption)
                                           : menuBar_->addAction(caption);
            connect(action, &QAction::triggered, this, [this, r] { menuChosen(r); });
        }
        action->setObjectName(toQString(item.name));
        action->setEnabled(item.enabled);
        if (!item.shortcut.empty()) {
            addChord(*action, r,
                     QKeySequence(toQString(item.shortcut), QKeySequence::PortableText));
        }
        menuItems_.push_back(std::make_unique<MenuItemAdapter>(*action));
    }
    if (menuBar_ != nullptr) {
        menuHeight_ = menuBar_->sizeHint().height();
    }
}

// The item shows the chord and takes it while its menu is open; the window takes it
// the rest of the time, and raises the item's Click even while the item is disabled
// (a disabled QAction would swallow it unheard), so that the form can refuse it.
void FormWindow::addChord(QAction& action, int row, const QKeySequence& chord) {
    action.setShortcut(chord);
    action.setShortcutContext(Qt::WidgetShortcut);
    auto* shortcut = new QShortcut(chord, this);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, row] { menuChosen(row); });
}

// The controls in table order, each made by the factory of its kind; then what
// ties one control to another or to a menu.
void FormWindow::buildControls(const forms::FormDef& def) {
    controls_.reserve(def.controls.size());
    for (std::size_t index = 0; index < def.controls.size(); ++index) {
        const forms::ControlDef& c = def.controls[index];
        const int row = static_cast<int>(index);
        controls_.push_back(makeControl(c, ControlSite{*client_, *this, row, dpiX(), dpiY()}));
        if (c.kind == forms::ControlKind::CommandButton && c.cancel) {
            cancelRow_ = row;
        }
        if (c.kind == forms::ControlKind::CommandButton && c.isDefault) {
            defaultRow_ = row;
        }
        attachPopupMenu(c.popupMenu, *controls_.back().widget);
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (it->behind) {
            it->widget->lower();
        }
    }
    nameCaptions(def);
}

void FormWindow::attachPopupMenu(int menuRow, QWidget& widget) {
    if (menuRow < 0 || static_cast<std::size_t>(menuRow) >= menus_.size() ||
        menus_[static_cast<std::size_t>(menuRow)] == nullptr) {
        return;
    }
    QMenu* popup = menus_[static_cast<std::size_t>(menuRow)];
    // A field keeps its edit menu and adds the items to it.
    if (auto* field = dynamic_cast<EntryField*>(&widget)) {
        field->appendMenu(*popup);
        return;
    }
    widget.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&widget, &QWidget::customContextMenuRequested, popup,
            [popup, &widget](QPoint at) { popup->popup(widget.mapToGlobal(at)); });
}

// A caption is the buddy of what it names (the labelled-by relation for a screen
// reader), and is read beside that control's own text as its description.
void FormWindow::nameCaptions(const forms::FormDef& def) {
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

void FormWindow::controlChanged(int row) {
    dispatch([row](forms::Form& f) { f.onChange(row); });
}

void FormWindow::controlClicked(int row) {
    dispatch([row](forms::Form& f) { f.onClick(row); });
}

void FormWindow::menuChosen(int row) {
    dispatch([row](forms::Form& f) { f.onMenuClick(row); });
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
        // Before the window is mapped: the window manager reads the frame then.
        if (fixedDialog_) {
            markFixedDialog(*this);
        }
        frameMaybeDrawn();
        break;
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
