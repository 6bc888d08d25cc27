#include "logic/iconsetting.h"
#include "settings/settingsstore.h"

namespace {
const QString Key = QStringLiteral("Icon");
const QString BuiltIn = QStringLiteral("Internal");
} // namespace

IconSetting IconSetting::stored()
{
    return IconSetting(ReadSetting(Key, BuiltIn));
}

Outcome<QString> IconSetting::storeBuiltIn()
{
    return WriteSetting(Key, BuiltIn);
}

Outcome<QString> IconSetting::storeFile(const QString &path)
{
    return WriteSetting(Key, path);
}

bool IconSetting::isBuiltIn() const
{
    return m_text == BuiltIn;
}
