// Program entry: the application and its identity, then the calculator window.
// There is no start-up routine of the program's own: the window's load and first
// activation do the rest, and closing it ends the program.
#include "app/identity.h"
#include "platform/qt_runtime.h"
#include "ui/frmCalculadora.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    app::setApplicationIdentity();

    platform::QtRuntime runtime;
    frmCalculadora calculadora(runtime);
    runtime.show(calculadora, false);
    return app.exec();
}
