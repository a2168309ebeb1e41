// The program's identity as the desktop sees it. The names agree with the Windows
// version resource (Dormatique.rc.in), the version is the project's (both take it
// from CMake), and the desktop file name is the installed desktop entry's
// (brelvoxa.desktop).
#include "app/identity.h"

#include "brelvoxa/version.h"

#include <QGuiApplication>
#include <QIcon>
#include <QString>

namespace app {

void setApplicationIdentity() {
    // The name doubles as the display name (the question boxes' caption). Setting a
    // display name of its own would make X11 title bars read "Calcular IBAN — Brelvoxa".
    QGuiApplication::setApplicationName(QStringLiteral("Brelvoxa"));
    QGuiApplication::setApplicationVersion(QStringLiteral(BRELVOXA_VERSION));
    QGuiApplication::setOrganizationName(QStringLiteral("Merrowfield,S.L."));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/brelvoxa/icona.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("brelvoxa"));
}

} // namespace app
