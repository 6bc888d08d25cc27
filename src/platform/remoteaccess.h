#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// The dial-up connections of the machine, in the shape of the Windows remote access interface
// (RasEnumConnections, RasGetConnectStatus), so that each OS can answer from its own service.
// Standard types only: the Windows implementation is plain Win32.
class RemoteAccess
{
public:
    // Identifies one active connection; 0 stands for none.
    using Handle = std::uintptr_t;
    // Connection states as the remote access interface numbers them.
    using State = std::uint32_t;

    // What an unknown handle or a failed state query reads as: not connected.
    static constexpr State RASCS_OpenPort = 0;
    // Set up from end to end; the only state that counts as connected.
    static constexpr State RASCS_Connected = 0x2000;

    RemoteAccess() = default;
    virtual ~RemoteAccess() = default;
    RemoteAccess(const RemoteAccess &) = delete;
    RemoteAccess &operator=(const RemoteAccess &) = delete;

    // Lists the active connections. Returns 0 on success, otherwise the system's error code
    // (errno on Linux). On success `first` is the handle of the first connection listed, or 0
    // when there is none; on failure it is 0.
    virtual std::uint32_t enumConnections(Handle &first) = 0;

    // The state of the connection `connection` now; RASCS_OpenPort when the handle is 0, the
    // connection has gone, or the query fails.
    virtual State connectState(Handle connection) = 0;

    // Has `changed` called, on the thread that made this object, whenever the connections may
    // have changed, so that the caller can probe at once instead of at its next tick. Sources
    // that hear of no changes never call it.
    virtual void setChangedHandler(std::function<void()> changed) { (void)changed; }
};

// The implementation for the OS the program was built for.
std::unique_ptr<RemoteAccess> createRemoteAccess();
