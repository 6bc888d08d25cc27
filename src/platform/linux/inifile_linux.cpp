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

QStringView keyOf(QStringView text, const Entry &entry)
{
    return text.sliced(entry.key, entry.keySize);
}

QStringView valueOf(QStringView text, const Entry &entry)
{
    return text.sliced(entry.value, entry.valueSize);
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

void KeyIndex::reserve(qsizetype room, QStringView text, const QList<Entry> &entries)
{
    qsizetype slots = 8;
    while (slots < 2 * std::max(room, m_size))
        slots *= 2;
    if (slots == m_slots.size())
        return;
    const qsizetype indexed = std::exchange(m_size, 0);
    m_slots = QList<quint32>(slots, 0);
    while (m_size < indexed)
        add(text, entries);
}

qsizetype KeyIndex::find(QStringView key, QStringView text, const QList<Entry> &entries) const
{
    if (m_slots.isEmpty())
        return -1;
    const std::size_t mask = std::size_t(m_slots.size()) - 1;
    for (std::size_t slot = qHash(key) & mask;; slot = (slot + 1) & mask) {
        const quint32 taken = m_slots.at(qsizetype(slot));
        if (taken == 0)
            return -1;
        if (keyOf(text, entries.at(taken - 1)) == key)
            return taken - 1;
    }
}

void KeyIndex::add(QStringView text, const QList<Entry> &entries)
{
    if (2 * (m_size + 1) > m_slots.size())
        reserve(2 * (m_size + 1), text, entries);
    const std::size_t mask = std::size_t(m_slots.size()) - 1;
    std::size_t slot = qHash(keyOf(text, entries.at(m_size))) & mask;
    while (m_slots.at(qsizetype(slot)) != 0)
        slot = (slot + 1) & mask;
    m_slots[qsizetype(slot)] = quint32(++m_size);
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
    sections.append(Section {name, {}, {}, {}, {}});
    return sections.last();
}

QStringView Contents::key(const Entry &entry) const
{
    return keyOf(text, entry);
}

QStringView Contents::value(const Entry &entry) const
{
    return valueOf(text, entry);
}

QString Contents::sharedValue(const Entry &entry) const
{
    // A copy of the text's handle holds a reference to its block; narrowed to the value it
    // keeps the block alive as long as it lives. The NUL after every value in the text makes
    // it a terminated string like any other.
    QString::DataPointer slice = text.data_ptr();
    if (!slice.d_ptr())
        return value(entry).toString();
    slice.setBegin(slice.data() + entry.value);
    slice.size = entry.valueSize;
    return QString(std::move(slice));
}

qsizetype Contents::find(const Section &section, QStringView key, qsizetype &hint) const
{
    if (++hint >= 0 && hint < section.entries.size()) {
        // Keys are short: comparing them in place beats Qt's general string comparison.
        const QStringView there = this->key(section.entries.at(hint));
        if (there.size() == key.size() && std::equal(there.cbegin(), there.cend(), key.cbegin()))
            return hint;
    }
    const qsizetype found = section.index.find(key, text, section.entries);
    if (found >= 0)
        hint = found;
    return found;
}

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

bool apply(Contents &contents, const QString &name, const std::vector<Change> &changes)
{
    Section &section = contents.sectionForWriting(name);
    const qsizetype existing = section.entries.size();
    // What the changes come to, put into a new text at the end: values handed out may still
    // share the old one.
    struct Edit
    {
        QStringView key; // of a new entry
        std::optional<QStringView> value; // a new value
        bool removed = false;
    };
    std::vector<Edit> edits(static_cast<std::size_t>(existing));
    QHash<QStringView, qsizetype> added;
    bool changed = false;
    bool removed = false;
    qsizetype hint = -1;
    for (const Change &change : changes) {
        qsizetype found = contents.find(section, change.key, hint);
        if (found < 0)
            found = added.value(change.key, -1);
        if (found >= 0) {
            Edit &edit = edits[std::size_t(found)];
            if (change.value) {
                // A damaged line stays as it was until the user changes what it reads as.
                if (found < existing && !edit.removed && !edit.value
                    && section.damagedLines.contains(section.entries.at(found).key)
                    && *change.value == contents.value(section.entries.at(found)))
                    continue;
                edit.removed = false;
                edit.value = *change.value;
                changed = true;
            } else if (!edit.removed) {
                edit.removed = true;
                changed = removed = true;
            }
        } else if (change.value) {
            added.insert(change.key, qsizetype(edits.size()));
            edits.push_back({change.key, *change.value});
            changed = true;
        }
    }
    if (!changed)
        return false;

    qsizetype units = 0;
    for (const Section &each : contents.sections) {
        for (const Entry &entry : each.entries)
            units += entry.keySize + entry.valueSize + 1;
    }
    for (const Edit &edit : edits)
        units += edit.key.size() + (edit.value ? edit.value->size() : 0) + 1;
    QString text;
    text.reserve(units);
    auto put = [&](QStringView key, QStringView value) {
        const Entry entry {quint32(text.size()), quint32(key.size()),
                           quint32(text.size() + key.size()), quint32(value.size())};
        text.append(key);
        text.append(value);
        text.append(QChar::Null);
        return entry;
    };
    for (Section &each : contents.sections) {
        const bool edited = &each == &section;
        QList<Entry> entries;
        entries.reserve(edited ? qsizetype(edits.size()) : each.entries.size());
        QHash<quint32, QByteArray> damagedLines;
        QList<std::pair<qsizetype, QByteArray>> keptLines;
        auto kept = each.keptLines.cbegin();
        for (qsizetype i = 0; i < (edited ? qsizetype(edits.size()) : each.entries.size()); ++i) {
            // Kept lines stay after the entries that stood before them; new entries go after.
            for (; kept != each.keptLines.cend() && kept->first <= i; ++kept)
                keptLines.append({entries.size(), kept->second});
            const Edit *edit = edited ? &edits[std::size_t(i)] : nullptr;
            if (edit && edit->removed)
                continue;
            if (i >= each.entries.size()) {
                entries.append(put(edit->key, *edit->value));
                continue;
            }
            const Entry &old = each.entries.at(i);
            const bool newValue = edit && edit->value;
            entries.append(put(contents.key(old), newValue ? *edit->value : contents.value(old)));
            if (!newValue && !each.damagedLines.isEmpty()) {
                if (const auto line = each.damagedLines.constFind(old.key);
                    line != each.damagedLines.cend())
                    damagedLines.insert(entries.last().key, *line);
            }
        }
        for (; kept != each.keptLines.cend(); ++kept)
            keptLines.append({entries.size(), kept->second});
        each.entries = std::move(entries);
        each.damagedLines = std::move(damagedLines);
        each.keptLines = std::move(keptLines);
    }
    contents.text = std::move(text);
    // Positions move only where entries went; new ones come last.
    if (removed)
        section.index.clear();
    while (section.index.size() < section.entries.size())
        section.index.add(contents.text, section.entries);
    return true;
}

QByteArray serialize(const Contents &contents)
{
    // Encoded straight into one buffer of the largest size it can take: far cheaper than
    // encoding line by line or through a copy of the whole text.
    qsizetype units = 0;
    qsizetype damaged = 0;
    for (const Section &section : contents.sections) {
        units += section.name.size() + 4;
        for (const Entry &entry : section.entries)
            units += entry.keySize + entry.valueSize + 2;
        for (const QByteArray &line : section.damagedLines)
            damaged += line.size();
        for (const auto &line : section.keptLines)
            damaged += line.second.size() + 1;
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
        auto kept = section.keptLines.cbegin();
        auto putKept = [&](qsizetype before) {
            for (; kept != section.keptLines.cend() && kept->first <= before; ++kept) {
                at = std::copy(kept->second.cbegin(), kept->second.cend(), at);
                put(u"\n");
            }
        };
        for (const Entry &entry : section.entries) {
            putKept(&entry - section.entries.constData());
            const auto line = section.damagedLines.isEmpty()
                ? section.damagedLines.cend()
                : section.damagedLines.constFind(entry.key);
            if (line == section.damagedLines.cend()) {
                put(contents.key(entry));
                put(u"=");
                put(contents.value(entry));
            } else {
                at = std::copy(line->cbegin(), line->cend(), at);
            }
            put(u"\n");
        }
        putKept(section.entries.size());
    }
    out.truncate(at - out.data());
    return out;
}

bool isStorable(QStringView value)
{
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar::Null);
}

} // namespace IniFile
