#include "app/application_setup.h"

#include "launch/launch_pictures.h"

#include <QApplication>

namespace tavelio {

void SetUpApplication() {
    RegisterLaunchPictures();
    QApplication::setApplicationName(QStringLiteral("Tavelio"));
    QApplication::setWindowIcon(ProgramIcon());
    // The program ends when closing a window runs its shutdown, not when its windows are hidden.
    QApplication::setQuitOnLastWindowClosed(false);
}

} // namespace tavelio
