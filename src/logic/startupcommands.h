#pragma once

#include <QString>

namespace Corvath {

// What a start-up command did: nothing to tell, or the sentence that tells the user why not.
struct StartupReport
{
    QString failure;

    explicit operator bool() const { return failure.isEmpty(); }
};

// "Add To Startup": the desktop starts this program at log-in from now on.
StartupReport AddToStartup();
// "Remove From Startup": it no longer does. Already removed counts as success.
StartupReport RemoveFromStartup();

} // namespace Corvath
