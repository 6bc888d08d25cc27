#include "shell/readme.h"
#include "logic/dialogs.h"
#include "settings/documentopener.h"

#include <QDir>

namespace Corvath {

void OpenReadMe(const QString &programDir)
{
    const QString path = QDir(programDir).filePath(QStringLiteral("readme.txt"));
    if (!FileExists(path)) {
        // The directory as it is spelt on disk: a lower-cased path names another one here.
        dialogs()->messageBox(QStringLiteral("Could not find README.TXT in the ")
                                  + QDir::toNativeSeparators(programDir)
                                  + QStringLiteral(" directory."),
                              QStringLiteral("Error"), MessageIcon::Critical);
        return;
    }
    if (const auto opened = OpenDocument(path); !opened) {
        dialogs()->messageBox(QStringLiteral("Could not open ") + QDir::toNativeSeparators(path)
                                  + QStringLiteral(": ") + opened.reason() + QLatin1Char('.'),
                              QStringLiteral("Error"), MessageIcon::Critical);
    }
}

} // namespace Corvath
