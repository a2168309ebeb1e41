#pragma once
// A loaded form as a Qt top-level window: the menu bar (if any) above a client
// area of the designed size, the controls of the form's table placed on it in
// pixels (controls.h), and the translation of Qt's events into the form's events
// (form_events.h). The window is also the form's FormHost while the form is loaded.

#include "platform/controls.h"
#include "platform/form_events.h"
#include "ui/forms.h"

#include <QMargins>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QAction;
class QEventLoop;
class QKeySequence;
class QMenu;
class QMenuBar;

namespace platform {

class FormWindow;

// What a window needs from the runtime that loaded it.
class WindowOwner {
public:
    // The window has been unloaded: hidden, detached from its form and due for deletion.
    virtual void windowUnloaded(FormWindow& window) = 0;
    // The frame a shown window got from the desktop, to estimate the outer size
    // of windows not shown yet.
    virtual QMargins knownFrameMargins() const = 0;
    virtual void frameMarginsSeen(QMargins margins) = 0;

protected:
    ~WindowOwner() = default;
};

class FormWindow final : public QWidget, private FormEvents {
public:
    // Builds the window and its controls from the form's definition; the form is
    // not attached yet (the runtime does that before Form_Load).
    FormWindow(WindowOwner& owner, forms::Form& form);
    ~FormWindow() override;

    // nullptr once unloaded.
    forms::Form* form() const { return form_; }
    forms::FormHost& host();

    // Detaches the form, closes the window and deletes it once control returns
    // to the event loop (unload usually runs inside one of the window's own
    // reactions), ends a modal show of it, and tells the owner.
    void unload();
    // The nested loop of a modal show, quit by unload(); nullptr for none.
    void setModalLoop(QEventLoop* loop) { modalLoop_ = loop; }

    // Outer size and position in pixels, frame included (estimated until shown).
    QRect outerGeometry() const;
    void moveFrameTo(QPoint topLeft);
    // Around the inner geometry: as the desktop drew it, or an estimate until then.
    QMargins frameMargins() const;
    double dpiX() const;
    double dpiY() const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Host;

    void controlChanged(int row) override;
    void controlClicked(int row) override;
    void controlFocused(int row) override;
    bool keyTyped(int row, std::int16_t& keyAscii) override;
    bool textPasted(int row, const QString& text) override;
    void menuChosen(int row) override;

    void buildMenus(const forms::FormDef& def);
    void addChord(QAction& action, int row, const QKeySequence& chord);
    void buildControls(const forms::FormDef& def);
    void attachPopupMenu(int menuRow, QWidget& widget);
    void nameCaptions(const forms::FormDef& def);
    void orderTabs(const forms::FormDef& def);
    void clickButton(int row);
    void layOutChildren();
    // Learns the frame the desktop drew, and tells the form the first time.
    void frameMaybeDrawn();
    // Runs a reaction of the form if it is still loaded.
    template <class Reaction> void dispatch(Reaction&& reaction);

    WindowOwner& owner_;
    forms::Form* form_;
    std::unique_ptr<Host> host_;
    std::vector<Control> controls_;
    QMenuBar* menuBar_ = nullptr;
    std::vector<QMenu*> menus_; // by row of the menu table; nullptr for plain items
    std::vector<std::unique_ptr<forms::MenuItem>> menuItems_;
    QWidget* client_ = nullptr;
    int menuHeight_ = 0;
    int cancelRow_ = -1;
    int defaultRow_ = -1;
    int focusedRow_ = -1; // the control the form was last told has the focus
    QEventLoop* modalLoop_ = nullptr;
    bool inCloseEvent_ = false;
    bool frameKnown_ = false;
    bool fixedDialog_ = false;
};

} // namespace platform
