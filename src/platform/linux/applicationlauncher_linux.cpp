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

// The user's own choice first, then the system's, then the common desktops' terminals.
bool findTerminal(Terminal &terminal)
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
        if (!found.isEmpty()) {
            terminal = {found, option};
            return true;
        }
    }
    return false;
}

} // namespace

bool ApplicationLauncher::isLauncher(const QString &path)
{
    return path.endsWith(u".desktop") && QFileInfo(path).isFile();
}

bool ApplicationLauncher::command(const QString &path, LaunchCommand &command, QString &reason,
                                  const QUrl &document)
{
    QHash<QString, QString> keys;
    if (!DesktopEntry::readGroup(path, keys, reason))
        return false;
    const QString type = keys.value(QStringLiteral("Type"));
    if (type != u"Application") {
        reason = type.isEmpty()
            ? QStringLiteral("its desktop entry has no Type=Application")
            : QStringLiteral("its desktop entry is of Type %1, not Application").arg(type);
        return false;
    }
    // By the Desktop Entry rules a hidden entry is a deleted one.
    if (keys.value(QStringLiteral("Hidden")) == u"true") {
        reason = QStringLiteral("its desktop entry is marked deleted (Hidden=true)");
        return false;
    }
    const QString tryExec = keys.value(QStringLiteral("TryExec"));
    if (!tryExec.isEmpty() && QStandardPaths::findExecutable(tryExec).isEmpty()) {
        reason = QStringLiteral("%1 is not installed (TryExec)").arg(tryExec);
        return false;
    }
    QStringList words;
    const QString url = document.toString(QUrl::FullyEncoded);
    const DesktopEntry::FieldValues values {keys.value(QStringLiteral("Icon")),
                                            DesktopEntry::localized(keys, QStringLiteral("Name")),
                                            path,
                                            document.isLocalFile() ? document.toLocalFile() : url,
                                            url};
    if (!DesktopEntry::execArguments(keys.value(QStringLiteral("Exec")), words, reason, values))
        return false;
    if (words.isEmpty()) {
        reason = QStringLiteral("its desktop entry names no program (Exec)");
        return false;
    }
    if (keys.value(QStringLiteral("Terminal")) == u"true") {
        Terminal terminal;
        if (!findTerminal(terminal)) {
            reason = QStringLiteral("it runs in a terminal, and none was found");
            return false;
        }
        words = QStringList {terminal.program} + terminal.option + words;
    }
    const QString folder = keys.value(QStringLiteral("Path"));
    if (!folder.isEmpty() && !QFileInfo(folder).isDir()) {
        reason = QStringLiteral("its working folder %1 does not exist").arg(folder);
        return false;
    }

    command.program = words.takeFirst();
    command.arguments = words;
    command.workingDirectory = folder;
    return true;
}

Outcome<QString> ApplicationLauncher::start(const QString &path, const QUrl &document)
{
    LaunchCommand launch;
    if (QString reason; !command(path, launch, reason, document))
        return Failure {reason};
    if (const int error
        = ChildProcess::start(launch.program, launch.arguments, launch.workingDirectory);
        error != 0)
        return Failure {qt_error_string(error)};
    return {};
}
