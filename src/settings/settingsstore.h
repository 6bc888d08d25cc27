#pragma once

#include <QString>
#include <QStringList>

// What a change of the store came to. On failure `reason` is a sentence for the user; what
// was stored before is then unchanged.
struct StoreResult
{
    QString reason;

    bool ok() const { return reason.isEmpty(); }
    explicit operator bool() const { return ok(); }
};

// The per-user settings store: application "61027", section "Main", every value text.
// Every read goes to the store at the moment of use; the store reports, its callers tell.

QString ReadSetting(const QString &key, const QString &fallback);
StoreResult WriteSetting(const QString &key, const QString &value);
StoreResult RemoveSetting(const QString &key);

// Appends the stored launch list (app 1, app 2, ... up to the first missing or empty key).
void LoadLaunchList(QStringList &target);
// Replaces the stored launch list in one step: a crash leaves the old list or the new one.
StoreResult SaveLaunchList(const QStringList &entries);

namespace SettingsStore {

inline constexpr int MaxEntries = 32767;

// Where the store lives: a file on Linux, a registry key on Windows.
QString location();
// Whether a value can be stored: one line of text.
bool isStorable(QStringView value);
// Once after a read met text it could not read as such: a sentence that says so and where a
// copy of the store as it was is kept. Once after a read met a store far too large to be
// Quillmoor's, left unread and untouched: a sentence that says so. Empty otherwise.
QString takeDamageNotice();

} // namespace SettingsStore
