#pragma once

#include "logic/connectionprobe.h"
#include "platform/remoteaccess.h"

#include <QList>

// Connections as the test sets them, in listing order; counts how often they were listed.
class FakeRemoteAccess final : public RemoteAccess
{
public:
    struct Connection
    {
        Handle handle;
        State state;
    };

    FakeRemoteAccess() { Corvath::setRemoteAccess(this); }
    ~FakeRemoteAccess() override { Corvath::setRemoteAccess(nullptr); }

    // One connection, connected, or none at all.
    void setConnected(bool up)
    {
        connections.clear();
        if (up)
            connections.append({7, RASCS_Connected});
    }

    QList<Connection> connections;
    std::uint32_t failure = 0;
    int listings = 0;

    std::uint32_t enumConnections(Handle &first) override
    {
        ++listings;
        first = failure != 0 || connections.isEmpty() ? 0 : connections.constFirst().handle;
        return failure;
    }
    State connectState(Handle connection) override
    {
        for (const Connection &c : std::as_const(connections))
            if (c.handle == connection)
                return c.state;
        return RASCS_OpenPort;
    }
};
