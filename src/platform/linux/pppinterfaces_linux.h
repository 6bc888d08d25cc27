#pragma once

#include "platform/remoteaccess.h"

#include <memory>

// The interfaces of link type PPP, asked over rtnetlink; handles are interface indexes, below
// 0x80000000. Change news comes from the kernel's link and address events.
std::unique_ptr<RemoteAccess> createPppInterfaces();
