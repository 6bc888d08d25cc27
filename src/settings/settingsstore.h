#pragma once

#include <QString>
#include <QStringList>

// The per-user settings store: application "61027", section "Main", every value text.
// Every read goes to the store at the moment of use; nothing is cached.

QString ReadSetting(const QString &key, const QString &fallback);
// A failing write is shown to the user and returns false; what was stored stays as it was.
bool WriteSetting(const QString &key, const QString &value);
bool RemoveSetting(const QString &key);

// Appends the stored launch list (app 1, app 2, ... up to the first missing or empty key).
void LoadLaunchList(QStringList &target);
// Replaces the stored launch list in one step: a crash leaves the old list or the new one.
bool SaveLaunchList(const QStringList &entries);

namespace SettingsStore {

inline constexpr int MaxEntries = 32767;

QString launchKey(int index);
// Where the store lives: a file on Linux, a registry key on Windows.
QString location();

} // namespace SettingsStore
