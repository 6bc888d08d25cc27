#pragma once

#include "settings/settingvalue.h"

#include <QString>

#include <utility>

// The tray icon the user chose: the name of an icon file, or "Internal" for the built-in
// picture, which is also what an unset value means.
class IconSetting final
{
public:
    explicit IconSetting(QString text)
        : m_text(std::move(text))
    { }

    // A file is stored as given, even when it cannot be read, so that the next start tries it
    // again.
    static const SettingValue<IconSetting> setting;
    static IconSetting builtIn();

    bool isBuiltIn() const;
    const QString &text() const { return m_text; }
    // The icon file's name; meaningless for the built-in picture.
    const QString &file() const { return m_text; }

private:
    QString m_text;
};
