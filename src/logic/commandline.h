#pragma once

#include <QString>
#include <QStringList>

namespace CommandLine {

// Splits a command line into words by the shell's quoting rules: blanks separate words; single
// quotes keep everything; double quotes keep everything but a backslash before \ " $ or `; a
// backslash outside quotes keeps the next character. Nothing is expanded: no variables,
// globs, tildes or substitutions. Returns false, leaving `words` empty, on an unclosed quote.
bool split(const QString &line, QStringList &words);

} // namespace CommandLine
