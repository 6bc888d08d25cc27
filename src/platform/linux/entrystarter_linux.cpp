#include "platform/applicationlauncher.h"
#include "platform/commandline.h"
#include "platform/entrystarter.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

ApplicationLauncher &launcher()
{
    static const std::unique_ptr<ApplicationLauncher> instance = createApplicationLauncher();
    return *instance;
}

bool isLauncher(const QFileInfo &info)
{
    return launcher().isLauncher(info.absoluteFilePath().toStdString());
}

// Something to open rather than run: a file without execute permission, or a folder.
bool isDocument(const QFileInfo &info)
{
    return info.exists() && (info.isDir() || !info.isExecutable());
}

// Sockets, pipes and devices are no documents: an application opening one would hang or read
// without end. One that may not be read would fail only later, after the start looked good.
bool canOpen(const QFileInfo &info, QString &reason)
{
    if (!info.isFile() && !info.isDir()) {
        reason = QStringLiteral("it is not a program, a document or a folder");
        return false;
    }
    if (!info.isReadable()) {
        reason = QStringLiteral("Permission denied");
        return false;
    }
    return true;
}

bool startProgram(const QString &program, const QStringList &arguments, QString &reason,
                  const QString &folder = {})
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(folder);
    // On a QProcess object, so that a failure says why.
    if (process.startDetached())
        return true;
    reason = process.errorString();
    // Qt names the system call it tried; the user wants only the cause.
    const qsizetype colon = reason.indexOf(QLatin1String(": "));
    if (reason.startsWith(QLatin1String("exec")) && colon > 0)
        reason.remove(0, colon + 2);
    return false;
}

bool openUrl(const QUrl &url, QString &reason)
{
    if (QDesktopServices::openUrl(url))
        return true;
    reason = QStringLiteral("no application is set to open it");
    return false;
}

bool startLauncher(const QString &path, QString &reason)
{
    LaunchCommand command;
    std::string why;
    if (!launcher().command(path.toStdString(), command, why)) {
        reason = QString::fromStdString(why);
        return false;
    }
    QStringList arguments;
    for (const std::string &argument : command.arguments)
        arguments.append(QString::fromStdString(argument));
    return startProgram(QString::fromStdString(command.program), arguments, reason,
                        QString::fromStdString(command.workingDirectory));
}

class DesktopEntryStarter final : public EntryStarter
{
public:
    bool start(const std::string &text, std::string &why) override
    {
        const QString entry = QString::fromStdString(text);
        QString reason;
        if (startEntry(entry, reason))
            return true;
        why = reason.toStdString();
        return false;
    }

private:
    static bool startEntry(const QString &entry, QString &reason)
    {
        if (CommandLine::isAddress(entry))
            return openUrl(QUrl(entry), reason);
        // A path picked in the file dialog may hold blanks; the whole entry naming a file wins.
        const QFileInfo whole(entry);
        if (!entry.isEmpty() && whole.exists()) {
            if (isLauncher(whole))
                return startLauncher(whole.absoluteFilePath(), reason);
            if (isDocument(whole))
                return canOpen(whole, reason)
                    && openUrl(QUrl::fromLocalFile(whole.absoluteFilePath()), reason);
            return startProgram(whole.absoluteFilePath(), {}, reason);
        }

        QStringList words;
        if (!CommandLine::split(entry, words)) {
            reason = QStringLiteral("a quotation mark is not closed");
            return false;
        }
        if (words.isEmpty()) {
            reason = QStringLiteral("no program is named");
            return false;
        }
        const QString program = words.takeFirst();
        const QFileInfo named(program);
        if (words.isEmpty() && isLauncher(named))
            return startLauncher(named.absoluteFilePath(), reason);
        if (words.isEmpty() && isDocument(named))
            return canOpen(named, reason)
                && openUrl(QUrl::fromLocalFile(named.absoluteFilePath()), reason);
        return startProgram(program, words, reason);
    }
};

} // namespace

std::unique_ptr<EntryStarter> createEntryStarter()
{
    return std::make_unique<DesktopEntryStarter>();
}
