#pragma once

#include "platform/outcome.h"

#include <string>

namespace Corvath {

// Sets key in section of a profile (.ini) file, creating the file, the section and the key as
// needed and replacing an existing value. An empty value keeps the key, empty. A bare file
// name means the Windows directory. Texts are UTF-8. The Windows start-up entry writes
// through this; other systems have no profile files.
// Fails with the system's reason when the file could not be written.
Outcome<std::string> WriteProfileValue(const std::string &section, const std::string &key,
                                       const std::string &value, const std::string &file);

} // namespace Corvath
