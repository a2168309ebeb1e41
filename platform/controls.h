#pragma once
// One small factory per kind of control: each makes the Qt widget for a row of a
// form's control table, placed and styled as designed, and the view of it that
// the form gets through its FormHost. What a control reports back (change, click,
// focus, keys, pastes) goes through FormEvents, wired inside the widget itself.

#include "platform/form_events.h"
#include "ui/forms.h"

#include <QPalette>
#include <QString>

#include <memory>
#include <string_view>

class QWidget;

namespace platform {

// A built control: its widget, owned by the parent it was made on, and the one
// view that fits its kind (none for images and lines, which the form never
// touches).
struct Control {
    forms::ControlKind kind = forms::ControlKind::Label;
    QWidget* widget = nullptr;
    std::unique_ptr<forms::TextBox> textBox;
    std::unique_ptr<forms::Label> label;
    std::unique_ptr<forms::CommandButton> button;
    std::unique_ptr<forms::PictureBox> pictureBox;
    bool behind = false; // pictures and lines lie under the other controls
};

// Where a control is made: on which widget, reporting to whom, as which row, at
// which screen resolution.
struct ControlSite {
    QWidget& parent;
    FormEvents& events;
    int row;
    double dpiX;
    double dpiY;
};

// The control of a row, with what every kind shares: its name, accessible name,
// focus policy and pointer.
Control makeControl(const forms::ControlDef& def, const ControlSite& site);

// Tab and click for a control in the Tab cycle, click alone for one out of it,
// nothing for those that never take the focus.
Qt::FocusPolicy focusPolicyOf(const forms::ControlDef& def);

// A picture compiled into the program, by its resource name.
QString resourcePath(std::string_view name);

void setColor(QWidget& widget, QPalette::ColorRole role, forms::Color color);

} // namespace platform
