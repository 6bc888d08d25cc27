#pragma once

#include "platform/outcome.h"

#include <QLockFile>
#include <QString>

#include <string>

// The lock beside the settings file, held while a save reads the file again and replaces it.
namespace SettingsLock {

// Takes lock, waiting a while for another program's save to end. Where no lock can ever be
// taken (a folder, a link or anything but a file in its place) it fails at once, naming that.
Outcome<std::string> take(QLockFile &lock, const QString &folder);

} // namespace SettingsLock
