#include "logic/startupcommands.h"
#include "platform/startupentry.h"

#include <QCoreApplication>

namespace {

Outcome<QString> reported(const Outcome<std::string> &result, const QString &failure)
{
    if (result)
        return {};
    return Failure {failure + QString::fromStdString(result.reason())};
}

} // namespace

namespace Corvath {

Outcome<QString> AddToStartup()
{
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    return reported(createStartupEntry()->add(executable),
                    QStringLiteral("Quillmoor could not be added to the programs started at "
                                   "log-in: "));
}

Outcome<QString> RemoveFromStartup()
{
    return reported(createStartupEntry()->remove(),
                    QStringLiteral("Quillmoor could not be removed from the programs started "
                                   "at log-in: "));
}

} // namespace Corvath
