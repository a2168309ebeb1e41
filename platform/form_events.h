#pragma once
// How a Qt event becomes a form event.
//
// Every signal that a control or a menu item raises goes to its window through
// this one interface, by the control's row in the form's control table (or the
// item's row in its menu table). The window, FormWindow, raises the form's event
// only while the form is loaded, and lets nothing thrown in a reaction unwind
// into Qt.
//
//   Qt                                                  the form
//   ------------------------------------------------    -----------------------------
//   QLineEdit::textChanged: typed, pasted, set by code  onChange
//   QPushButton::clicked: mouse, Space, Enter on the    onClick
//     button, Escape for the window's cancel button
//   focusInEvent of a control                           onLostFocus of the control that
//                                                       had the focus, then onGotFocus
//   a key in a text box, one event per UTF-16 unit      onKeyPress; a code set to 0
//     it types (Ctrl+letter as its control code)        drops the keystroke
//   Ctrl+V, Shift+Insert, the context menu's Paste,     onPaste; true: the form took
//     the middle click's paste of X11's selection       the text, the field gets nothing
//   QAction::triggered, QMenu::aboutToShow, a menu      onMenuClick
//     item's key chord (QShortcut), enabled or not
//
// The window's own events are translated in FormWindow itself: QEvent::
// WindowActivate is Form_Activate, the close box unloads the form, and the first
// frame the desktop draws around the window is onFrameKnown.

#include <QString>

#include <cstdint>

namespace platform {

class FormEvents {
public:
    virtual void controlChanged(int row) = 0;
    virtual void controlClicked(int row) = 0;
    // The control has just received the keyboard focus, for whatever reason.
    virtual void controlFocused(int row) = 0;
    // False when the form has been unloaded meanwhile: the key goes nowhere.
    virtual bool keyTyped(int row, std::int16_t& keyAscii) = 0;
    // True when the form took the text and the field gets nothing.
    virtual bool textPasted(int row, const QString& text) = 0;
    virtual void menuChosen(int row) = 0;

protected:
    ~FormEvents() = default;
};

} // namespace platform
