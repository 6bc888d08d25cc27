#include "platform/linux/inifile_linux.h"

#include <QStringDecoder>

#include <algorithm>

namespace IniFile {
namespace {

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

// A carriage return anywhere ends a line as well: a value holding one could never be written
// back, and every later save would fail on it.
bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

class Reader
{
public:
    // Reads lines of `text`, kept as the contents' own; `lines` is about how many there are.
    explicit Reader(QString text = {}, qsizetype lines = 0)
        : m_lines(lines)
    {
        m_contents.text = std::move(text);
    }

    const QString &text() const { return m_contents.text; }

    Contents take()
    {
        // Room was made for every line that was left when a section began: give back what a
        // later section took.
        for (Section &section : m_contents.sections) {
            if (section.entries.capacity() > 2 * section.entries.size() + 16) {
                section.entries.squeeze();
                section.index.squeeze();
            }
        }
        // A bare "[]" names the keys outside any section, which a written file shows without a
        // header: with no key of its own it is nothing to keep.
        m_contents.sections.removeIf([](const Section &section) {
            return section.name.isEmpty() && section.entries.isEmpty();
        });
        return std::move(m_contents);
    }

    void line(QStringView text, const QByteArray &damagedLine = {})
    {
        const QStringView trimmed = stripped(text);
        // Blanks other than ASCII ones may stand before a comment sign too.
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            return;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section(stripped(trimmed.sliced(1, trimmed.size() - 2)).toString());
            return;
        }
        const qsizetype eq = text.indexOf(u'=');
        const QStringView key = eq > 0 ? stripped(text.left(eq)) : QStringView();
        if (key.isEmpty()) {
            m_contents.damaged = true;
            return;
        }
        if (!m_section)
            section(QString());
        const QString name = kept(key);
        QString value = kept(text.sliced(eq + 1));
        if (const auto found = m_section->index.constFind(name); found != m_section->index.cend()) {
            m_section->entries[*found] = {name, std::move(value), damagedLine};
            return;
        }
        m_section->index.insert(name, m_section->entries.size());
        m_section->entries.append({name, std::move(value), damagedLine});
    }

    void damaged() { m_contents.damaged = true; }
    void lineRead() { ++m_linesRead; }

private:
    // Reserved for the lines still to come, so that neither list nor index grows by copying.
    void section(const QString &name)
    {
        m_section = &m_contents.sectionForWriting(name);
        const qsizetype left = m_lines - m_linesRead;
        if (m_section->entries.isEmpty() && left > m_section->entries.capacity()) {
            m_section->entries.reserve(left);
            m_section->index.reserve(left);
        }
    }

    // A part of the kept text is pointed to, not copied.
    QString kept(QStringView part) const
    {
        const QChar *begin = m_contents.text.constData();
        if (part.data() >= begin && part.data() + part.size() <= begin + m_contents.text.size())
            return QString::fromRawData(part.data(), part.size());
        return part.toString();
    }

    Contents m_contents;
    Section *m_section = nullptr;
    qsizetype m_lines = 0;
    qsizetype m_linesRead = 0;
};

} // namespace

qsizetype Section::find(const QString &key, qsizetype &hint) const
{
    if (++hint >= 0 && hint < entries.size()) {
        // Keys are short: comparing them in place beats Qt's general string comparison.
        const QString &there = entries.at(hint).key;
        if (there.size() == key.size() && std::equal(there.cbegin(), there.cend(), key.cbegin()))
            return hint;
    }
    const auto found = index.constFind(key);
    if (found == index.cend())
        return -1;
    return hint = *found;
}

const Section *Contents::section(const QString &name) const
{
    const auto found = std::find_if(sections.cbegin(), sections.cend(),
                                    [&](const Section &s) { return s.name == name; });
    return found == sections.cend() ? nullptr : &*found;
}

Section &Contents::sectionForWriting(const QString &name)
{
    auto found = std::find_if(sections.begin(), sections.end(),
                              [&](const Section &s) { return s.name == name; });
    if (found != sections.end())
        return *found;
    // Keys outside any section must stand first, before the first header.
    if (name.isEmpty())
        return *sections.insert(sections.begin(), Section {});
    sections.append(Section {name, {}, {}});
    return sections.last();
}

Contents parse(QByteArrayView bytes)
{
    QStringDecoder decodeAll(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString whole = decodeAll(bytes);
    if (!decodeAll.hasError() && !whole.contains(QChar::Null)) {
        const qsizetype lines = std::count_if(bytes.begin(), bytes.end(), isLineEnd) + 1;
        Reader reader(std::move(whole), lines);
        const QStringView text(reader.text());
        for (qsizetype start = 0; start < text.size();) {
            const auto end = std::find_if(text.begin() + start, text.end(),
                                          [](QChar c) { return c == u'\n' || c == u'\r'; });
            reader.line(text.sliced(start, end - (text.begin() + start)));
            reader.lineRead();
            start = end - text.begin() + 1;
        }
        return reader.take();
    }
    whole.clear();
    Reader reader;
    // Some lines are damaged: read the others one by one.
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end
            = std::find_if(bytes.begin() + start, bytes.end(), isLineEnd) - bytes.begin();
        const QByteArrayView line = bytes.sliced(start, end - start);
        start = end + 1;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decode(line);
        if (line.contains('\0')) {
            // The line costs only itself: its key still counts, so a list goes on past it.
            reader.damaged();
            text.replace(QChar::Null, QChar::ReplacementCharacter);
            if (!stripped(text).startsWith(u'['))
                reader.line(text, line.toByteArray());
            continue;
        }
        if (decode.hasError()) {
            // Most likely a path another tool saved in Latin-1: every byte is still a letter.
            reader.damaged();
            reader.line(QString::fromLatin1(line));
            continue;
        }
        reader.line(text);
    }
    return reader.take();
}

QByteArray serialize(const Contents &contents)
{
    // Encoded straight into one buffer of the largest size it can take: far cheaper than
    // encoding line by line or through a copy of the whole text.
    qsizetype units = 0;
    qsizetype damaged = 0;
    for (const Section &section : contents.sections) {
        units += section.name.size() + 4;
        for (const Entry &entry : section.entries) {
            units += entry.key.size() + entry.value.size() + 2;
            damaged += entry.damagedLine.size();
        }
    }
    QStringEncoder encode(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray out(encode.requiredSpace(units) + damaged, Qt::Uninitialized);
    char *at = out.data();
    auto put = [&](QStringView text) { at = encode.appendToBuffer(at, text); };
    for (const Section &section : contents.sections) {
        if (!section.name.isEmpty()) {
            if (at != out.data())
                put(u"\n");
            put(u"[");
            put(section.name);
            put(u"]\n");
        }
        for (const Entry &entry : section.entries) {
            if (entry.damagedLine.isEmpty()) {
                put(entry.key);
                put(u"=");
                put(entry.value);
            } else {
                at = std::copy(entry.damagedLine.cbegin(), entry.damagedLine.cend(), at);
            }
            put(u"\n");
        }
    }
    out.truncate(at - out.data());
    return out;
}

bool isStorable(QStringView value)
{
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar::Null);
}

} // namespace IniFile
