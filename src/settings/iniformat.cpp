#include "settings/iniformat.h"

#include <QFile>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace IniFormat {
namespace {

QMutex s_mutex;
QSet<QString> s_damaged;

void noteDamage(QIODevice &device, bool damaged)
{
    const auto *file = qobject_cast<QFile *>(&device);
    if (!file)
        return;
    const QMutexLocker lock(&s_mutex);
    if (damaged)
        s_damaged.insert(file->fileName());
    else
        s_damaged.remove(file->fileName());
}

bool isBlank(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
}

// Blanks around a name, and byte order marks, which some editors put at the start of a file.
QStringView stripped(QStringView text)
{
    auto ignorable = [](QChar c) { return c.isSpace() || c == QChar::ByteOrderMark; };
    while (!text.isEmpty() && ignorable(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && ignorable(text.back()))
        text.chop(1);
    return text;
}

// Orders "app 2" before "app 10", so that the file reads the way a person expects.
bool naturalLess(const QString &a, const QString &b)
{
    auto split = [](const QString &key) {
        qsizetype digits = key.size();
        while (digits > 0 && key.at(digits - 1).isDigit())
            --digits;
        return std::pair {QStringView(key).left(digits), QStringView(key).mid(digits)};
    };
    const auto [headA, numA] = split(a);
    const auto [headB, numB] = split(b);
    if (headA != headB || numA.isEmpty() || numB.isEmpty())
        return a < b;
    if (numA.size() != numB.size())
        return numA.size() < numB.size();
    return numA < numB;
}

} // namespace

QSettings::Format format()
{
    static const QSettings::Format registered
        = QSettings::registerFormat(QStringLiteral("ini"), read, write, Qt::CaseSensitive);
    return registered;
}

bool read(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray data = device.readAll();
    bool damaged = false;
    QString section;
    for (qsizetype start = 0; start < data.size();) {
        // A carriage return anywhere ends a line as well: a value holding one could never be
        // written back, and every later save would fail on it.
        const auto end = std::find_if(data.cbegin() + start, data.cend(),
                                      [](char c) { return c == '\n' || c == '\r'; })
            - data.cbegin();
        const QByteArrayView line = QByteArrayView(data).sliced(start, end - start);
        start = end + 1;
        if (isBlank(line) || line.trimmed().startsWith(';') || line.trimmed().startsWith('#'))
            continue;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decode(line);
        if (decode.hasError() || text.contains(QChar::Null)) {
            damaged = true;
            continue;
        }
        const QStringView trimmed = stripped(text);
        // Blanks other than ASCII ones may stand before a comment sign too.
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = stripped(trimmed.sliced(1, trimmed.size() - 2)).toString();
            continue;
        }
        const qsizetype eq = text.indexOf(u'=');
        const QString key = eq > 0 ? stripped(QStringView(text).left(eq)).toString() : QString();
        if (key.isEmpty() || key.contains(u'/') || section.contains(u'/')) {
            damaged = true;
            continue;
        }
        map.insert(section.isEmpty() ? key : section + u'/' + key, text.mid(eq + 1));
    }
    noteDamage(device, damaged);
    // Whatever could be read is kept; the caller finds out about the rest through isDamaged().
    return true;
}

bool write(QIODevice &device, const QSettings::SettingsMap &map)
{
    QMap<QString, QList<std::pair<QString, QString>>> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString value = it.value().toString();
        if (!isStorable(value))
            return false;
        const qsizetype slash = it.key().lastIndexOf(u'/');
        sections[it.key().left(std::max<qsizetype>(slash, 0))].append(
            {it.key().mid(slash + 1), value});
    }
    QByteArray out;
    for (auto it = sections.begin(); it != sections.end(); ++it) {
        auto &entries = it.value();
        std::sort(entries.begin(), entries.end(),
                  [](const auto &a, const auto &b) { return naturalLess(a.first, b.first); });
        if (!it.key().isEmpty()) {
            if (!out.isEmpty())
                out += '\n';
            out += '[' + it.key().toUtf8() + "]\n";
        }
        for (const auto &[key, value] : entries)
            out += key.toUtf8() + '=' + value.toUtf8() + '\n';
    }
    return device.write(out) == out.size();
}

bool takeDamaged(const QString &path)
{
    const QMutexLocker lock(&s_mutex);
    return s_damaged.remove(path);
}

bool isStorable(const QString &value)
{
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar::Null);
}

} // namespace IniFormat
