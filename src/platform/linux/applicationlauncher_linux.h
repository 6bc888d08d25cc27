#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QStringList>
#include <QUrl>

// How to start what a launcher file describes, or why it may not be started.
struct LaunchCommand
{
    QString program;
    QStringList arguments;
    QString workingDirectory; // empty: the program starts where this one runs
    Outcome<QString> outcome;
};

// Desktop entries (*.desktop) of Type=Application, by the Desktop Entry rules: Exec with its
// quoting, %i %c %k expanded and the file codes dropped; Terminal=true runs it in the desktop's
// terminal; Path is the working folder; Hidden=true and a TryExec program that is not installed
// refuse it. They describe an application to start, rather than a document to open.
namespace ApplicationLauncher {

// True when path names such a file: it is then started by its command, never opened.
bool isLauncher(const QString &path);
// The command that starts what the file describes, with `document` to open when there is one.
// Fails, with the reason in words for the user, when the file is no valid application entry or
// may not be started.
LaunchCommand command(const QString &path, const QUrl &document = {});
// Starts that command as a program of its own; the reason in words when it could not.
Outcome<QString> start(const QString &path, const QUrl &document = {});

} // namespace ApplicationLauncher
