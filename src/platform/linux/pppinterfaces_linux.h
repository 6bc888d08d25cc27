#pragma once

#include "platform/connectionsource.h"

#include <memory>

// The interfaces of link type PPP, asked over rtnetlink, the lowest index first. Change news
// comes from the kernel's link and address events.
std::unique_ptr<ConnectionSource> createPppInterfaces();
