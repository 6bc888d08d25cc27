#include "logic/startupcommands.h"
#include "platform/startupentry.h"

#include <QCoreApplication>

namespace {

Corvath::StartupReport reported(const StartupResult &result, const QString &failure)
{
    if (result.ok)
        return {};
    return {failure + QString::fromStdString(result.reason)};
}

} // namespace

namespace Corvath {

StartupReport AddToStartup()
{
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    return reported(createStartupEntry()->add(executable),
                    QStringLiteral("Quillmoor could not be added to the programs started at "
                                   "log-in: "));
}

StartupReport RemoveFromStartup()
{
    return reported(createStartupEntry()->remove(),
                    QStringLiteral("Quillmoor could not be removed from the programs started "
                                   "at log-in: "));
}

} // namespace Corvath
