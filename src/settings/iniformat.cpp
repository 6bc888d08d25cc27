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

// A key split once into its text and its trailing number, so that "app 2" sorts before
// "app 10" and the file reads the way a person expects.
struct SortKey
{
    QStringView head;
    QStringView number; // digits without leading zeros; empty when the key ends in none
    qsizetype zeros = 0;
    quint64 value = 0; // the number itself, where it fits
    int headRank = 0; // the head's place among the section's heads, for cheap comparing

    explicit SortKey(QStringView key)
    {
        qsizetype digits = key.size();
        while (digits > 0 && key.at(digits - 1).isDigit())
            --digits;
        head = key.left(digits);
        number = key.mid(digits);
        while (number.size() > 1 && number.front() == u'0') {
            number = number.sliced(1);
            ++zeros;
        }
        if (number.size() <= 18) {
            for (QChar digit : number)
                value = value * 10 + quint64(digit.digitValue());
        }
    }

    friend bool operator<(const SortKey &a, const SortKey &b)
    {
        if (a.headRank != b.headRank)
            return a.headRank < b.headRank;
        if (a.number.size() != b.number.size())
            return a.number.size() < b.number.size();
        if (a.value != b.value)
            return a.value < b.value;
        if (const int order = a.number.compare(b.number); order != 0)
            return order < 0;
        return a.zeros < b.zeros;
    }
};

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
    // One line of text, already decoded.
    auto take = [&](QStringView text) {
        const QStringView trimmed = stripped(text);
        // Blanks other than ASCII ones may stand before a comment sign too.
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            return;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = stripped(trimmed.sliced(1, trimmed.size() - 2)).toString();
            return;
        }
        const qsizetype eq = text.indexOf(u'=');
        const QStringView key = eq > 0 ? stripped(text.left(eq)) : QStringView();
        if (key.isEmpty() || key.contains(u'/') || section.contains(u'/')) {
            damaged = true;
            return;
        }
        map.insert(section.isEmpty() ? key.toString() : section + u'/' + key.toString(),
                   text.mid(eq + 1).toString());
    };
    // A carriage return anywhere ends a line as well: a value holding one could never be
    // written back, and every later save would fail on it.
    auto isLineEnd = [](auto c) { return c == u'\n' || c == u'\r'; };

    QStringDecoder decodeAll(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString whole = decodeAll(data);
    if (!decodeAll.hasError() && !whole.contains(QChar::Null)) {
        const QStringView text(whole);
        for (qsizetype start = 0; start < text.size();) {
            const qsizetype end
                = std::find_if(text.begin() + start, text.end(), isLineEnd) - text.begin();
            take(text.sliced(start, end - start));
            start = end + 1;
        }
    } else {
        // Some lines are damaged: read the others one by one.
        for (qsizetype start = 0; start < data.size();) {
            const qsizetype end
                = std::find_if(data.cbegin() + start, data.cend(), isLineEnd) - data.cbegin();
            const QByteArrayView line = QByteArrayView(data).sliced(start, end - start);
            start = end + 1;
            QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString text = decode(line);
            if (decode.hasError() || text.contains(QChar::Null)) {
                damaged = true;
                continue;
            }
            take(text);
        }
    }
    noteDamage(device, damaged);
    // Whatever could be read is kept; the caller finds out about the rest through takeDamaged().
    return true;
}

bool write(QIODevice &device, const QSettings::SettingsMap &map)
{
    struct Entry
    {
        SortKey order;
        QStringView key;
        QString value;
    };
    QList<std::pair<QStringView, QList<Entry>>> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        QString value = it.value().toString();
        if (!isStorable(value))
            return false;
        const QStringView fullKey = it.key();
        const qsizetype slash = fullKey.lastIndexOf(u'/');
        const QStringView section = fullKey.left(std::max<qsizetype>(slash, 0));
        const QStringView key = fullKey.mid(slash + 1);
        auto found = std::find_if(sections.begin(), sections.end(),
                                  [section](const auto &known) { return known.first == section; });
        if (found == sections.end())
            found = sections.insert(sections.end(), {section, {}});
        found->second.append({SortKey(key), key, std::move(value)});
    }
    // Keys outside any section must stand first, before the first header.
    std::sort(sections.begin(), sections.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    QByteArray out;
    for (auto &[section, entries] : sections) {
        QList<QStringView> heads;
        for (const Entry &entry : entries) {
            if (!heads.contains(entry.order.head))
                heads.append(entry.order.head);
        }
        std::sort(heads.begin(), heads.end());
        for (Entry &entry : entries) {
            entry.order.headRank = int(
                std::lower_bound(heads.begin(), heads.end(), entry.order.head) - heads.begin());
        }
        std::sort(entries.begin(), entries.end(),
                  [](const Entry &a, const Entry &b) { return a.order < b.order; });
        if (!section.isEmpty()) {
            if (!out.isEmpty())
                out += '\n';
            out += '[' + section.toUtf8() + "]\n";
        }
        for (const Entry &entry : entries)
            out += entry.key.toUtf8() + '=' + entry.value.toUtf8() + '\n';
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
