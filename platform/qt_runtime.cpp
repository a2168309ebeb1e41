// The forms runtime on Qt: which forms are loaded, the modal show with its nested
// event loop, the question box, the screen, and the end of the program when the
// last window goes. Without a window manager nothing hands the activation back to
// a window when the one above it goes away, so the runtime does it itself.

#include "platform/qt_runtime.h"

#include "platform/convert.h"
#include "platform/form_window.h"
#include "platform/question_box.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QScreen>
#include <QTranslator>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace platform {

namespace {

class QtScreen final : public forms::Screen {
public:
    ~QtScreen() override { setMousePointer(forms::MousePointer::Default); }

    forms::Twips height() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen == nullptr
                   ? 0
                   : pixelsToTwips(screen->geometry().height(), screen->logicalDotsPerInchY());
    }
    forms::Twips width() const override {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen == nullptr
                   ? 0
                   : pixelsToTwips(screen->geometry().width(), screen->logicalDotsPerInchX());
    }
    forms::MousePointer mousePointer() const override { return pointer_; }
    // One override cursor at most, so that every Busy is undone by one Default.
    void setMousePointer(forms::MousePointer pointer) override {
        if (pointer == pointer_) {
            return;
        }
        if (pointer_ == forms::MousePointer::Busy) {
            QGuiApplication::restoreOverrideCursor();
        }
        pointer_ = pointer;
        if (pointer_ == forms::MousePointer::Busy) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        }
    }

private:
    forms::MousePointer pointer_ = forms::MousePointer::Default;
};

void activate(QWidget& window) {
    window.raise();
    window.activateWindow();
}

} // namespace

class QtRuntime::Impl final : public WindowOwner {
public:
    Impl() {
        // Hiding a window is not what ends this program: unloading the last one is.
        quitOnLastWindowClosed_ = QGuiApplication::quitOnLastWindowClosed();
        QGuiApplication::setQuitOnLastWindowClosed(false);
        // Windows has no system copy of Qt's translations: there the program carries
        // its own, as a resource.
        if (translator_.load(QStringLiteral("qtbase_ca"), QStringLiteral(":/brelvoxa/i18n")) ||
            translator_.load(QStringLiteral("qtbase_ca"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(&translator_);
        }
    }

    ~Impl() {
        for (const QPointer<FormWindow>& window : std::vector(windows_)) {
            delete window.data();
        }
        QCoreApplication::removeTranslator(&translator_);
        QGuiApplication::setQuitOnLastWindowClosed(quitOnLastWindowClosed_);
    }

    FormWindow* find(const forms::Form& form) const {
        for (const QPointer<FormWindow>& window : windows_) {
            if (window != nullptr && window->form() == &form) {
                return window.data();
            }
        }
        return nullptr;
    }

    FormWindow* load(forms::Form& form) {
        auto* window = new FormWindow(*this, form);
        windows_.emplace_back(window);
        // Dialogs stay with the window that opened them, out of the task bar.
        if (window->windowType() == Qt::Dialog) {
            if (QWidget* opener = topWindow(window)) {
                window->winId();
                if (QWindow* handle = window->windowHandle()) {
                    handle->setTransientParent(opener->windowHandle());
                }
            }
        }
        form.attach(&window->host());
        form.Form_Load();
        return window;
    }

    void windowUnloaded(FormWindow& window) override {
        const bool wasActive =
            QApplication::activeWindow() == &window || QApplication::activeWindow() == nullptr;
        std::erase_if(windows_, [&window](const QPointer<FormWindow>& w) {
            return w == nullptr || w == &window;
        });
        if (windows_.empty()) {
            QCoreApplication::quit();
            return;
        }
        if (wasActive) {
            if (QWidget* next = topWindow(nullptr)) {
                activate(*next);
            }
        }
    }

    QMargins knownFrameMargins() const override { return frameMargins_; }
    void frameMarginsSeen(QMargins margins) override { frameMargins_ = margins; }

    // The most recently loaded window that is on screen, other than `except`.
    QWidget* topWindow(const QWidget* except) const {
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
            FormWindow* window = it->data();
            if (window != nullptr && window != except && window->form() != nullptr &&
                window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    QtScreen screen;

private:
    std::vector<QPointer<FormWindow>> windows_; // loaded, oldest first
    QTranslator translator_;
    QMargins frameMargins_;
    bool quitOnLastWindowClosed_ = true;
};

QtRuntime::QtRuntime() : impl_(std::make_unique<Impl>()) {}

QtRuntime::~QtRuntime() = default;

forms::Screen& QtRuntime::screen() {
    return impl_->screen;
}

int QtRuntime::msgBox(std::u16string_view prompt, int style) {
    QPointer<QWidget> opener = QApplication::activeWindow();
    if (opener == nullptr) {
        opener = impl_->topWindow(nullptr);
    }
    const bool question = (style & 0xF) == forms::vbYesNo;
    QPointer<QuestionBox> box = new QuestionBox(
        toQString(prompt), QGuiApplication::applicationDisplayName(),
        question ? QuestionBox::Kind::Question : QuestionBox::Kind::Information, opener);
    const int answer = box->exec();
    delete box.data();
    if (opener != nullptr && opener->isVisible()) {
        activate(*opener);
    }
    if (!question) {
        return forms::vbOK;
    }
    // A box destroyed from outside answered nothing; No is the answer that stops.
    return answer == forms::vbYes ? forms::vbYes : forms::vbNo;
}

void QtRuntime::show(forms::Form& form, bool modal) {
    FormWindow* window = impl_->find(form);
    if (window == nullptr) {
        window = impl_->load(form);
        if (window->form() == nullptr) {
            return; // unloaded by its own Form_Load
        }
    }
    if (modal && !window->isModal()) {
        window->hide();
        window->setWindowModality(Qt::ApplicationModal);
    }
    window->show();
    activate(*window);
    if (!modal) {
        return;
    }
    QPointer<FormWindow> shown = window;
    QEventLoop loop;
    window->setModalLoop(&loop);
    if (shown != nullptr && shown->form() != nullptr) {
        loop.exec(QEventLoop::DialogExec);
    }
    if (shown != nullptr) {
        shown->setModalLoop(nullptr);
    }
}

void QtRuntime::setClipboardText(std::u16string_view text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        clipboard->setText(toQString(text));
    }
}

void QtRuntime::beep() {
    QApplication::beep();
}

QWidget* QtRuntime::windowOf(const forms::Form& form) const {
    return impl_->find(form);
}

} // namespace platform
