#pragma once

#include <QString>

#include <string_view>

// A store's reading whose values are Qt text already hands them out sharing that text, which
// spares a long list a copy of every entry. Apart from SettingsBacking, whose Windows side is
// built without Qt.
class SharedTextReading
{
public:
    // The value, null where the key is missing.
    virtual QString text(std::u16string_view key) const = 0;

protected:
    ~SharedTextReading() = default;
};
