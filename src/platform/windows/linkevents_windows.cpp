#include "platform/linkevents.h"

// No event source here yet: the monitoring timer alone watches the connections.

namespace {

class NoLinkEvents final : public LinkEvents
{
public:
    int descriptor() const override { return -1; }
    Drained drain() override { return Drained::Broken; }
};

} // namespace

std::unique_ptr<LinkEvents> createLinkEvents()
{
    return std::make_unique<NoLinkEvents>();
}
