#pragma once

#include "platform/connectionanswer.h"

#include <memory>

// Windows' own remote access service (RasApi32), asked in plain Win32: dial-up, PPPoE and VPN
// connections all count. The program reaches it as its connection source through a thin Qt
// adapter (connectionsource_windows.cpp).
class RemoteAccess
{
public:
    using Answer = ConnectionAnswer;

    RemoteAccess() = default;
    virtual ~RemoteAccess() = default;
    RemoteAccess(const RemoteAccess &) = delete;
    RemoteAccess &operator=(const RemoteAccess &) = delete;

    // Lists the connections now and reads the state of the first. A connection that has gone
    // or whose state cannot be read counts as not connected, not as a failure.
    virtual Answer firstConnection() = 0;
};

std::unique_ptr<RemoteAccess> createRemoteAccess();
