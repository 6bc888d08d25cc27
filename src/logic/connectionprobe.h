#pragma once

#include <functional>

class ConnectionSource;

namespace Corvath {

// True when the first dial-up connection listed is connected. A failed listing is told once
// per spell of failures, by reportConnectionFailure of the dialogs seam, and answers false
// unless another source lists a connection.
bool IsConnected();

// The connections the current program asks; nullptr restores the system's. Does not take
// ownership. Starts a new spell, so the next failure is shown again.
void setConnectionSource(ConnectionSource *connections);

// Calls `changed` whenever the connections being asked may have changed: every source's change
// news comes this one way. nullptr stops it.
void whenConnectionsChange(std::function<void()> changed);

} // namespace Corvath
