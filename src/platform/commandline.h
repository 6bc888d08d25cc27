#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QStringList>

// How a launch list entry reads as a command line; shared by the OS implementations.
namespace CommandLine {

// Splits a command line into words by the shell's quoting rules: blanks separate words; single
// quotes keep everything; double quotes keep everything but a backslash before \ " $ or `; a
// backslash outside quotes keeps the next character. Nothing is expanded: no variables,
// globs, tildes or substitutions. Fails, with no words, on an unclosed quote.
struct Words
{
    QStringList words;
    Outcome<QString> outcome;
};
Words split(const QString &line);

// True for an entry that is a web, mail or file address (schemes http, https, ftp, mailto and
// file, in any case, with something after the colon and no blank): the desktop opens it.
bool isAddress(const QString &entry);

} // namespace CommandLine
