#pragma once
// The program's Yes/No question: the prompt, no icon, "Sí" (the default, so
// Enter answers Yes) and "No", captioned with the application's title. It closes
// only by an answer: Escape and the close box do nothing.

#include <QDialog>
#include <QString>

namespace platform {

class QuestionBox final : public QDialog {
public:
    QuestionBox(const QString& prompt, const QString& caption, QWidget* parent = nullptr);

    // Escape and the close box both reject; there is no cancel answer to give.
    void reject() override {}
};

} // namespace platform
