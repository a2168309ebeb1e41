// The factories of the six kinds of control, and the views the form gets of
// them. Every factory places its widget in pixels converted from the design's
// twips; the designed text of a field is set before anything listens, so it is
// no change.

#include "platform/controls.h"

#include "platform/convert.h"
#include "platform/widgets.h"

#include <QCursor>
#include <QLabel>
#include <QPixmap>
#include <QSignalBlocker>

#include <algorithm>

namespace platform {

namespace {

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

QRect boxOf(const forms::ControlDef& def, const ControlSite& site) {
    return QRect(twipsToPixels(def.left, site.dpiX), twipsToPixels(def.top, site.dpiY),
                 twipsToPixels(def.width, site.dpiX), twipsToPixels(def.height, site.dpiY));
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

Control built(forms::ControlKind kind, QWidget* widget, bool behind = false) {
    Control control;
    control.kind = kind;
    control.widget = widget;
    control.behind = behind;
    return control;
}

// ---- One factory per kind ---------------------------------------------------------

Control makeTextBox(const forms::ControlDef& c, const ControlSite& site) {
    auto* field = new EntryField(site.events, site.row, &site.parent);
    field->setFont(toQFont(c.font));
    field->setFrame(c.border);
    field->setAlignment(toQtAlignment(c.alignment) | Qt::AlignVCenter);
    if (c.maxLength > 0) {
        field->setMaxLength(c.maxLength);
    }
    setColor(*field, QPalette::Base, c.backColor);
    setColor(*field, QPalette::Text, c.foreColor);
    {
        const QSignalBlocker designed(field); // the designed text is no change
        field->setText(toQString(c.text));
    }
    field->setGeometry(boxOf(c, site));
    Control control = built(c.kind, field);
    control.textBox = std::make_unique<TextBoxAdapter>(*field, c.backColor);
    return control;
}

Control makeLabel(const forms::ControlDef& c, const ControlSite& site) {
    auto* label = new QLabel(&site.parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(toQFont(c.font));
    // A framed box holding one line reads as a value shown in it: the line sits in
    // the middle, not against the top edge.
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
    label->setGeometry(boxOf(c, site));
    if (c.autoSize) {
        label->adjustSize();
    }
    Control control = built(c.kind, label);
    control.label = std::make_unique<LabelAdapter>(*label, c.autoSize);
    return control;
}

Control makeButton(const forms::ControlDef& c, const ControlSite& site) {
    auto* button = new CommandButtonWidget(site.events, site.row, &site.parent);
    button->setText(toQString(c.text));
    button->setFont(toQFont(c.font));
    // The desktop's own button colours unless the design picks others.
    if (!forms::isSystemColor(c.backColor)) {
        setColor(*button, QPalette::Button, c.backColor);
    }
    if (!forms::isSystemColor(c.foreColor)) {
        setColor(*button, QPalette::ButtonText, c.foreColor);
    }
    button->setGeometry(boxOf(c, site));
    Control control = built(c.kind, button);
    control.button = std::make_unique<ButtonAdapter>(*button);
    return control;
}

// Shown at the picture's own size, whatever the box says.
Control makeImage(const forms::ControlDef& c, const ControlSite& site) {
    auto* image = new QLabel(&site.parent);
    const QPixmap picture(resourcePath(c.picture));
    image->setPixmap(picture);
    image->setGeometry(boxOf(c, site));
    if (!picture.isNull()) {
        image->resize(picture.deviceIndependentSize().toSize());
    }
    return built(c.kind, image, true);
}

// The box holds the two end points: x1, y1, x2, y2.
Control makeLine(const forms::ControlDef& c, const ControlSite& site) {
    const QPoint from(twipsToPixels(c.left, site.dpiX), twipsToPixels(c.top, site.dpiY));
    const QPoint to(twipsToPixels(c.width, site.dpiX), twipsToPixels(c.height, site.dpiY));
    auto* line =
        new LineWidget(from, to, toQColor(c.foreColor, site.parent.palette()), &site.parent);
    return built(c.kind, line, true);
}

Control makePictureBox(const forms::ControlDef& c, const ControlSite& site) {
    auto* box = new PictureBoxWidget(site.events, site.row, &site.parent);
    if (c.border) {
        box->setFrameStyle(QFrame::Box | QFrame::Plain);
    }
    setColor(*box, QPalette::Window, c.backColor);
    box->setAutoFillBackground(true);
    box->setGeometry(boxOf(c, site));
    Control control = built(c.kind, box);
    control.pictureBox = std::make_unique<PictureBoxAdapter>(*box);
    return control;
}

Control makeOfKind(const forms::ControlDef& def, const ControlSite& site) {
    switch (def.kind) {
    case forms::ControlKind::TextBox:
        return makeTextBox(def, site);
    case forms::ControlKind::Label:
        return makeLabel(def, site);
    case forms::ControlKind::CommandButton:
        return makeButton(def, site);
    case forms::ControlKind::Image:
        return makeImage(def, site);
    case forms::ControlKind::Line:
        return makeLine(def, site);
    case forms::ControlKind::PictureBox:
        break;
    }
    return makePictureBox(def, site);
}

} // namespace

Control makeControl(const forms::ControlDef& def, const ControlSite& site) {
    Control control = makeOfKind(def, site);
    QWidget& widget = *control.widget;
    widget.setObjectName(toQString(def.name));
    if (!def.accessibleName.empty()) {
        widget.setAccessibleName(toQString(def.accessibleName));
    }
    widget.setFocusPolicy(focusPolicyOf(def));
    if (def.pointer == forms::ControlPointer::Hand) {
        widget.setCursor(handCursor());
    }
    return control;
}

Qt::FocusPolicy focusPolicyOf(const forms::ControlDef& def) {
    if (!canTakeFocus(def.kind) || def.tabIndex < 0) {
        return Qt::NoFocus;
    }
    return def.tabStop ? Qt::StrongFocus : Qt::ClickFocus;
}

QString resourcePath(std::string_view name) {
    return QStringLiteral(":/brelvoxa/") + QString::fromUtf8(name.data(), qsizetype(name.size())) +
           QStringLiteral(".png");
}

void setColor(QWidget& widget, QPalette::ColorRole role, forms::Color color) {
    QPalette palette = widget.palette();
    palette.setColor(role, toQColor(color, palette));
    widget.setPalette(palette);
}

} // namespace platform
