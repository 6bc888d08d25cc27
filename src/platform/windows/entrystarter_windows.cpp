#include "platform/commandline.h"
#include "platform/entrystarter.h"
#include "platform/windows/windowsshell.h"

namespace {

// Programs through CreateProcess, documents and addresses through the shell, as Windows itself
// does.
class WindowsEntryStarter final : public EntryStarter
{
public:
    bool start(const std::string &entry, std::string &reason) override
    {
        if (CommandLine::isAddress(QString::fromStdString(entry)))
            return WindowsShell::openDocument(entry, 0, reason);
        return WindowsShell::startEntry(entry, reason);
    }
};

} // namespace

std::unique_ptr<EntryStarter> createEntryStarter()
{
    return std::make_unique<WindowsEntryStarter>();
}
