#pragma once
// The forms layer on Qt 6 Widgets.
//
// QtRuntime turns a form's definition into a top-level window the first time the
// form is shown (see FormWindow), raises the form's events from Qt's, asks the
// program's Yes/No questions, and offers the screen and the application-wide
// mouse pointer. Unloading the last loaded window quits the application's event
// loop, so main() ends with app.exec().
//
//     QApplication app(argc, argv);
//     platform::QtRuntime runtime;
//     frmCalculadora calculadora(runtime);
//     runtime.show(calculadora, false);
//     return app.exec();

#include "ui/forms.h"

#include <memory>
#include <string_view>

class QWidget;

namespace platform {

class QtRuntime final : public forms::Runtime {
public:
    // Needs a QApplication. Installs Qt's Catalan translations, which the
    // standard texts of the widgets (a text box's context menu) use.
    QtRuntime();
    // Deletes the windows still loaded, without raising events; their forms,
    // which hold a reference to this runtime, must not be used afterwards.
    ~QtRuntime() override;
    QtRuntime(const QtRuntime&) = delete;
    QtRuntime& operator=(const QtRuntime&) = delete;

    forms::Screen& screen() override;
    // vbYesNo asks Yes or No; any other style shows one OK button and the
    // information icon: vbOKOnly | vbInformation is the only other the windows use.
    int msgBox(std::u16string_view prompt, int style) override;
    void show(forms::Form& form, bool modal) override;
    void setClipboardText(std::u16string_view text) override;
    void beep() override;

    // The top-level window of a form loaded by this runtime; nullptr otherwise.
    QWidget* windowOf(const forms::Form& form) const;

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
