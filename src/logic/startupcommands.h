#pragma once

namespace Corvath {

// "Add To Startup": the desktop starts this program at log-in from now on. Success is
// silent; a failure is shown to the user and returns false.
bool AddToStartup();
// "Remove From Startup": it no longer does. Already removed counts as success.
bool RemoveFromStartup();

} // namespace Corvath
