#include "platform/statusnotifier.h"

namespace {
// The taskbar's notification area is QSystemTrayIcon's; there is no other kind of host.
class NoStatusNotifier final : public StatusNotifier
{
public:
    bool hostPresent() const override { return false; }
    void setMenu(QMenu &) override { }
    void setToolTip(const QString &) override { }
    void setIcon(const QIcon &) override { }
    void setShown(bool) override { }
    void notify(quint64 notice, const QString &, const QString &) override
    {
        Q_EMIT answered(notice, false);
    }
};
} // namespace

std::unique_ptr<StatusNotifier> createStatusNotifier()
{
    return std::make_unique<NoStatusNotifier>();
}
