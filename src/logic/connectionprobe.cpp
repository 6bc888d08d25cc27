#include "logic/connectionprobe.h"
#include "logic/dialogs.h"
#include "logic/program.h"
#include "platform/remoteaccess.h"

namespace Corvath {

bool IsConnected()
{
    Program &program = Program::current();
    RemoteAccess &access = program.connections();
    RemoteAccess::Handle first = 0;
    const std::uint32_t status = access.enumConnections(first);
    if (status != 0) {
        // A lasting failure would otherwise stack two modal boxes every second.
        if (!program.failureShown()) {
            // Marked before the box opens: a probe while it is open must not open another.
            program.setFailureShown(true);
            reportConnectionFailure(status);
        }
        return false;
    }
    program.setFailureShown(false);
    return access.connectState(first) == RemoteAccess::RASCS_Connected;
}

void whenConnectionsChange(std::function<void()> changed)
{
    Program::current().connections().setChangedHandler(std::move(changed));
}

void setRemoteAccess(RemoteAccess *connections)
{
    Program::current().setConnections(connections);
}

} // namespace Corvath
