#pragma once
// The program's message boxes, captioned with the application's title. A question
// has no icon, "Sí" (the default, so Enter answers Yes) and "No", and closes only
// by an answer: Escape and the close box do nothing. A word to read has the
// information icon and one "D'acord", which Enter, Escape and the close box all
// press.

#include <QDialog>
#include <QString>

namespace platform {

class QuestionBox final : public QDialog {
public:
    enum class Kind {
        Question,    // Yes or No: exec() returns forms::vbYes or forms::vbNo
        Information, // OK: exec() returns forms::vbOK
    };

    QuestionBox(const QString& prompt, const QString& caption, Kind kind = Kind::Question,
                QWidget* parent = nullptr);

    // Escape and the close box: no answer to a question, OK to a word to read.
    void reject() override;

private:
    Kind kind_;
};

} // namespace platform
