#pragma once
// The Qt widgets behind the forms layer's controls. Each knows its row in the
// window's control table and reports what happens to it (focus, change, click,
// typed keys, pastes) to its window through FormEvents.

#include "platform/form_events.h"

#include <QClipboard>
#include <QColor>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QPushButton>

#include <cstdint>

namespace platform {

// A control widget of kind Base that knows its row and tells its window when it
// receives the keyboard focus, for whatever reason.
template <class Base> class ControlWidget : public Base {
public:
    ControlWidget(FormEvents& events, int row, QWidget* parent)
        : Base(parent), events_(events), row_(row) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        Base::focusInEvent(event);
        events_.controlFocused(row_);
    }

    FormEvents& events_;
    const int row_;
};

// A text box: every change of its text is reported, and every typed character
// goes through KeyPress first, one UTF-16 unit at a time. A paste (Ctrl+V,
// Shift+Insert, the context menu, the middle click) is offered to the form
// first; what the form leaves goes in unfiltered, as does a drop: the maximum
// length is their only limit.
//
// The click that brings the focus into a field keeps the whole text selected, as
// Tab does, so the next digit replaces it; only a drag that follows turns it into
// a selection of its own. Keys held with Alt or Meta type nothing: they belong to
// the window (menus) and the desktop.
//
// The edit menu opens with a right click, Shift+F10 or the Menu key, and may carry
// the items of a menu of the form's below its own.
class EntryField final : public ControlWidget<QLineEdit> {
public:
    EntryField(FormEvents& events, int row, QWidget* parent);

    // The items of `menu` follow the edit items, after a separator; they stay the
    // menu's own actions, so that what enables them enables them here too.
    void appendMenu(QMenu& menu) { appended_ = &menu; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Offers the clipboard's text (or the X11 selection's) to the form first;
    // false: paste as usual.
    bool pasteTaken(QClipboard::Mode mode = QClipboard::Clipboard);

    QPointer<QMenu> appended_;
    bool focusedByClick_ = false; // the focus came with a mouse press still to arrive
    bool pressHeld_ = false;      // that press, kept back from the field
    QPointF heldAt_;
    QPointF heldAtGlobal_;
};

// A command button that reports its clicks. Unlike a plain QPushButton outside a
// dialog, Enter clicks it while it has the focus.
class CommandButtonWidget final : public ControlWidget<QPushButton> {
public:
    CommandButtonWidget(FormEvents& events, int row, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// A picture box without a picture: it can hold the focus and draws only its
// background (and its border, if it has one).
using PictureBoxWidget = ControlWidget<QFrame>;

// A one-pixel solid line between two points of the parent, which it covers
// only with its bounding box; the mouse passes through it.
class LineWidget final : public QWidget {
public:
    LineWidget(QPoint from, QPoint to, QColor color, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_; // in the widget's own coordinates
    QPoint to_;
    QColor color_;
};

} // namespace platform
