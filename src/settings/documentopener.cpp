#include "settings/documentopener.h"
#include "platform/documentshell.h"

namespace Corvath {
namespace {

DocumentShell &shell()
{
    // Static: the designed free functions reach the one shell from every window.
    static const std::unique_ptr<DocumentShell> instance = createDocumentShell();
    return *instance;
}

} // namespace

bool FileExists(const QString &path)
{
    return !path.isEmpty() && shell().fileExists(path);
}

Outcome<QString> OpenDocument(const QString &path)
{
    if (path.isEmpty())
        return Failure {QStringLiteral("no document is named")};
    return shell().open(path);
}

} // namespace Corvath
