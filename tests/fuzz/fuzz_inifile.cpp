// The store's file reader: any bytes read without harm, everything read can be written back
// and reads back the same, and what the program stores reads back exactly.
#include "fuzzcheck.h"
#include "settings/iniformat.h"

#include <QBuffer>

namespace {

bool readBytes(const QByteArray &bytes, QSettings::SettingsMap &map)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return IniFormat::read(buffer, map);
}

bool writeMap(const QSettings::SettingsMap &map, QByteArray &bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return IniFormat::write(buffer, map);
}

void checkRoundTrip(const QSettings::SettingsMap &map)
{
    QByteArray written;
    FUZZ_CHECK(writeMap(map, written), "a map of storable values is written");
    QSettings::SettingsMap again;
    FUZZ_CHECK(readBytes(written, again), "a written file is read");
    FUZZ_CHECK(again == map, "a written file reads back the same map");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    QSettings::SettingsMap map;
    FUZZ_CHECK(readBytes(bytes, map), "any file is read as far as it goes");
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const QString &key = it.key();
        FUZZ_CHECK(key.count(u'/') <= 1 && !key.startsWith(u'/') && !key.endsWith(u'/'),
                   "a key is a name, or a section and a name");
        FUZZ_CHECK(IniFormat::isStorable(it.value().toString()), "every value read is storable");
    }
    checkRoundTrip(map);

    // The input's lines as the values the program stores under its own keys.
    QSettings::SettingsMap stored;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString value = QString::fromUtf8(lines.at(i));
        if (!IniFormat::isStorable(value))
            continue;
        stored.insert(QStringLiteral("Main/app %1").arg(i + 1), value);
        stored.insert(i % 2 ? QStringLiteral("Main/Interval") : QStringLiteral("Main/Icon"), value);
    }
    checkRoundTrip(stored);
    return 0;
}
