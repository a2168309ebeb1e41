#pragma once
// What the tests on real Qt windows share: a watchdog that fails a test left
// waiting on a modal window instead of letting it hang, a way to act on the next
// modal window once it is active (a modal show only returns when it closes), and
// the person's keys.

#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>

namespace harness {

class ModalGuard {
public:
    ModalGuard();
    // Runs `action` once on the next modal window, as soon as it is active.
    void whenModal(std::function<void(QWidget&)> action);

private:
    QTimer watchdog_;
};

// A widget's property as text, empty for no widget.
std::string textIn(const QObject* object, const char* property = "text");
std::string focusName();
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Each character goes wherever the focus is at that moment, as typing does.
void type(const QString& keys);

} // namespace harness
