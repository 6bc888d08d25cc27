#pragma once

#include "platform/outcome.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The per-user settings store: application "61027", section "Main", every value text.
// Every read goes to the store at the moment of use; the store reports, its callers tell. A
// refused change's reason is a sentence for the user; what was stored before is then unchanged.

QString ReadSetting(const QString &key, const QString &fallback);
Outcome<QString> WriteSetting(const QString &key, const QString &value);
Outcome<QString> RemoveSetting(const QString &key);

// Appends the stored launch list (app 1, app 2, ... up to the first missing or empty key).
void LoadLaunchList(QStringList &target);
// Replaces the stored launch list in one step: a crash leaves the old list or the new one.
Outcome<QString> SaveLaunchList(const QStringList &entries);

namespace SettingsStore {

inline constexpr int MaxEntries = 32767;

// Where the store lives: a file on Linux, a registry key on Windows.
QString location();
// Whether a value can be stored: one line of text.
bool isStorable(QStringView value);

// What the store found wrong with itself, for whoever tells the user.
class News final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(News)

public:
    using QObject::QObject;

Q_SIGNALS:
    // Once after a read or write met text it could not read as such, or could not read the
    // store at all: a sentence that says so, and where a copy of the store as it was is kept.
    void damaged(const QString &sentence);
};

// The news of the one store the functions above reach.
News &news();

} // namespace SettingsStore
