#include "settings/settingsstore.h"
#include "platform/settingsbacking.h"
#include "platform/sharedtext.h"
#include "platform/textview.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstring>

namespace {

SettingsBacking &backing()
{
    // Static: the designed free functions reach the one store from every caller.
    static const std::unique_ptr<SettingsBacking> store = createSettingsBacking();
    return *store;
}

QString damageSentence(const SettingsBacking::Trouble &trouble)
{
    const QString why = QString::fromStdString(trouble.reason);
    switch (trouble.kind) {
    case SettingsBacking::Trouble::None:
        break;
    case SettingsBacking::Trouble::Unreadable:
        return QStringLiteral("The settings file %1 could not be read: %2. Quillmoor goes on "
                              "without the settings in it and leaves the file as it is.")
            .arg(SettingsStore::location(), why);
    case SettingsBacking::Trouble::Damaged: {
        const QString copy = viewFrom(trouble.copy).toString();
        const QString start
            = QStringLiteral(
                  "The settings file %1 held text that could not be read as it was. Quillmoor read "
                  "what it could; ")
                  .arg(SettingsStore::location());
        if (copy.isEmpty())
            return start
                + QStringLiteral("no copy of the file as it was could be kept: %1.").arg(why);
        return start + QStringLiteral("a copy of the file as it was is %1.").arg(copy);
    }
    }
    return {};
}

// After every read or write, once the reading is let go: what it found wrong is told once.
void reportTrouble()
{
    if (const QString sentence = damageSentence(backing().takeTrouble()); !sentence.isEmpty())
        Q_EMIT SettingsStore::news().damaged(sentence);
}

Outcome<QString> failure(const QString &why)
{
    return Failure {QStringLiteral("Quillmoor could not save its settings to %1: %2.")
                        .arg(SettingsStore::location(), why)};
}

Outcome<QString> write(const std::vector<SettingsBacking::Change> &changes)
{
    const auto report = qScopeGuard(reportTrouble);
    // Nothing to change, such as an empty list saved over none: the store is left alone, not
    // even created.
    if (changes.empty())
        return {};
    if (const auto written = backing().write(changes); !written)
        return failure(QString::fromStdString(written.reason()));
    return {};
}

// "app N" without an allocation: the list's keys are asked for tens of thousands of times.
class LaunchKey
{
public:
    explicit LaunchKey(int index)
    {
        char16_t digits[12];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + index % 10);
            index /= 10;
        } while (index > 0);
        while (count > 0)
            m_text[m_size++] = digits[--count];
    }
    std::u16string_view view() const { return {m_text, m_size}; }

private:
    char16_t m_text[16] = {u'a', u'p', u'p', u' '};
    std::size_t m_size = 4;
};

// Only the keys the list itself uses: "app ", then a number without sign, blank or leading 0.
int launchNumber(std::u16string_view key)
{
    static constexpr std::u16string_view prefix = u"app ";
    if (key.size() <= prefix.size() || key.substr(0, prefix.size()) != prefix
        || key[prefix.size()] == u'0' || key.size() - prefix.size() > 9)
        return 0;
    int number = 0;
    for (char16_t c : key.substr(prefix.size())) {
        if (c < u'0' || c > u'9')
            return 0;
        number = number * 10 + (c - u'0');
    }
    return number;
}

} // namespace

namespace SettingsStore {

QString location()
{
    return viewFrom(backing().location()).toString();
}

bool isStorable(QStringView value)
{
    // Every entry of a long list is checked on each save, and control characters are rare:
    // first a quick look for any, four characters at a time, then the exact test.
    constexpr quint64 lanes = 0x0001'0001'0001'0001;
    constexpr quint64 tops = lanes * 0x8000;
    const char16_t *text = value.utf16();
    const qsizetype size = value.size();
    quint64 below = 0; // a lane below 0x0e sets its top bit
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 four;
        std::memcpy(&four, text + i, sizeof four);
        below |= (four - lanes * 0x0e) & ~four & tops;
    }
    for (; i < size; ++i)
        below |= text[i] < u'\x0e';
    return !below
        || (!value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar::Null));
}

News &news()
{
    // Static: one store, one news.
    static News instance;
    return instance;
}

} // namespace SettingsStore

QString ReadSetting(const QString &key, const QString &fallback)
{
    const auto report = qScopeGuard(reportTrouble);
    const auto reading = backing().read();
    const auto value = reading->value(viewOf(key));
    return value ? viewFrom(*value).toString() : fallback;
}

Outcome<QString> WriteSetting(const QString &key, const QString &value)
{
    if (!SettingsStore::isStorable(value))
        return failure(QStringLiteral("a value holds a line break, which the store cannot keep"));
    return write({{viewOf(key), viewOf(value)}});
}

Outcome<QString> RemoveSetting(const QString &key)
{
    return write({{viewOf(key), std::nullopt}});
}

void LoadLaunchList(QStringList &target)
{
    const auto report = qScopeGuard(reportTrouble);
    const auto reading = backing().read();
    const SharedTextReading *shared = reading->sharedText();
    for (int i = 1; i <= SettingsStore::MaxEntries; ++i) {
        const LaunchKey key(i);
        QString entry;
        if (shared)
            entry = shared->text(key.view());
        else if (const auto value = reading->value(key.view()))
            entry = viewFrom(*value).toString();
        if (entry.isEmpty())
            return;
        target.append(std::move(entry));
    }
}

Outcome<QString> SaveLaunchList(const QStringList &entries)
{
    const int count = int(std::min<qsizetype>(entries.size(), SettingsStore::MaxEntries));
    for (int i = 0; i < count; ++i) {
        if (!SettingsStore::isStorable(entries.at(i)))
            return failure(QStringLiteral("entry %1 holds a line break, which the store cannot "
                                          "keep")
                               .arg(i + 1));
    }
    // The keys "app 1" to "app N" side by side in one buffer, for the changes to point into.
    const int last = std::max(count, 100);
    std::u16string keyText;
    keyText.reserve(std::size_t(last) * 10);
    std::vector<std::size_t> keyEnds;
    keyEnds.reserve(std::size_t(last));
    for (int i = 1; i <= last; ++i) {
        keyText += LaunchKey(i).view();
        keyEnds.push_back(keyText.size());
    }
    auto key = [&](int i) {
        const std::size_t from = i > 1 ? keyEnds[std::size_t(i - 2)] : 0;
        return std::u16string_view(keyText).substr(from, keyEnds[std::size_t(i - 1)] - from);
    };

    // The new list first and the old keys after it: where the store writes value by value
    // (the registry), a crash in between never leaves an empty list.
    std::vector<SettingsBacking::Change> changes;
    changes.reserve(std::size_t(count) + 100);
    for (int i = 1; i <= count; ++i)
        changes.push_back({key(i), viewOf(entries.at(i - 1))});

    auto reading = backing().read();
    for (int i = count + 1; i <= 100; ++i) {
        const auto value = reading->value(key(i));
        if (value && !value->empty())
            changes.push_back({key(i), std::nullopt});
    }
    // Keys past 100 that an older, longer list left behind would be read back as part of a
    // shorter list once the keys below them are filled again.
    std::vector<std::u16string> stale;
    for (std::u16string_view name : reading->keys()) {
        if (launchNumber(name) > last)
            stale.emplace_back(name);
    }
    // Let go of the reading before the write, which can then change the file's last parse in
    // place instead of copying it.
    reading.reset();
    for (const std::u16string &key : stale)
        changes.push_back({key, std::nullopt});
    return write(changes);
}
