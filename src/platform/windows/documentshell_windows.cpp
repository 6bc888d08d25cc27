#include "platform/documentshell.h"
#include "platform/windows/windowsshell.h"

namespace {

class WindowsDocumentShell final : public DocumentShell
{
public:
    bool fileExists(const QString &path) override
    {
        return WindowsShell::fileExists(path.toStdString());
    }

    bool open(const QString &pathOrAddress, QString &reason) override
    {
        std::string why = reason.toStdString();
        if (WindowsShell::openDocument(pathOrAddress.toStdString(), 0, why))
            return true;
        reason = QString::fromStdString(why);
        return false;
    }
};

} // namespace

std::unique_ptr<DocumentShell> createDocumentShell()
{
    return std::make_unique<WindowsDocumentShell>();
}
