#pragma once

#include "platform/outcome.h"
#include "settings/settingsstore.h"

#include <QString>

#include <utility>

// One setting of the store, with its key, named where the object is defined, and what it
// reads as when nothing is stored. T is made from the stored text and gives it back by text().
template<class T> class SettingValue final
{
public:
    SettingValue(QString key, QString fallback)
        : m_key(std::move(key))
        , m_fallback(std::move(fallback))
    { }

    const QString &key() const { return m_key; }
    // As stored now: read afresh every time.
    T get() const { return T(ReadSetting(m_key, m_fallback)); }
    Outcome<QString> set(const T &value) const { return WriteSetting(m_key, value.text()); }

private:
    QString m_key;
    QString m_fallback;
};
