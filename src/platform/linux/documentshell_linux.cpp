#include "platform/documentshell.h"
#include "platform/linux/defaultapplication_linux.h"

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

    Outcome<QString> open(const QString &pathOrAddress) override
    {
        const QUrl url = documentUrl(pathOrAddress);
        if (const auto opened = DefaultApplication::open(url); opened.tried)
            return opened.outcome;
        // The opener would find no more for a file than its type's application, and fail where
        // nobody sees it. Addresses and missing files still go to it: it may know more of them.
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            return Failure {QStringLiteral("no application is set to open it")};
        if (!QDesktopServices::openUrl(url))
            return Failure {QStringLiteral("the desktop has no program to show it")};
        return {};
    }
};

} // namespace

std::unique_ptr<DocumentShell> createDocumentShell()
{
    return std::make_unique<DesktopDocumentShell>();
}
