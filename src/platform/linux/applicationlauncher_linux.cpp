#include "platform/linux/applicationlauncher_linux.h"
#include "platform/linux/childprocess_linux.h"
#include "platform/linux/desktopentry_linux.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

// A terminal and the option after which the rest of its arguments is the command to run.
struct Terminal
{
    QString program;
    QStringList option;
};

// The user's own choice first, then the system's, then the common desktops' terminals. No
// program when none is installed.
Terminal findTerminal()
{
    const QString chosen = qEnvironmentVariable("TERMINAL");
    const std::initializer_list<std::pair<QString, QStringList>> candidates = {
        {chosen, {QStringLiteral("-e")}},
        {QStringLiteral("x-terminal-emulator"), {QStringLiteral("-e")}},
        {QStringLiteral("xdg-terminal-exec"), {}},
        {QStringLiteral("gnome-terminal"), {QStringLiteral("--")}},
        {QStringLiteral("konsole"), {QStringLiteral("-e")}},
        {QStringLiteral("xfce4-terminal"), {QStringLiteral("-x")}},
        {QStringLiteral("mate-terminal"), {QStringLiteral("-x")}},
        {QStringLiteral("xterm"), {QStringLiteral("-e")}},
    };
    for (const auto &[name, option] : candidates) {
        const QString found = name.isEmpty() ? QString() : QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return {found, option};
    }
    return {};
}

LaunchCommand refused(Outcome<QString> reason)
{
    LaunchCommand none;
    none.outcome = std::move(reason);
    return none;
}

// Whether the entry describes an application that may be started.
Outcome<QString> startable(const QHash<QString, QString> &keys)
{
    const QString type = keys.value(QStringLiteral("Type"));
    if (type != u"Application") {
        return Failure {
            type.isEmpty()
                ? QStringLiteral("its desktop entry has no Type=Application")
                : QStringLiteral("its desktop entry is of Type %1, not Application").arg(type)};
    }
    // By the Desktop Entry rules a hidden entry is a deleted one.
    if (keys.value(QStringLiteral("Hidden")) == u"true")
        return Failure {QStringLiteral("its desktop entry is marked deleted (Hidden=true)")};
    const QString tryExec = keys.value(QStringLiteral("TryExec"));
    if (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty())
        return Failure {QStringLiteral("%1 is not installed (TryExec)").arg(tryExec)};
    return {};
}

} // namespace

bool ApplicationLauncher::isLauncher(const QString &path)
{
    return path.endsWith(u".desktop") && QFileInfo(path).isFile();
}

LaunchCommand ApplicationLauncher::command(const QString &path, const QUrl &document)
{
    const DesktopEntry::Group group = DesktopEntry::readGroup(path);
    const QHash<QString, QString> &keys = group.keys;
    if (!group.outcome)
        return refused(group.outcome);
    if (auto why = startable(keys); !why)
        return refused(why);
    const QString url = document.toString(QUrl::FullyEncoded);
    const DesktopEntry::FieldValues values {keys.value(QStringLiteral("Icon")),
                                            DesktopEntry::localized(keys, QStringLiteral("Name")),
                                            path,
                                            document.isLocalFile() ? document.toLocalFile() : url,
                                            url};
    const DesktopEntry::Arguments exec
        = DesktopEntry::execArguments(keys.value(QStringLiteral("Exec")), values);
    if (!exec.outcome)
        return refused(exec.outcome);
    QStringList words = exec.arguments;
    if (words.isEmpty())
        return refused(Failure {QStringLiteral("its desktop entry names no program (Exec)")});
    if (keys.value(QStringLiteral("Terminal")) == u"true") {
        const Terminal terminal = findTerminal();
        if (terminal.program.isEmpty())
            return refused(Failure {QStringLiteral("it runs in a terminal, and none was found")});
        words = QStringList {terminal.program} + terminal.option + words;
    }
    const QString folder = keys.value(QStringLiteral("Path"));
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        return refused(
            Failure {QStringLiteral("its working folder %1 does not exist").arg(folder)});
    const QString program = words.takeFirst();
    return {program, words, folder, {}};
}

Outcome<QString> ApplicationLauncher::start(const QString &path, const QUrl &document)
{
    const LaunchCommand launch = command(path, document);
    if (!launch.outcome)
        return launch.outcome;
    return ChildProcess::start(launch.program, launch.arguments, launch.workingDirectory).outcome;
}
