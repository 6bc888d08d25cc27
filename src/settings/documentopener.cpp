#include "settings/documentopener.h"
#include "shell/dialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#ifdef Q_OS_WIN
#include "platform/windows/windowsshell.h"
#else
namespace {

QUrl documentUrl(const QString &path)
{
    const QFileInfo info(path);
    if (info.exists() || info.isAbsolute())
        return QUrl::fromLocalFile(info.absoluteFilePath());
    const QUrl url(path, QUrl::StrictMode);
    // A one-letter scheme is a drive letter, not a web address.
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(info.absoluteFilePath());
}

} // namespace
#endif

namespace Corvath {

bool FileExists(const QString &path)
{
#ifdef Q_OS_WIN
    // Hidden and system files count as missing there, as the shell's own look-up has it.
    return WindowsShell::fileExists(path.toStdString());
#else
    return !path.isEmpty() && QFileInfo(path).isFile();
#endif
}

bool OpenDocument(const QString &path)
{
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    // ShellExecute, from "c:\", opens documents and web addresses alike.
    std::string reason;
    return WindowsShell::openDocument(path.toStdString(), 0, reason);
#else
    return QDesktopServices::openUrl(documentUrl(path));
#endif
}

void OpenReadMe(const QString &programDir)
{
    const QString path = QDir(programDir).filePath(QStringLiteral("readme.txt"));
    if (!FileExists(path)) {
        // The directory as it is spelt on disk: a lower-cased path names another one here.
        dialogs()->messageBox(QStringLiteral("Could not find README.TXT in the ")
                                  + QDir::toNativeSeparators(programDir)
                                  + QStringLiteral(" directory."),
                              QStringLiteral("Error"), MessageIcon::Critical);
        return;
    }
    if (!OpenDocument(path)) {
        dialogs()->messageBox(QStringLiteral("Could not open ") + QDir::toNativeSeparators(path)
                                  + QStringLiteral(": the desktop has no program to show it."),
                              QStringLiteral("Error"), MessageIcon::Critical);
    }
}

} // namespace Corvath
