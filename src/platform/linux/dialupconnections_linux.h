#pragma once

#include "platform/remoteaccess.h"

#include <memory>

// The dial-up connections that NetworkManager lists, while it runs, followed by those of
// `pppInterfaces`. Without a QCoreApplication or a system bus, `pppInterfaces` alone.
std::unique_ptr<RemoteAccess> withNetworkManager(std::unique_ptr<RemoteAccess> pppInterfaces);
