#include "tests/support/qt_harness.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace harness {

ModalGuard::ModalGuard() {
    watchdog_.setSingleShot(true);
    QObject::connect(&watchdog_, &QTimer::timeout, [] {
        ADD_FAILURE() << "still waiting after 10 s: closing the modal windows";
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || !window->isModal())
                continue;
            if (auto* box = qobject_cast<QDialog*>(window))
                box->done(QDialog::Rejected);
            else
                window->close();
        }
    });
    watchdog_.start(10'000);
}

void ModalGuard::whenModal(std::function<void(QWidget&)> action) {
    auto* poll = new QTimer(&watchdog_);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && QApplication::activeWindow() == modal) {
            poll->stop();
            poll->deleteLater();
            action(*modal);
        }
    });
    poll->start(5);
}

std::string textIn(const QObject* object, const char* property) {
    return object != nullptr ? object->property(property).toString().toStdString() : "";
}

std::string focusName() {
    return textIn(QApplication::focusWidget(), "objectName");
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void type(const QString& keys) {
    for (const QChar key : keys)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                            QString(key), Qt::NoModifier);
}

} // namespace harness

// One QApplication, named as the program is, for the whole binary; listing the
// tests needs no display.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) {
        app = std::make_unique<QApplication>(argc, argv);
        QApplication::setApplicationName("Brelvoxa");
    }
    return RUN_ALL_TESTS();
}
