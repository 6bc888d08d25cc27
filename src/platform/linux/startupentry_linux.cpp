#include "platform/linux/autostartentry_linux.h"
#include "platform/startupentry.h"

namespace {

Outcome<std::string> utf8(const Outcome<QString> &done)
{
    if (done)
        return {};
    return Failure {done.reason().toStdString()};
}

class XdgStartupEntry final : public StartupEntry
{
public:
    Outcome<std::string> add(const std::string &executablePath) override
    {
        return utf8(AutostartEntry::write(QString::fromStdString(executablePath)));
    }
    Outcome<std::string> remove() override { return utf8(AutostartEntry::remove()); }
};

} // namespace

std::unique_ptr<StartupEntry> createStartupEntry()
{
    return std::make_unique<XdgStartupEntry>();
}
