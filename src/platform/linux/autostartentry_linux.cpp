#include "platform/linux/autostartentry_linux.h"
#include "platform/linux/confighome_linux.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#`()");
    return reserved.contains(c);
}

// Control characters other than these have no escape in a desktop entry's string value.
bool isCarried(QChar c)
{
    return (c.unicode() >= 0x20 && c.unicode() != 0x7f) || c == u'\t' || c == u'\n' || c == u'\r';
}

// The escapes that every string value of the file gets, applied after the Exec quoting.
QString escapeString(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace

namespace AutostartEntry {

QString path()
{
    const QString folder = configHome();
    return folder.isEmpty() ? folder : folder + QStringLiteral("/autostart/quillmoor.desktop");
}

QString quoteArgument(const QString &argument)
{
    const bool quoted
        = argument.isEmpty() || std::any_of(argument.begin(), argument.end(), isReserved);
    QString result;
    result.reserve(argument.size() + 8);
    if (quoted)
        result += u'"';
    for (const QChar c : argument) {
        if (c == u'%') {
            result += QStringLiteral("%%"); // a lone % would start a field code
            continue;
        }
        if (quoted && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            result += u'\\';
        result += c;
    }
    if (quoted)
        result += u'"';
    return result;
}

QString text(const QString &executable)
{
    if (!std::all_of(executable.begin(), executable.end(), isCarried))
        return {};
    // The delay and the two hints let the panel with its tray come up before the icon.
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Quillmoor\n"
                          "Comment=Starts programs when a dial-up connection comes up\n"
                          "Exec=%1\n"
                          "Icon=quillmoor\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-Delay=5\n"
                          "X-KDE-autostart-after=panel\n"
                          "X-LXQt-Need-Tray=true\n")
        .arg(escapeString(quoteArgument(executable)));
}

Outcome<QString> write(const QString &executable)
{
    const QString content = text(executable);
    if (content.isEmpty()) {
        return Failure {QStringLiteral("the program's path %1 holds a control character, which an "
                                       "autostart entry cannot hold.")
                            .arg(executable)};
    }
    const QString file = path();
    if (file.isEmpty())
        return Failure {QStringLiteral("there is no home folder to keep it in (HOME is not set).")};
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return Failure {QStringLiteral("the folder %1 could not be created.").arg(folder)};
    // Written whole or not at all: a half-written entry could start nothing or garbage.
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly))
        return Failure {
            QStringLiteral("%1 could not be written: %2.").arg(file, save.errorString())};
    save.write(content.toUtf8());
    if (!save.commit())
        return Failure {
            QStringLiteral("%1 could not be written: %2.").arg(file, save.errorString())};
    return {};
}

Outcome<QString> remove()
{
    const QString file = path();
    if (file.isEmpty())
        return {}; // no home, so no entry of ours
    QFile entry(file);
    if (entry.remove())
        return {};
    const QFileInfo info(file);
    if (!info.exists() && !info.isSymLink())
        return {}; // already gone
    return Failure {QStringLiteral("%1 could not be deleted: %2.").arg(file, entry.errorString())};
}

} // namespace AutostartEntry
