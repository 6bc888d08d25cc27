#pragma once

#include <QSettings>

class QIODevice;

// A plain INI format for QSettings: "key=value" lines under "[Section]" headers. Values are kept
// as the exact text between the first '=' and the end of the line: never split at commas,
// unescaped or converted, so that a hand-edited file reads back as it looks.
namespace IniFormat {

QSettings::Format format();

bool read(QIODevice &device, QSettings::SettingsMap &map);
bool write(QIODevice &device, const QSettings::SettingsMap &map);

// True when the last read of the file at path met lines it could not understand (binary junk,
// bad UTF-8, lines without '='); such a file is read as far as possible. Forgets the answer,
// as the caller is about to rewrite the file.
bool takeDamaged(const QString &path);

// Whether a value can be stored as one line.
bool isStorable(const QString &value);

} // namespace IniFormat
