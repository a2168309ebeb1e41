#include "recording_form.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

void click(QWidget& box, const char* button) {
    box.findChild<QPushButton*>(QString::fromLatin1(button))->click();
}

struct Answer {
    const char* name;
    void (*answer)(QWidget& box);
    int expected;
};

// Failure messages show the row name, not its bytes.
void PrintTo(const Answer& row, std::ostream* out) {
    *out << row.name;
}

class QuestionBoxAnswers : public PlatformTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(QuestionBoxAnswers, return_6_for_yes_and_7_for_no) {
    whenModalIsActive(GetParam().answer);
    EXPECT_EQ(runtime.msgBox(u"És correcte?", forms::vbYesNo), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QuestionBoxAnswers,
    ::testing::Values(Answer{"enter_answers_yes",
                             [](QWidget&) {
                                 QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                             },
                             forms::vbYes},
                      Answer{"clicking_no", [](QWidget& box) { click(box, "no"); }, forms::vbNo}),
    testform::rowName);

TEST_F(PlatformTest, the_question_box_ignores_escape_and_the_close_box) {
    bool stillOpen = false;
    whenModalIsActive([&stillOpen](QWidget& box) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        box.close();
        stillOpen = box.isVisible();
        click(box, "yes");
    });
    EXPECT_EQ(runtime.msgBox(u"És correcte?", forms::vbYesNo), forms::vbYes);
    EXPECT_TRUE(stillOpen);
}

TEST_F(PlatformTest, the_question_box_has_catalan_buttons_no_icon_and_the_application_title) {
    QStringList texts;
    QString title;
    bool picture = false;
    whenModalIsActive([&](QWidget& box) {
        for (const QPushButton* button : box.findChildren<QPushButton*>()) {
            texts << button->text();
        }
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            picture = picture || !label->pixmap().isNull();
            texts << label->text();
        }
        title = box.windowTitle();
        click(box, "no");
    });
    runtime.msgBox(u"El banc no té 4 dígits. És correcte?", forms::vbYesNo);
    EXPECT_EQ(texts, (QStringList{"Sí", "No", "El banc no té 4 dígits. És correcte?"}));
    EXPECT_FALSE(picture);
    EXPECT_EQ(title, "Brelvoxa");
}

} // namespace
