#pragma once

#include "platform/outcome.h"

#include <QString>

// The XDG autostart entry that starts this program at log-in. By the Desktop Entry rules a
// deleted entry and a hidden one mean the same, so removing it is deleting the file.
namespace AutostartEntry {

// $XDG_CONFIG_HOME/autostart/quillmoor.desktop
QString path();
// The entry for executable; empty when the path holds a control character that a desktop
// entry cannot carry.
QString text(const QString &executable);
// One argument of an Exec line: quoted and escaped as the Desktop Entry rules ask, before the
// general string escapes of the file.
QString quoteArgument(const QString &argument);

// On failure, the reason for the user.
Outcome<QString> write(const QString &executable);
Outcome<QString> remove();

} // namespace AutostartEntry
