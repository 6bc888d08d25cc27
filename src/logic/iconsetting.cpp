#include "logic/iconsetting.h"

namespace {
const QString BuiltIn = QStringLiteral("Internal");
} // namespace

const SettingValue<IconSetting> IconSetting::setting {QStringLiteral("Icon"), BuiltIn};

IconSetting IconSetting::builtIn()
{
    return IconSetting(BuiltIn);
}

bool IconSetting::isBuiltIn() const
{
    return m_text == BuiltIn;
}
