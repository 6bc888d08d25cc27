#pragma once

#include <QString>
#include <QStringList>

// How a launch list entry reads as a command line; shared by the OS implementations.
namespace CommandLine {

// Splits a command line into words by the shell's quoting rules: blanks separate words; single
// quotes keep everything; double quotes keep everything but a backslash before \ " $ or `; a
// backslash outside quotes keeps the next character. Nothing is expanded: no variables,
// globs, tildes or substitutions. Returns false, leaving `words` empty, on an unclosed quote.
bool split(const QString &line, QStringList &words);

// True for an entry that is a web, mail or file address (schemes http, https, ftp, mailto and
// file, in any case, with something after the colon and no blank): the desktop opens it.
bool isAddress(const QString &entry);

} // namespace CommandLine
