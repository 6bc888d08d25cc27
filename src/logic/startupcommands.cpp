#include "logic/startupcommands.h"
#include "logic/dialogs.h"
#include "platform/startupentry.h"

#include <QCoreApplication>

namespace {

bool reported(const StartupResult &result, const QString &failure)
{
    if (result.ok)
        return true;
    Corvath::dialogs()->messageBox(failure + QString::fromStdString(result.reason),
                                   QStringLiteral("Error"), Corvath::MessageIcon::Critical);
    return false;
}

} // namespace

namespace Corvath {

bool AddToStartup()
{
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    return reported(createStartupEntry()->add(executable),
                    QStringLiteral("Quillmoor could not be added to the programs started at "
                                   "log-in: "));
}

bool RemoveFromStartup()
{
    return reported(createStartupEntry()->remove(),
                    QStringLiteral("Quillmoor could not be removed from the programs started "
                                   "at log-in: "));
}

} // namespace Corvath
