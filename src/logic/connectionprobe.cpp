#include "logic/connectionprobe.h"
#include "logic/dialogs.h"
#include "logic/program.h"
#include "platform/connectionsource.h"

namespace Corvath {

bool IsConnected()
{
    Program &program = Program::current();
    const ConnectionSource::Answer answer = program.connections().firstConnection();
    // A failure may come with a connection that another source listed, which still counts.
    if (answer.listing == ConnectionSource::Listing::Failed || answer.error != 0) {
        // A lasting failure would otherwise stack two modal boxes every second.
        if (!program.failureShown()) {
            // Marked before the box opens: a probe while it is open must not open another.
            program.setFailureShown(true);
            reportConnectionFailure(answer.error);
        }
    } else {
        program.setFailureShown(false);
    }
    return answer.listing == ConnectionSource::Listing::Listed && answer.connected;
}

void whenConnectionsChange(std::function<void()> changed)
{
    Program::current().connections().setChangedHandler(std::move(changed));
}

void setConnectionSource(ConnectionSource *connections)
{
    Program::current().setConnections(connections);
}

} // namespace Corvath
