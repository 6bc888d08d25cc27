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
    bool fileExists(const QString &path) override
    {
        return !path.isEmpty() && QFileInfo(path).isFile();
    }

    bool open(const QString &pathOrAddress, QString &reason) override
    {
        if (QDesktopServices::openUrl(documentUrl(pathOrAddress)))
            return true;
        reason = QStringLiteral("the desktop has no program to show it");
        return false;
    }
};

} // namespace

std::unique_ptr<DocumentShell> createDocumentShell()
{
    return std::make_unique<DesktopDocumentShell>();
}
