#pragma once

#include <QString>

namespace Corvath {

// True only for a regular file (or a link to one): not for a directory, a device or a path
// that cannot be looked up.
bool FileExists(const QString &path);
// Hands a document path or a web address to the desktop's program for it and returns at
// once. False when the desktop took nothing; `reason` then says why, in the system's words.
bool OpenDocument(const QString &path, QString *reason = nullptr);

} // namespace Corvath
