#include "settings/documentopener.h"

#include <QDesktopServices>
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

} // namespace Corvath
