#include "platform/connectionsource.h"
#include "platform/windows/remoteaccess.h"

namespace {

// The remote access service as the program's connection source. It hears of no changes: the
// monitoring timer alone watches.
class RemoteAccessSource final : public ConnectionSource
{
public:
    Answer firstConnection() override { return m_access->firstConnection(); }

private:
    std::unique_ptr<RemoteAccess> m_access = createRemoteAccess();
};

} // namespace

std::unique_ptr<ConnectionSource> createConnectionSource()
{
    return std::make_unique<RemoteAccessSource>();
}
