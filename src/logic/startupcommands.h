#pragma once

#include "platform/outcome.h"

#include <QString>

namespace Corvath {

// "Add To Startup": the desktop starts this program at log-in from now on. On failure, the
// sentence that tells the user why not.
Outcome<QString> AddToStartup();
// "Remove From Startup": it no longer does. Already removed counts as success.
Outcome<QString> RemoveFromStartup();

} // namespace Corvath
