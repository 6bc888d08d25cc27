// The store's file reader: any bytes read without harm, everything read can be written back
// and reads back the same, and what the program stores reads back exactly.
#include "fuzzcheck.h"
#include "platform/linux/inifile_linux.h"

namespace {

// Sections and their entries as plain lists, for comparing.
QList<QStringList> flat(const IniFile::Contents &contents)
{
    QList<QStringList> result;
    for (const IniFile::Section &section : contents.sections) {
        QStringList lines {section.name};
        for (const IniFile::Entry &entry : section.entries)
            lines << entry.key + u'=' + entry.value;
        result.append(lines);
    }
    return result;
}

void checkRoundTrip(const IniFile::Contents &contents)
{
    bool kept = false; // damaged lines are written back as they were
    for (const IniFile::Section &section : contents.sections)
        for (const IniFile::Entry &entry : section.entries)
            kept = kept || !entry.damagedLine.isEmpty();
    const IniFile::Contents again = IniFile::parse(IniFile::serialize(contents));
    FUZZ_CHECK(again.damaged == kept, "a written file reads back without new damage");
    FUZZ_CHECK(flat(again) == flat(contents), "a written file reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const IniFile::Contents contents = IniFile::parse(bytes);
    for (const IniFile::Section &section : contents.sections) {
        FUZZ_CHECK(section.index.size() == section.entries.size(), "each key once");
        for (const IniFile::Entry &entry : section.entries) {
            FUZZ_CHECK(!entry.key.isEmpty() && !entry.key.contains(u'='), "a key is a name");
            FUZZ_CHECK(IniFile::isStorable(entry.value), "every value read is storable");
        }
    }
    checkRoundTrip(contents);

    // The input's lines as the values the program stores under its own keys.
    IniFile::Contents stored;
    IniFile::Section &main = stored.sectionForWriting(QStringLiteral("Main"));
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString value = QString::fromUtf8(lines.at(i));
        if (!IniFile::isStorable(value))
            continue;
        const QString key = QStringLiteral("app %1").arg(i + 1);
        main.index.insert(key, main.entries.size());
        main.entries.append({key, value});
    }
    checkRoundTrip(stored);
    return 0;
}
