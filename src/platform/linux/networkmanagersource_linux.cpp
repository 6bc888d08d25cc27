#include "platform/linux/networkmanager_linux.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// The mirror's answers in the remote access interface's shape. A mirror that does not list
// NetworkManager's connections lists none, so that the next source answers.
class NetworkManagerConnections final : public RemoteAccess
{
public:
    explicit NetworkManagerConnections(NetworkManagerMirror *mirror)
        : m_mirror(mirror)
    { }
    // The mirror belongs to the application and may already be gone with it.
    ~NetworkManagerConnections() override { delete m_mirror.data(); }

    std::uint32_t enumConnections(Handle &first) override
    {
        first = 0;
        const auto status = m_mirror ? m_mirror->status() : NetworkManagerMirror::Status::Absent;
        if (status == NetworkManagerMirror::Status::Failed)
            return NetworkManagerMirror::BusError;
        if (status == NetworkManagerMirror::Status::Listed)
            first = m_mirror->firstDialUp();
        return 0;
    }

    State connectState(Handle connection) override
    {
        return m_mirror ? m_mirror->connectState(connection) : RASCS_OpenPort;
    }

    void setChangedHandler(std::function<void()> changed) override
    {
        if (m_mirror)
            m_mirror->setChangedHandler(std::move(changed));
    }

private:
    QPointer<NetworkManagerMirror> m_mirror;
};

} // namespace

std::unique_ptr<RemoteAccess> createNetworkManagerConnections()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return nullptr;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return nullptr;
    return std::make_unique<NetworkManagerConnections>(new NetworkManagerMirror(bus, application));
}
