#pragma once

#include "platform/outcome.h"

#include <QString>

namespace Corvath {

// How a window tells the user a failure that a lower layer reported, in an error box through
// dialogs().

// Returns whether it succeeded.
bool reportFailure(const Outcome<QString> &result);
// For a change of the settings: the reason, then that nothing changed. Returns whether it
// succeeded.
bool reportStoreFailure(const Outcome<QString> &result);
// The sentence that follows every failed change of the settings.
QString storeUnchanged();

} // namespace Corvath
