#include "platform/documentshell.h"
#include "platform/windows/windowsshell.h"

namespace {

class WindowsDocumentShell final : public DocumentShell
{
public:
    bool fileExists(const std::string &path) override { return WindowsShell::fileExists(path); }

    bool open(const std::string &pathOrAddress, std::string &reason) override
    {
        return WindowsShell::openDocument(pathOrAddress, 0, reason);
    }
};

} // namespace

std::unique_ptr<DocumentShell> createDocumentShell()
{
    return std::make_unique<WindowsDocumentShell>();
}
