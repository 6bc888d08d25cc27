#include "platform/connectionsources.h"
#include "platform/linux/networkmanager_linux.h"
#include "platform/linux/pppinterfaces_linux.h"

// The list of Linux's connection sources, in the order they are asked. Most mobile-broadband
// modems bring no PPP interface, so NetworkManager, which runs them, comes first; its own PPP
// links (a serial modem's ppp0) then come after its connections and need no matching up.
std::unique_ptr<ConnectionSource> createConnectionSource()
{
    std::vector<std::unique_ptr<ConnectionSource>> sources;
    sources.push_back(createNetworkManagerConnections());
    sources.push_back(createPppInterfaces());
    return std::make_unique<ConnectionSources>(std::move(sources));
}
