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

namespace {

bool isLauncher(const QFileInfo &info)
{
    return ApplicationLauncher::isLauncher(info.absoluteFilePath());
}

// Started by its command (a desktop entry) or opened (a file without execute permission, or a
// folder) rather than run.
bool isOpened(const QFileInfo &info)
{
    return isLauncher(info) || (info.exists() && (info.isDir() || !info.isExecutable()));
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

// An unquoted path with blanks names a program of its first words only: "/opt/My Apps/x"
// looks for /opt/My. Where the longer path or its folder is there, say which was looked for
// and why.
Outcome<QString> startWords(const QString &program, const QStringList &arguments)
{
    const ChildProcess::Started started = ChildProcess::start(program, arguments);
    if (started.error == ENOENT) {
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
    return started.outcome;
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

// Openers still running, kept reachable and never killed when the program ends.
// Static, not the starter's: destroying a QProcess kills it, and an opener may outlive us.
QList<QProcess *> &openers()
{
    static auto *running = new QList<QProcess *>;
    return *running;
}

class DesktopStarter final : public ProgramStarter
{
public:
    StartResult start(const QString &entry) override
    {
        if (auto undamaged = intact(entry); !undamaged)
            return undamaged;
        if (CommandLine::isAddress(entry))
            return open(QUrl(entry), entry);
        // A path picked in the file dialog may hold blanks; the whole entry naming a file wins.
        const QFileInfo whole(entry);
        if (!entry.isEmpty() && whole.exists()) {
            if (isOpened(whole))
                return startFile(whole, entry);
            return ChildProcess::start(whole.absoluteFilePath(), {}).outcome;
        }

        const CommandLine::Words split = CommandLine::split(entry);
        if (!split.outcome)
            return split.outcome;
        QStringList words = split.words;
        if (words.isEmpty())
            return Failure {QStringLiteral("no program is named")};
        const QString program = words.takeFirst();
        if (words.isEmpty() && isOpened(QFileInfo(program)))
            return startFile(QFileInfo(program), entry);
        return startWords(program, words);
    }

private:
    // A desktop entry is started by its command, a document opened.
    StartResult startFile(const QFileInfo &file, const QString &entry)
    {
        if (isLauncher(file))
            return ApplicationLauncher::start(file.absoluteFilePath());
        if (auto readable = canOpen(file); !readable)
            return readable;
        return open(QUrl::fromLocalFile(file.absoluteFilePath()), entry);
    }

    // The application set for it starts as its desktop entry: opened is started, whenever it
    // ends. (xdg-open may run it in the foreground and return its exit status, hours later.)
    // Else through xdg-open, whose exit status says whether anything took it (QDesktopServices
    // counts a started opener as done). The status is not waited for: the start is pending.
    StartResult open(const QUrl &url, const QString &entry)
    {
        if (const auto opened = DefaultApplication::open(url); opened.tried)
            return opened.outcome;
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
        const StartResult started = pending();
        connect(process, &QProcess::finished, this,
                [this, entry, number = started.pending](int status, QProcess::ExitStatus how) {
                    Q_EMIT settled(number, entry,
                                   how != QProcess::NormalExit
                                       ? QStringLiteral("the desktop's opener crashed")
                                       : status == 0 ? QString()
                                                     : openerFailure(status));
                });
        connect(process, &QProcess::finished, process, [process] {
            openers().removeOne(process);
            process->deleteLater();
        });
        openers().append(process);
        return started;
    }
};

} // namespace

std::unique_ptr<ProgramStarter> createProgramStarter()
{
    return std::make_unique<DesktopStarter>();
}
