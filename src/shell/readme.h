#pragma once

#include <QString>

namespace Corvath {

// "Read Me!!": opens readme.txt from programDir, or says that it is missing.
void OpenReadMe(const QString &programDir);

} // namespace Corvath
