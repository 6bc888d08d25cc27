#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

// The program's text as the UTF-16 that the platform interfaces take, and back, without a copy.
// The views live as long as the text they look at.
inline std::u16string_view viewOf(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.constData()), std::size_t(text.size())};
}

inline std::u16string_view viewOf(QStringView text)
{
    return {text.utf16(), std::size_t(text.size())};
}

inline QStringView viewFrom(std::u16string_view text)
{
    return QStringView(text.data(), qsizetype(text.size()));
}
