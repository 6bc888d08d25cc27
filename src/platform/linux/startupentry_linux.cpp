#include "platform/linux/autostartentry_linux.h"
#include "platform/startupentry.h"

namespace {

StartupResult resultOf(const QString &failure)
{
    return {failure.isEmpty(), failure.toStdString()};
}

class XdgStartupEntry final : public StartupEntry
{
public:
    StartupResult add(const std::string &executablePath) override
    {
        return resultOf(AutostartEntry::write(QString::fromStdString(executablePath)));
    }
    StartupResult remove() override { return resultOf(AutostartEntry::remove()); }
};

} // namespace

std::unique_ptr<StartupEntry> createStartupEntry()
{
    return std::make_unique<XdgStartupEntry>();
}
