// The Yes/No question box. A QMessageBox would make "No" its escape button on
// its own; this dialog has no escape at all.

#include "platform/question_box.h"

#include "ui/forms.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace platform {

QuestionBox::QuestionBox(const QString& prompt, const QString& caption, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setWindowTitle(caption);
    setObjectName(QStringLiteral("questionBox"));

    auto* text = new QLabel(this);
    text->setObjectName(QStringLiteral("prompt"));
    text->setTextFormat(Qt::PlainText);
    text->setText(prompt);

    auto* yes = new QPushButton(QStringLiteral("Sí"), this);
    yes->setObjectName(QStringLiteral("yes"));
    yes->setDefault(true);
    auto* no = new QPushButton(QStringLiteral("No"), this);
    no->setObjectName(QStringLiteral("no"));
    for (QPushButton* button : {yes, no}) {
        button->setMinimumWidth(75);
    }
    connect(yes, &QPushButton::clicked, this, [this] { done(forms::vbYes); });
    connect(no, &QPushButton::clicked, this, [this] { done(forms::vbNo); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(yes);
    buttons->addWidget(no);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->setSpacing(18);
    layout->addWidget(text);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setModal(true);
}

} // namespace platform
