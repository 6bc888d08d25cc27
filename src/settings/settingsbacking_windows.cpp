#include "settings/settingsbacking.h"

namespace SettingsBacking {

// The per-user branch that Windows keeps for such program settings; values are REG_SZ text.
QString location()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\61027");
}

std::unique_ptr<QSettings> open()
{
    return std::make_unique<QSettings>(location(), QSettings::NativeFormat);
}

bool replacesAtomically()
{
    return false;
}

void preserveDamaged()
{ }

} // namespace SettingsBacking
