#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

// The settings file: "key=value" lines under "[Section]" headers. A value is the exact text
// between the first '=' and the end of its line: never split, unescaped or converted, so that
// a hand-edited file reads back as it looks.
namespace IniFile {

struct Entry
{
    QString key;
    QString value;
    // A line that held a NUL byte, as it was: written back so until its value is changed.
    // `value` shows the damage as U+FFFD.
    QByteArray damagedLine;
};

struct Section
{
    QString name; // empty for keys before the first header
    QList<Entry> entries; // in file order, each key once: the last of repeated lines wins
    QHash<QString, qsizetype> index; // key -> position in entries

    // The entry of key, or -1. Keys are mostly asked for in file order ("app 1", "app 2", ...):
    // `hint` is where the last one found was, and the next place is tried before the index.
    qsizetype find(const QString &key, qsizetype &hint) const;
};

struct Contents
{
    // The file's text as read. Keys and values not changed since point into it rather than
    // each holding a copy: a long list then costs little more than its file.
    QString text;
    QList<Section> sections;
    // Lines that could not be read as they were: binary junk, lines without a key, NUL bytes,
    // or text that is not UTF-8 (which is read as Latin-1, so that no entry is lost).
    bool damaged = false;

    const Section *section(const QString &name) const;
    Section &sectionForWriting(const QString &name);
};

Contents parse(QByteArrayView bytes);
QByteArray serialize(const Contents &contents);

// Whether a value can be kept as one line.
bool isStorable(QStringView value);

} // namespace IniFile
