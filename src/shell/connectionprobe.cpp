#include "shell/connectionprobe.h"
#include "platform/remoteaccess.h"
#include "shell/dialogs.h"

#include <memory>

namespace Corvath {
namespace {

RemoteAccess *s_current = nullptr;
// A lasting failure would otherwise stack two modal boxes every second.
bool s_failureShown = false;

RemoteAccess &connections()
{
    if (s_current)
        return *s_current;
    static const std::unique_ptr<RemoteAccess> system = createRemoteAccess();
    return *system;
}

} // namespace

bool IsConnected()
{
    RemoteAccess &access = connections();
    RemoteAccess::Handle first = 0;
    const std::uint32_t status = access.enumConnections(first);
    if (status != 0) {
        if (!s_failureShown) {
            // Marked before the box opens: a probe while it is open must not open another.
            s_failureShown = true;
            dialogs()->messageBox(QStringLiteral("Error %1 Has Occured!").arg(status),
                                  QStringLiteral("Error!"), MessageIcon::Critical);
        }
        return false;
    }
    s_failureShown = false;
    return access.connectState(first) == RemoteAccess::RASCS_Connected;
}

void whenConnectionsChange(std::function<void()> changed)
{
    connections().setChangedHandler(std::move(changed));
}

void setRemoteAccess(RemoteAccess *connections)
{
    s_current = connections;
    s_failureShown = false;
}

} // namespace Corvath
