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
    // Reads lines of the text, kept as the contents' own; `lines` is about how many there are.
    explicit Reader(qsizetype lines)
        : m_lines(lines)
    { }

    QString &text() { return m_contents.text; }

    Contents take()
    {
        // Room was made for every line that was left when a section began: give back what a
        // later section took.
        for (Section &section : m_contents.sections) {
            if (section.entries.capacity() > 2 * section.entries.size() + 16) {
                section.entries.squeeze();
                section.index.reserve(0, m_contents.text, section.entries);
            }
        }
        // A bare "[]" names the keys outside any section, which a written file shows without a
        // header: with no key of its own it is nothing to keep.
        m_contents.sections.removeIf([](const Section &section) {
            return section.name.isEmpty() && section.entries.isEmpty()
                && section.keptLines.isEmpty();
        });
        return std::move(m_contents);
    }

    // The line of the text from `start`, which ends at a NUL or at the text's end; `bytes` are
    // the file's where the text differs from them (damage, Latin-1).
    void line(qsizetype start, qsizetype size, const QByteArray &damagedLine = {},
              QByteArrayView bytes = {})
    {
        ++m_linesRead;
        const QStringView text = QStringView(m_contents.text).sliced(start, size);
        const QStringView trimmed = stripped(text);
        if (trimmed.isEmpty())
            return;
        // Blanks other than ASCII ones may stand before a comment sign too.
        if (trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
            keep(text, bytes);
            return;
        }
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section(stripped(trimmed.sliced(1, trimmed.size() - 2)).toString());
            return;
        }
        const qsizetype eq = text.indexOf(u'=');
        const QStringView key = eq > 0 ? stripped(text.left(eq)) : QStringView();
        // Places are kept in 32 bits: a text past that is far beyond any settings file.
        if (key.isEmpty() || start + size > qsizetype(UINT32_MAX)) {
            m_contents.damaged = true;
            keep(text, bytes);
            return;
        }
        if (!m_section)
            section(QString());
        const Entry entry {quint32(key.data() - m_contents.text.constData()), quint32(key.size()),
                           quint32(start + eq + 1), quint32(size - eq - 1)};
        Section &section = *m_section;
        qsizetype position = section.index.find(key, m_contents.text, section.entries);
        if (position >= 0) {
            section.damagedLines.remove(section.entries.at(position).key);
            section.entries[position] = entry;
        } else {
            section.entries.append(entry);
            section.index.add(m_contents.text, section.entries);
        }
        if (!damagedLine.isEmpty())
            section.damagedLines.insert(entry.key, damagedLine);
    }

    void damaged() { m_contents.damaged = true; }

private:
    void keep(QStringView text, QByteArrayView bytes)
    {
        if (!m_section)
            section(QString());
        m_section->keptLines.append(
            {m_section->entries.size(), bytes.isEmpty() ? text.toUtf8() : bytes.toByteArray()});
    }

    // Reserved for the lines still to come, so that neither list nor index grows by copying.
    void section(const QString &name)
    {
        m_section = &m_contents.sectionForWriting(name);
        const qsizetype left = m_lines - m_linesRead;
        if (m_section->entries.isEmpty() && left > m_section->entries.capacity()) {
            m_section->entries.reserve(left);
            m_section->index.reserve(left, m_contents.text, m_section->entries);
        }
    }

    Contents m_contents;
    Section *m_section = nullptr;
    qsizetype m_lines = 0;
    qsizetype m_linesRead = 0;
};

} // namespace

Contents parse(QByteArrayView bytes)
{
    const qsizetype lines = std::count_if(bytes.begin(), bytes.end(), isLineEnd) + 1;
    // A byte order mark stays, in the first line: one kept as it was must keep it.
    QStringDecoder decodeAll(QStringDecoder::Utf8,
                             QStringDecoder::Flag::Stateless
                                 | QStringDecoder::Flag::ConvertInitialBom);
    QString whole = decodeAll(bytes);
    if (!decodeAll.hasError() && !whole.contains(QChar::Null)) {
        // Each line's end becomes the NUL that ends its value.
        std::replace_if(
            whole.begin(), whole.end(), [](QChar c) { return c == u'\n' || c == u'\r'; },
            QChar::Null);
        Reader reader(lines);
        reader.text() = std::move(whole);
        const QStringView text(reader.text());
        for (qsizetype start = 0; start < text.size();) {
            const qsizetype end = text.indexOf(QChar::Null, start);
            const qsizetype size = (end < 0 ? text.size() : end) - start;
            reader.line(start, size);
            start += size + 1;
        }
        return reader.take();
    }
    whole.clear();
    Reader reader(lines);
    QString &text = reader.text();
    text.reserve(bytes.size() + lines);
    // Some lines are damaged: read the others one by one.
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end
            = std::find_if(bytes.begin() + start, bytes.end(), isLineEnd) - bytes.begin();
        const QByteArrayView line = bytes.sliced(start, end - start);
        start = end + 1;
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString decoded = decode(line);
        const qsizetype at = text.size();
        if (line.contains('\0')) {
            // The line costs only itself: its key still counts, so a list goes on past it.
            reader.damaged();
            decoded.replace(QChar::Null, QChar::ReplacementCharacter);
            if (stripped(decoded).startsWith(u'['))
                continue;
            text += decoded;
            text += QChar::Null;
            reader.line(at, decoded.size(), line.toByteArray(), line);
            continue;
        }
        if (decode.hasError()) {
            // Most likely a path another tool saved in Latin-1: every byte is still a letter.
            reader.damaged();
            decoded = QString::fromLatin1(line);
        }
        text += decoded;
        text += QChar::Null;
        reader.line(at, decoded.size(), {}, line);
    }
    return reader.take();
}

} // namespace IniFile
