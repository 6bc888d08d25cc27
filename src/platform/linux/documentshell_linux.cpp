#include "platform/documentshell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

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

class DesktopDocumentShell final : public DocumentShell
{
public:
    bool fileExists(const std::string &path) override
    {
        return !path.empty() && QFileInfo(QString::fromStdString(path)).isFile();
    }

    bool open(const std::string &pathOrAddress, std::string &reason) override
    {
        if (QDesktopServices::openUrl(documentUrl(QString::fromStdString(pathOrAddress))))
            return true;
        reason = "the desktop has no program to show it";
        return false;
    }
};

} // namespace

std::unique_ptr<DocumentShell> createDocumentShell()
{
    return std::make_unique<DesktopDocumentShell>();
}
