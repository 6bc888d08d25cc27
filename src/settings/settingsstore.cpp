#include "settings/settingsstore.h"
#include "settings/iniformat.h"
#include "settings/settingsbacking.h"
#include "shell/dialogs.h"

#include <algorithm>

namespace {

const QString Section = QStringLiteral("Main");

std::unique_ptr<QSettings> openMain()
{
    auto settings = SettingsBacking::open();
    settings->beginGroup(Section);
    return settings;
}

void reportFailure(const QString &reason)
{
    Corvath::dialogs()->messageBox(QStringLiteral("Quillmoor could not save its settings to %1: "
                                                  "%2 What was stored before is unchanged.")
                                       .arg(SettingsBacking::location(), reason),
                                   QStringLiteral("Error"), Corvath::MessageIcon::Critical);
}

const QString LineBreak
    = QStringLiteral("a value holds a line break, which the store cannot keep.");

// Runs change on the store and writes the result in one sync.
template<typename Change> bool commit(Change change)
{
    auto settings = SettingsBacking::open();
    SettingsBacking::preserveDamaged();
    settings->beginGroup(Section);
    if (!change(*settings)) {
        reportFailure(LineBreak);
        return false;
    }
    settings->endGroup();
    settings->sync();
    if (settings->status() != QSettings::NoError) {
        reportFailure(QStringLiteral("the file could not be written. Check that its folder is "
                                     "writable and the disk is not full."));
        return false;
    }
    return true;
}

// The numbers of the stored "app N" keys above limit: they would be read back as part of a
// shorter list once the keys below them are filled again.
QList<int> launchKeysAbove(const QSettings &settings, int limit)
{
    static const QString prefix = QStringLiteral("app ");
    QList<int> numbers;
    for (const QString &key : settings.childKeys()) {
        if (!key.startsWith(prefix))
            continue;
        // Only the keys the list itself uses: no sign, blank or leading zero.
        const QStringView digits = QStringView(key).sliced(prefix.size());
        if (digits.isEmpty() || digits.front() == u'0'
            || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c.isDigit(); }))
            continue;
        bool ok = false;
        const int n = digits.toInt(&ok);
        if (ok && n > limit)
            numbers.append(n);
    }
    return numbers;
}

} // namespace

namespace SettingsStore {

QString launchKey(int index)
{
    return QStringLiteral("app ") + QString::number(index);
}

QString location()
{
    return SettingsBacking::location();
}

} // namespace SettingsStore

QString ReadSetting(const QString &key, const QString &fallback)
{
    return openMain()->value(key, fallback).toString();
}

bool WriteSetting(const QString &key, const QString &value)
{
    return commit([&](QSettings &settings) {
        if (!IniFormat::isStorable(value))
            return false;
        settings.setValue(key, value);
        return true;
    });
}

bool RemoveSetting(const QString &key)
{
    return commit([&](QSettings &settings) {
        settings.remove(key);
        return true;
    });
}

void LoadLaunchList(QStringList &target)
{
    const auto settings = openMain();
    for (int i = 1; i <= SettingsStore::MaxEntries; ++i) {
        const QString entry = settings->value(SettingsStore::launchKey(i), QString()).toString();
        if (entry.isEmpty())
            return;
        target.append(entry);
    }
}

bool SaveLaunchList(const QStringList &entries)
{
    using SettingsStore::launchKey;
    const int count = int(std::min<qsizetype>(entries.size(), SettingsStore::MaxEntries));
    return commit([&](QSettings &settings) {
        for (int i = 0; i < count; ++i) {
            if (!IniFormat::isStorable(entries.at(i)))
                return false;
        }
        auto clearFirstHundred = [&](int from) {
            for (int i = from; i <= 100; ++i) {
                if (!settings.value(launchKey(i), QString()).toString().isEmpty())
                    settings.remove(launchKey(i));
            }
        };
        auto writeEntries = [&] {
            for (int i = 1; i <= count; ++i)
                settings.setValue(launchKey(i), entries.at(i - 1));
        };
        if (SettingsBacking::replacesAtomically()) {
            // Everything below is one write of the file, so the order is only the familiar one.
            clearFirstHundred(1);
            writeEntries();
        } else {
            // Each registry value is written at once: the new list first, so that a crash in
            // between never leaves an empty list.
            writeEntries();
            clearFirstHundred(count + 1);
        }
        // Keys past 100 that an older, longer list left behind.
        for (int n : launchKeysAbove(settings, std::max(count, 100)))
            settings.remove(launchKey(n));
        return true;
    });
}
