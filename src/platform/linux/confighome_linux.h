#pragma once

#include <QDir>
#include <QString>

// $XDG_CONFIG_HOME, or ~/.config; empty when neither is an absolute path. By the XDG rules a
// relative XDG_CONFIG_HOME is ignored, and without a home there is no place to keep anything.
inline QString configHome()
{
    const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(folder))
        return QDir::cleanPath(folder);
    const QString home = qEnvironmentVariable("HOME");
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home + QStringLiteral("/.config"))
                                      : QString();
}
