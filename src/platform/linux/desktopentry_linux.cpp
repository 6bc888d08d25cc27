#include "platform/linux/desktopentry_linux.h"

#include <QFile>

#include <utility>

namespace {

// Desktop entries are a few kilobytes; a file of this size named so is something else.
constexpr qint64 MaxBytes = 1024 * 1024;

const QString Reserved = QStringLiteral("\t\n\"'\\><~|&;$*?#`()");
// %d %D %n %N %v %m are deprecated, and dropped as the others are.
const QString FieldCodes = QStringLiteral("fFuUdDnNickvm");

QString withoutLeadingBlanks(QStringView value)
{
    qsizetype start = 0;
    while (start < value.size() && (value[start] == u' ' || value[start] == u'\t'))
        ++start;
    return value.mid(start).toString();
}

// One argument with its field codes expanded, or why it cannot be. %i counts only as an
// argument of its own: it stands for two.
struct Expanded
{
    QString text;
    bool dropped = false; // only codes, with nothing to stand for: the argument goes
    Outcome<QString> outcome;
};

Expanded expandFieldCodes(const QString &argument, const DesktopEntry::FieldValues &values)
{
    Expanded expanded;
    bool hadCode = false;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] != u'%') {
            expanded.text += argument[i];
            continue;
        }
        const QChar code = i + 1 < argument.size() ? argument[++i] : QChar();
        if (code == u'%') {
            expanded.text += u'%';
            continue;
        }
        if (code.isNull() || !FieldCodes.contains(code)) {
            expanded.outcome = Failure {
                QStringLiteral("its Exec key has an unknown field code in %1").arg(argument)};
            return expanded;
        }
        hadCode = true;
        if (code == u'c')
            expanded.text += values.name;
        else if (code == u'k')
            expanded.text += values.location;
        else if (code == u'f' || code == u'F')
            expanded.text += values.file;
        else if (code == u'u' || code == u'U')
            expanded.text += values.url;
    }
    expanded.dropped = hadCode && expanded.text.isEmpty();
    return expanded;
}

DesktopEntry::Arguments refused(const QString &reason)
{
    return {{}, Failure {reason}};
}

// The words of an Exec value by its quoting, field codes as they stand.
DesktopEntry::Arguments quotedWords(const QString &exec)
{
    QStringList quoted;
    QString current;
    bool inQuotes = false;
    bool started = false;
    auto finish = [&] {
        if (started)
            quoted.append(std::exchange(current, QString()));
        started = false;
    };
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == u'\\' && i + 1 < exec.size() && QStringView(u"\"`$\\").contains(exec[i + 1])) {
                current += exec[++i];
            } else if (c == u'"') {
                inQuotes = false;
            } else if (c == u'$' || c == u'`' || c == u'\\') {
                return refused(
                    QStringLiteral("its Exec key has %1 unescaped inside quotes").arg(c));
            } else {
                current += c;
            }
        } else if (c == u' ') {
            finish();
        } else if (c == u'"') {
            inQuotes = started = true;
        } else if (Reserved.contains(c)) {
            return refused(QStringLiteral("its Exec key has %1 outside quotes")
                               .arg(c == u'\t'       ? QStringLiteral("a tab")
                                        : c == u'\n' ? QStringLiteral("a line break")
                                                     : QString(c)));
        } else {
            current += c;
            started = true;
        }
    }
    if (inQuotes)
        return refused(QStringLiteral("its Exec key has a quotation mark that is not closed"));
    finish();
    return {quoted, {}};
}

} // namespace

namespace DesktopEntry {

Group readGroup(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, Failure {file.errorString()}};
    if (file.size() > MaxBytes)
        return {{}, Failure {QStringLiteral("it is too large to be a desktop entry")}};
    QHash<QString, QString> keys;
    bool found = false;
    bool inGroup = false;
    const QString text = QString::fromUtf8(file.readAll());
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inGroup = line == u"[Desktop Entry]";
            found = found || inGroup;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inGroup || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        if (!keys.contains(key)) // the first of a repeated key counts
            keys.insert(key, unescape(withoutLeadingBlanks(line.mid(equals + 1))));
    }
    if (!found) {
        const QString reason
            = QStringLiteral("it is not a desktop entry (it has no [Desktop Entry] group)");
        return {{}, Failure {reason}};
    }
    return {keys, {}};
}

QString unescape(const QString &value)
{
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            result += c;
            continue;
        }
        const QChar next = value[++i];
        if (next == u's')
            result += u' ';
        else if (next == u'n')
            result += u'\n';
        else if (next == u't')
            result += u'\t';
        else if (next == u'r')
            result += u'\r';
        else if (next == u'\\')
            result += u'\\';
        else
            result += QString(c) + next;
    }
    return result;
}

Arguments execArguments(const QString &exec, const FieldValues &values)
{
    const Arguments quoted = quotedWords(exec);
    if (!quoted.outcome)
        return quoted;
    Arguments result;
    for (const QString &argument : quoted.arguments) {
        if (argument == u"%i") {
            if (!values.icon.isEmpty())
                result.arguments << QStringLiteral("--icon") << values.icon;
            continue;
        }
        const Expanded expanded = expandFieldCodes(argument, values);
        if (!expanded.outcome)
            return {{}, expanded.outcome};
        if (!expanded.dropped) // nothing is handed over, so the argument goes
            result.arguments.append(expanded.text);
    }
    return result;
}

QString localized(const QHash<QString, QString> &keys, const QString &key)
{
    QString locale;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty())
            break;
    }
    // lang_COUNTRY.ENCODING@MODIFIER; the encoding plays no part.
    const QString modifier = locale.contains(u'@') ? locale.section(u'@', 1) : QString();
    locale = locale.section(u'@', 0, 0).section(u'.', 0, 0);
    const QString lang = locale.section(u'_', 0, 0);
    const QString country = locale.contains(u'_') ? locale.section(u'_', 1) : QString();
    QStringList tried;
    if (!country.isEmpty() && !modifier.isEmpty())
        tried << lang + u'_' + country + u'@' + modifier;
    if (!country.isEmpty())
        tried << lang + u'_' + country;
    if (!modifier.isEmpty())
        tried << lang + u'@' + modifier;
    tried << lang;
    for (const QString &name : std::as_const(tried)) {
        const auto found = keys.constFind(key + u'[' + name + u']');
        if (!name.isEmpty() && found != keys.cend())
            return *found;
    }
    return keys.value(key);
}

} // namespace DesktopEntry
