#include "settings/documentopener.h"
#include "platform/documentshell.h"

namespace Corvath {
namespace {

DocumentShell &shell()
{
    static const std::unique_ptr<DocumentShell> instance = createDocumentShell();
    return *instance;
}

} // namespace

bool FileExists(const QString &path)
{
    return !path.isEmpty() && shell().fileExists(path);
}

bool OpenDocument(const QString &path, QString *reason)
{
    QString why = QStringLiteral("no document is named");
    if (!path.isEmpty() && shell().open(path, why))
        return true;
    if (reason)
        *reason = why;
    return false;
}

} // namespace Corvath
