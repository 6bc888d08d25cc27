#include "platform/linux/dialupconnections_linux.h"
#include "platform/linux/networkmanager_linux.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

// Most mobile-broadband modems bring no PPP interface, so NetworkManager, which runs them, is
// asked first. Its own PPP links (a serial modem's ppp0) then come after its connections and
// can never be the first listed: they need no matching up.
class DialUpConnections final : public RemoteAccess
{
public:
    DialUpConnections(std::unique_ptr<RemoteAccess> pppInterfaces,
                      NetworkManagerMirror *networkManager)
        : m_ppp(std::move(pppInterfaces))
        , m_networkManager(networkManager)
    { }
    // The mirror belongs to the application and may already be gone with it.
    ~DialUpConnections() override { delete m_networkManager.data(); }

    std::uint32_t enumConnections(Handle &first) override
    {
        first = 0;
        if (m_networkManager) {
            switch (m_networkManager->status()) {
            case NetworkManagerMirror::Status::Failed:
                return NetworkManagerMirror::BusError;
            case NetworkManagerMirror::Status::Listed:
                first = m_networkManager->firstDialUp();
                if (first != 0)
                    return 0;
                break;
            case NetworkManagerMirror::Status::Absent:
                break;
            }
        }
        return m_ppp->enumConnections(first);
    }

    State connectState(Handle connection) override
    {
        if (connection < NetworkManagerMirror::FirstHandle)
            return m_ppp->connectState(connection);
        return m_networkManager ? m_networkManager->connectState(connection) : RASCS_OpenPort;
    }

    void setChangedHandler(std::function<void()> changed) override
    {
        if (m_networkManager)
            m_networkManager->setChangedHandler(changed);
        m_ppp->setChangedHandler(std::move(changed));
    }

private:
    std::unique_ptr<RemoteAccess> m_ppp;
    QPointer<NetworkManagerMirror> m_networkManager;
};

} // namespace

std::unique_ptr<RemoteAccess> withNetworkManager(std::unique_ptr<RemoteAccess> pppInterfaces)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return pppInterfaces;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return pppInterfaces;
    return std::make_unique<DialUpConnections>(std::move(pppInterfaces),
                                               new NetworkManagerMirror(bus, application));
}
