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

bool OpenDocument(const QString &path)
{
    if (path.isEmpty())
        return false;
    std::string reason;
    return shell().open(path.toStdString(), reason);
}

} // namespace Corvath
