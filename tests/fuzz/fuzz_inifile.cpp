// The store's file reader: any bytes read without harm, everything read can be written back
// and reads back the same, and what the program stores reads back exactly.
#include "fuzzcheck.h"
#include "platform/linux/inifile_linux.h"
#include "settings/settingsstore.h"

namespace {

// Sections and their entries as plain lists, for comparing.
QList<QStringList> flat(const IniFile::Contents &contents)
{
    QList<QStringList> result;
    for (const IniFile::Section &section : contents.sections) {
        QStringList lines {section.name};
        for (const IniFile::Entry &entry : section.entries)
            lines << contents.key(entry).toString() + u'=' + contents.value(entry).toString();
        for (const auto &[before, line] : section.keptLines)
            lines << QString::number(before) + u' ' + QString::fromLatin1(line);
        result.append(lines);
    }
    return result;
}

void checkRoundTrip(const IniFile::Contents &contents)
{
    bool kept = false; // damaged lines, and lines of no key, are written back as they were
    for (const IniFile::Section &section : contents.sections)
        kept = kept || !section.damagedLines.isEmpty() || !section.keptLines.isEmpty();
    const IniFile::Contents again = IniFile::parse(IniFile::serialize(contents));
    FUZZ_CHECK(kept || !again.damaged, "a written file reads back without new damage");
    FUZZ_CHECK(flat(again) == flat(contents), "a written file reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const IniFile::Contents contents = IniFile::parse(bytes);
    for (const IniFile::Section &section : contents.sections) {
        FUZZ_CHECK(section.index.size() == section.entries.size(), "each key once");
        qsizetype hint = -1;
        for (qsizetype i = 0; i < section.entries.size(); ++i) {
            const QStringView key = contents.key(section.entries.at(i));
            FUZZ_CHECK(!key.isEmpty() && !key.contains(u'='), "a key is a name");
            FUZZ_CHECK(contents.find(section, key, hint) == i
                           && section.index.find(key, contents.text, section.entries) == i,
                       "a key finds its entry");
            FUZZ_CHECK(SettingsStore::isStorable(contents.value(section.entries.at(i))),
                       "every value read is storable");
            FUZZ_CHECK(contents.sharedValue(section.entries.at(i))
                               .utf16()[contents.value(section.entries.at(i)).size()]
                           == 0,
                       "a value handed out is ended");
        }
    }
    checkRoundTrip(contents);

    // The input's lines as the values the program stores under its own keys, then every other
    // one removed again.
    IniFile::Contents stored;
    const QList<QByteArray> lines = bytes.split('\n');
    QStringList keys;
    QStringList values;
    std::vector<IniFile::Change> changes;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        keys.append(QStringLiteral("app %1").arg(i + 1));
        values.append(QString::fromUtf8(lines.at(i)));
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (SettingsStore::isStorable(values.at(i)))
            changes.push_back({keys.at(i), QStringView(values.at(i))});
    }
    IniFile::apply(stored, QStringLiteral("Main"), changes);
    checkRoundTrip(stored);
    changes.clear();
    for (qsizetype i = 0; i < lines.size(); i += 2)
        changes.push_back({keys.at(i), std::nullopt});
    IniFile::apply(stored, QStringLiteral("Main"), changes);
    checkRoundTrip(stored);
    return 0;
}
