#pragma once
// What the tests on real Qt windows share: a watchdog that fails a test left
// waiting on a modal window instead of letting it hang, and a way to act on the
// next modal window once it is active (a modal show only returns when it closes).

#include <QTimer>
#include <QWidget>

#include <functional>

namespace harness {

class ModalGuard {
public:
    ModalGuard();
    // Runs `action` once on the next modal window, as soon as it is active.
    void whenModal(std::function<void(QWidget&)> action);

private:
    QTimer watchdog_;
};

} // namespace harness
