#pragma once

#include "platform/outcome.h"

#include <QString>

namespace Corvath {

// True only for a regular file (or a link to one): not for a directory, a device or a path
// that cannot be looked up.
bool FileExists(const QString &path);
// Hands a document path or a web address to the desktop's program for it and returns at
// once. Fails when the desktop took nothing, with the reason in the system's words.
Outcome<QString> OpenDocument(const QString &path);

} // namespace Corvath
