// The message boxes. A QMessageBox would make "No" its escape button on its own;
// the question here has no escape at all.

#include "platform/question_box.h"

#include "ui/forms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace platform {

QuestionBox::QuestionBox(const QString& prompt, const QString& caption, Kind kind, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint),
      kind_(kind) {
    setWindowTitle(caption);
    setObjectName(kind == Kind::Question ? QStringLiteral("questionBox")
                                         : QStringLiteral("informationBox"));

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("prompt"));
    text->setTextFormat(Qt::PlainText);
    text->setText(prompt);
    if (kind == Kind::Information) {
        // A long message wraps at a readable width instead of stretching the box.
        text->setMinimumWidth(std::min(text->sizeHint().width(), 380));
        text->setWordWrap(true);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    const auto addButton = [this, buttons](const QString& caption, const char* name, int answer) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setMinimumWidth(75);
        connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
        buttons->addWidget(button);
        return button;
    };
    if (kind == Kind::Question) {
        addButton(QStringLiteral("Sí"), "yes", forms::vbYes)->setDefault(true);
        addButton(QStringLiteral("No"), "no", forms::vbNo);
    } else {
        addButton(QStringLiteral("D'acord"), "ok", forms::vbOK)->setDefault(true);
    }
    buttons->addStretch();

    auto* message = new QHBoxLayout;
    message->setSpacing(14);
    if (kind == Kind::Information) {
        auto* icon = new QLabel(this);
        icon->setObjectName(QStringLiteral("icon"));
        const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()
                            ->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this)
                            .pixmap(side, side));
        icon->setAlignment(Qt::AlignTop);
        message->addWidget(icon);
    }
    message->addWidget(text, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->setSpacing(18);
    layout->addLayout(message);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setModal(true);
}

void QuestionBox::reject() {
    if (kind_ == Kind::Information) {
        done(forms::vbOK);
    }
}

} // namespace platform
