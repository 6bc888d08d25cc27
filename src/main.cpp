#include "logic/program.h"
#include "platform/connectionsource.h"
#include "platform/instancelock.h"
#include "platform/programstarter.h"
#include "shell/menue.h"
#include "shell/qtdialogs.h"
#include "shell/splash.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillmoor"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillmoor.xpm")));
    // The program lives in the tray: closing its last window must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    Corvath::Program program;
    QtDialogs dialogs;
    program.setDialogs(&dialogs);

    const auto instance = createInstanceLock();
    if (!instance->tryLock()) {
        dialogs.messageBox(QStringLiteral("Quillmoor is already running."),
                           QStringLiteral("Quillmoor"), Corvath::MessageIcon::Information);
        return 0;
    }

    // The system's collaborators, which the main window's monitoring spine uses for the whole
    // run: made before it and ended after it.
    const auto connections = createConnectionSource();
    const auto starter = createProgramStarter();
    Menue menue(*connections, *starter);
    Splash splash(menue);
    splash.Form_Load();
    return QApplication::exec();
}
