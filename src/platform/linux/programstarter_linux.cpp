#include "platform/commandline.h"
#include "platform/linux/applicationlauncher_linux.h"
#include "platform/linux/childprocess_linux.h"
#include "platform/linux/defaultapplication_linux.h"
#include "platform/programstarter.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <optional>

namespace {

bool isLauncher(const QFileInfo &info)
{
    return ApplicationLauncher::isLauncher(info.absoluteFilePath());
}

// Something to open rather than run: a file without execute permission, or a folder.
bool isDocument(const QFileInfo &info)
{
    return info.exists() && (info.isDir() || !info.isExecutable());
}

// Sockets, pipes and devices are no documents: an application opening one would hang or read
// without end. One that may not be read would fail only later, after the start looked good.
Outcome<QString> canOpen(const QFileInfo &info)
{
    if (!info.isFile() && !info.isDir())
        return Failure {QStringLiteral("it is not a program, a document or a folder")};
    if (!info.isReadable())
        return Failure {QStringLiteral("Permission denied")};
    return {};
}

Outcome<QString> startProgram(const QString &program, const QStringList &arguments,
                              const QString &folder = {})
{
    if (const int error = ChildProcess::start(program, arguments, folder); error != 0)
        return Failure {qt_error_string(error)};
    return {};
}

// An unquoted path with blanks names a program of its first words only: "/opt/My Apps/x"
// looks for /opt/My. Where the longer path or its folder is there, say which was looked for
// and why.
Outcome<QString> startWords(const QString &program, const QStringList &arguments)
{
    const int error = ChildProcess::start(program, arguments);
    if (error == 0)
        return {};
    if (error == ENOENT) {
        QString longer = program;
        for (const QString &word : arguments) {
            longer += u' ' + word;
            const QString folder = QFileInfo(longer).path();
            if (QFileInfo::exists(longer)
                || (folder.size() > program.size() && QFileInfo::exists(folder)))
                return Failure {QStringLiteral("there is no program %1; a path with blanks "
                                               "needs quotation marks")
                                    .arg(program)};
        }
    }
    return Failure {qt_error_string(error)};
}

// xdg-open's exit status in words.
QString openerFailure(int status)
{
    switch (status) {
    case 2:
        return QStringLiteral("it does not exist");
    case 3:
        return QStringLiteral("no application is set to open it");
    case 4:
        return QStringLiteral("the application for it failed");
    default:
        return QStringLiteral("the desktop's opener failed (status %1)").arg(status);
    }
}

// Openers still running; kept reachable and never killed when the program ends.
QList<QProcess *> &openers()
{
    static auto *running = new QList<QProcess *>;
    return *running;
}

// The application set for it starts as its desktop entry: opened is started, whenever it ends.
// (xdg-open may run it in the foreground and return its exit status, hours later.) Else through
// xdg-open, whose exit status says whether anything took it (QDesktopServices counts a started
// opener as done). The status is not waited for: the start is numbered and settled later.
Outcome<QString> openUrl(const QUrl &url, const QString &entry,
                         const std::function<ProgramStarter::PendingStart()> &numbered)
{
    QString application;
    if (auto found = DefaultApplication::desktopEntryFor(url, application); !found)
        return found;
    if (!application.isEmpty())
        return ApplicationLauncher::start(application, url);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            return Failure {QStringLiteral("no application is set to open it")};
        return {};
    }
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted()) {
        const QString reason = process->errorString();
        delete process;
        return Failure {reason};
    }
    // Numbered only now: a start that failed is never settled.
    QObject::connect(process, &QProcess::finished, process,
                     [process, entry, pending = numbered()](int status, QProcess::ExitStatus how) {
                         openers().removeOne(process);
                         process->deleteLater();
                         pending.settle(entry,
                                        how != QProcess::NormalExit
                                            ? QStringLiteral("the desktop's opener crashed")
                                            : status == 0 ? QString()
                                                          : openerFailure(status));
                     });
    openers().append(process);
    return {};
}

class DesktopStarter final : public ProgramStarter
{
public:
    Outcome<QString> start(const QString &entry) override
    {
        if (QString reason; isDamaged(entry, reason))
            return Failure {reason};
        if (CommandLine::isAddress(entry))
            return open(QUrl(entry), entry);
        // A path picked in the file dialog may hold blanks; the whole entry naming a file wins.
        const QFileInfo whole(entry);
        if (!entry.isEmpty() && whole.exists()) {
            if (auto started = startFile(whole, entry))
                return *started;
            return startProgram(whole.absoluteFilePath(), {});
        }

        QStringList words;
        if (!CommandLine::split(entry, words))
            return Failure {QStringLiteral("a quotation mark is not closed")};
        if (words.isEmpty())
            return Failure {QStringLiteral("no program is named")};
        const QString program = words.takeFirst();
        if (words.isEmpty()) {
            if (auto started = startFile(QFileInfo(program), entry))
                return *started;
        }
        return startWords(program, words);
    }

private:
    // A desktop entry is started by its command, a document opened; nothing for a program.
    std::optional<Outcome<QString>> startFile(const QFileInfo &file, const QString &entry) const
    {
        if (isLauncher(file))
            return ApplicationLauncher::start(file.absoluteFilePath());
        if (isDocument(file)) {
            if (auto readable = canOpen(file); !readable)
                return readable;
            return open(QUrl::fromLocalFile(file.absoluteFilePath()), entry);
        }
        return std::nullopt;
    }

    Outcome<QString> open(const QUrl &url, const QString &entry) const
    {
        return openUrl(url, entry, [this] { return pendingStart(); });
    }
};

} // namespace

std::unique_ptr<ProgramStarter> createProgramStarter()
{
    return std::make_unique<DesktopStarter>();
}
