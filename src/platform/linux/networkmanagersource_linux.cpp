#include "platform/linux/networkmanager_linux.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// The mirror's answers as a connection source; a mirror gone with the application lists none.
class NetworkManagerConnections final : public ConnectionSource
{
public:
    explicit NetworkManagerConnections(NetworkManagerMirror *mirror)
        : m_mirror(mirror)
    {
        connect(mirror, &NetworkManagerMirror::changed, this, &ConnectionSource::changed);
    }
    // The mirror belongs to the application and may already be gone with it.
    ~NetworkManagerConnections() override { delete m_mirror.data(); }

    Answer firstConnection() override { return m_mirror ? m_mirror->firstConnection() : Answer {}; }

private:
    QPointer<NetworkManagerMirror> m_mirror;
};

} // namespace

std::unique_ptr<ConnectionSource> createNetworkManagerConnections()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return nullptr;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return nullptr;
    return std::make_unique<NetworkManagerConnections>(new NetworkManagerMirror(bus, application));
}
