#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// The settings file: "key=value" lines under "[Section]" headers. A value is the exact text
// between the first '=' and the end of its line: never split, unescaped or converted, so that
// a hand-edited file reads back as it looks.
namespace IniFile {

// Where an entry's key and value stand in the contents' text.
struct Entry
{
    quint32 key = 0;
    quint32 keySize = 0;
    quint32 value = 0;
    quint32 valueSize = 0;
};

// The positions of a section's entries by key: open addressing over a table of position + 1
// (0 is free) kept at most half full: 8 to 16 bytes a key, where a hash node cost far more.
class KeyIndex
{
public:
    qsizetype size() const { return m_size; }
    void clear() { *this = {}; }
    // Keys are looked up in `text` through `entries`, whose first size() are indexed.
    qsizetype find(QStringView key, QStringView text, const QList<Entry> &entries) const;
    // Indexes the next entry, entries.at(size()).
    void add(QStringView text, const QList<Entry> &entries);
    // Room for `room` keys without growing.
    void reserve(qsizetype room, QStringView text, const QList<Entry> &entries);

private:
    QList<quint32> m_slots;
    qsizetype m_size = 0;
};

struct Section
{
    QString name; // empty for keys before the first header
    QList<Entry> entries; // in file order, each key once: the last of repeated lines wins
    KeyIndex index;
    // Lines that held a NUL byte, as they were, by their entry's key's place in the text:
    // written back so until the value is changed. The text shows the damage as U+FFFD.
    QHash<quint32, QByteArray> damagedLines;
    // Lines of no key (comments, lines without "="), as they were, each after the number of
    // entries that stood before it: nothing can change them, so every save writes them back.
    QList<std::pair<qsizetype, QByteArray>> keptLines;
};

struct Contents
{
    // The text of every key and value, each value followed by a NUL. Values are handed out as
    // slices that share it, so a long list costs the program little more than its file.
    QString text;
    QList<Section> sections;
    // Lines that could not be read as they were: binary junk, lines without a key, NUL bytes,
    // or text that is not UTF-8 (which is read as Latin-1, so that no entry is lost).
    bool damaged = false;

    const Section *section(const QString &name) const;
    Section &sectionForWriting(const QString &name);

    QStringView key(const Entry &entry) const;
    QStringView value(const Entry &entry) const;
    // The value as a string of its own that shares the text's block instead of copying it.
    QString sharedValue(const Entry &entry) const;

    // The entry of key, or -1. Keys are mostly asked for in file order ("app 1", "app 2", ...):
    // `hint` is where the last one found was, and the next place is tried before the index.
    qsizetype find(const Section &section, QStringView key, qsizetype &hint) const;
};

// A key's new value; without one the key is removed.
struct Change
{
    QStringView key;
    std::optional<QStringView> value;
};

Contents parse(QByteArrayView bytes);
QByteArray serialize(const Contents &contents);
// Applies the changes in order to one section: a key that is there keeps its place, a new one
// goes last. Returns whether anything changed.
bool apply(Contents &contents, const QString &section, const std::vector<Change> &changes);

} // namespace IniFile
