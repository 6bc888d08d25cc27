#include "platform/commandline.h"
#include "platform/programstarter.h"
#include "platform/windows/windowsshell.h"

namespace {

// Programs through CreateProcess, documents and addresses through the shell, as Windows itself
// does.
class WindowsStarter final : public ProgramStarter
{
public:
    StartResult start(const QString &entry) override
    {
        if (auto undamaged = intact(entry); !undamaged)
            return undamaged;
        const std::string text = entry.toStdString();
        const auto started = CommandLine::isAddress(entry) ? WindowsShell::openDocument(text, 0)
                                                           : WindowsShell::startEntry(text);
        if (!started)
            return Failure {QString::fromStdString(started.reason())};
        return {};
    }
};

} // namespace

std::unique_ptr<ProgramStarter> createProgramStarter()
{
    return std::make_unique<WindowsStarter>();
}
