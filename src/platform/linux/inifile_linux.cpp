#include "platform/linux/inifile_linux.h"

#include <QStringEncoder>

#include <algorithm>

namespace IniFile {
namespace {

QStringView keyOf(QStringView text, const Entry &entry)
{
    return text.sliced(entry.key, entry.keySize);
}

QStringView valueOf(QStringView text, const Entry &entry)
{
    return text.sliced(entry.value, entry.valueSize);
}

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

namespace {

// What a set of changes comes to for one entry of a section; past its entries, a new entry.
struct Edit
{
    QStringView key; // of a new entry
    std::optional<QStringView> value; // a new value
    bool removed = false;
};

struct Edits
{
    std::vector<Edit> entries; // one for each entry of the section, then the new ones
    bool changed = false;
    bool removed = false;
};

// The changes in order as edits of the section's entries: the last change of a key counts.
Edits editsOf(const Contents &contents, const Section &section, const std::vector<Change> &changes)
{
    const qsizetype existing = section.entries.size();
    Edits result;
    std::vector<Edit> &edits = result.entries;
    edits.resize(static_cast<std::size_t>(existing));
    QHash<QStringView, qsizetype> added;
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
                result.changed = true;
            } else if (!edit.removed) {
                edit.removed = true;
                result.changed = result.removed = true;
            }
        } else if (change.value) {
            added.insert(change.key, qsizetype(edits.size()));
            edits.push_back({change.key, *change.value});
            result.changed = true;
        }
    }
    return result;
}

// A new text for the contents, entry by entry, each value followed by a NUL.
class TextBuilder
{
public:
    // Room for every entry there is and every edit.
    TextBuilder(const Contents &contents, const std::vector<Edit> &edits)
    {
        qsizetype units = 0;
        for (const Section &each : contents.sections) {
            for (const Entry &entry : each.entries)
                units += entry.keySize + entry.valueSize + 1;
        }
        for (const Edit &edit : edits)
            units += edit.key.size() + (edit.value ? edit.value->size() : 0) + 1;
        m_text.reserve(units);
    }

    Entry put(QStringView key, QStringView value)
    {
        const Entry entry {quint32(m_text.size()), quint32(key.size()),
                           quint32(m_text.size() + key.size()), quint32(value.size())};
        m_text.append(key);
        m_text.append(value);
        m_text.append(QChar::Null);
        return entry;
    }

    QString take() { return std::move(m_text); }

private:
    QString m_text;
};

// One section's entries moved into the new text, with `edits` applied where it is the section
// changed. `oldText` is the text its entries stand in now.
void rewrite(Section &each, QStringView oldText, const std::vector<Edit> *edits, TextBuilder &text)
{
    const qsizetype count = edits ? qsizetype(edits->size()) : each.entries.size();
    QList<Entry> entries;
    entries.reserve(count);
    QHash<quint32, QByteArray> damagedLines;
    QList<std::pair<qsizetype, QByteArray>> keptLines;
    auto kept = each.keptLines.cbegin();
    for (qsizetype i = 0; i < count; ++i) {
        // Kept lines stay after the entries that stood before them; new entries go after.
        for (; kept != each.keptLines.cend() && kept->first <= i; ++kept)
            keptLines.append({entries.size(), kept->second});
        const Edit *edit = edits ? &(*edits)[std::size_t(i)] : nullptr;
        if (edit && edit->removed)
            continue;
        if (i >= each.entries.size()) {
            entries.append(text.put(edit->key, *edit->value));
            continue;
        }
        const Entry &old = each.entries.at(i);
        const bool newValue = edit && edit->value;
        entries.append(
            text.put(keyOf(oldText, old), newValue ? *edit->value : valueOf(oldText, old)));
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

} // namespace

bool apply(Contents &contents, const QString &name, const std::vector<Change> &changes)
{
    Section &section = contents.sectionForWriting(name);
    const Edits edits = editsOf(contents, section, changes);
    if (!edits.changed)
        return false;
    // What the changes come to, put into a new text: values handed out may still share the
    // old one.
    TextBuilder text(contents, edits.entries);
    for (Section &each : contents.sections)
        rewrite(each, contents.text, &each == &section ? &edits.entries : nullptr, text);
    contents.text = text.take();
    // Positions move only where entries went; new ones come last.
    if (edits.removed)
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

} // namespace IniFile
