#pragma once

#include "platform/remoteaccess.h"

#include <memory>
#include <vector>

// The machine's sources of dial-up connections asked as one, in the order of the list: the
// first source that fails or lists a connection answers, one that lists none passes on to the
// next. Each source hands out handles from a range of its own, so a handle names its source.
// Standard types only.
class ConnectionSources final : public RemoteAccess
{
public:
    // Empty entries (a source the machine lacks) are left out.
    explicit ConnectionSources(std::vector<std::unique_ptr<RemoteAccess>> sources);

    std::uint32_t enumConnections(Handle &first) override;
    State connectState(Handle connection) override;
    // Every source's change news goes to the one handler.
    void setChangedHandler(std::function<void()> changed) override;

private:
    std::vector<std::unique_ptr<RemoteAccess>> m_sources;
    // The source that answered the last listing, asked first about its handle.
    RemoteAccess *m_answered = nullptr;
};
