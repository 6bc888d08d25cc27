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

    Outcome<QString> open(const QString &pathOrAddress) override
    {
        if (const auto opened = WindowsShell::openDocument(pathOrAddress.toStdString(), 0); !opened)
            return Failure {QString::fromStdString(opened.reason())};
        return {};
    }
};

} // namespace

std::unique_ptr<DocumentShell> createDocumentShell()
{
    return std::make_unique<WindowsDocumentShell>();
}
