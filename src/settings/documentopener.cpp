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
    return !path.isEmpty() && shell().fileExists(path.toStdString());
}

bool OpenDocument(const QString &path, QString *reason)
{
    std::string why = "no document is named";
    if (!path.isEmpty() && shell().open(path.toStdString(), why))
        return true;
    if (reason)
        *reason = QString::fromStdString(why);
    return false;
}

} // namespace Corvath
