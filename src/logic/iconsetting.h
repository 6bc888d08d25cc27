#pragma once

#include "platform/outcome.h"

#include <QString>

#include <utility>

// The tray icon the user chose: the setting "Icon", holding the name of an icon file, or
// "Internal" for the built-in picture, which is also what an unset value means.
class IconSetting final
{
public:
    explicit IconSetting(QString text)
        : m_text(std::move(text))
    { }

    // As stored now.
    static IconSetting stored();
    static Outcome<QString> storeBuiltIn();
    // Stored as given, even when it cannot be read, so that the next start tries it again.
    static Outcome<QString> storeFile(const QString &path);

    bool isBuiltIn() const;
    // The icon file's name; meaningless for the built-in picture.
    const QString &file() const { return m_text; }

private:
    QString m_text;
};
