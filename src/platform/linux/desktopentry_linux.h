#pragma once

#include "platform/outcome.h"

#include <QHash>
#include <QString>
#include <QStringList>

// Reading desktop entry files (*.desktop) by the Desktop Entry rules: the inverse of what the
// autostart entry writes.
namespace DesktopEntry {

// The keys of the [Desktop Entry] group, with the string escapes \s \n \t \r \\ undone; other
// groups are skipped. Fails, with the reason for the user, when the file cannot be read or has
// no such group.
struct Group
{
    QHash<QString, QString> keys;
    Outcome<QString> outcome;
};
Group readGroup(const QString &path);

// The general string escapes. Any other backslash stays, for the Exec quoting.
QString unescape(const QString &value);

// What the field codes that describe the entry itself stand for.
struct FieldValues
{
    QString icon; // %i: "--icon" and this, as two arguments; nothing when empty
    QString name; // %c: the translated Name
    QString location; // %k: the entry's own path or URI
    QString file; // %f %F: the document's path (its address when it is not a local file)
    QString url; // %u %U: the document's address
};

// Splits an Exec value (string escapes undone) into the program and its arguments: blanks
// separate, double quotes group, and inside them a backslash escapes " ` $ and \. %i, %c and
// %k, and the file codes (%f, %U, ...) with the one document, are expanded from `values`;
// the deprecated codes and those with nothing to stand for are dropped, an argument that was
// only field codes with them; %% is a %. Fails, with the reason and no arguments, when the
// line breaks the rules: a reserved character outside quotes, an unescaped one inside, an open
// quote or an unknown field code.
struct Arguments
{
    QStringList arguments;
    Outcome<QString> outcome;
};
Arguments execArguments(const QString &exec, const FieldValues &values = {});

// The value of `key` in the language of the messages (LC_ALL, LC_MESSAGES, LANG), by the
// Desktop Entry rules for localized keys.
QString localized(const QHash<QString, QString> &keys, const QString &key);

} // namespace DesktopEntry
