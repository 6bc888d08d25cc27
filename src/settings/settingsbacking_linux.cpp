#include "settings/iniformat.h"
#include "settings/settingsbacking.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace SettingsBacking {

QString location()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/quillmoor/61027.ini");
}

std::unique_ptr<QSettings> open()
{
    auto settings = std::make_unique<QSettings>(location(), IniFormat::format());
    settings->setAtomicSyncRequired(true);
    return settings;
}

bool replacesAtomically()
{
    return true;
}

void preserveDamaged()
{
    const QString path = location();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!IniFormat::takeDamaged(path) || !QFile::exists(path))
        return;
    const QString copy = path + QStringLiteral(".bad");
    QFile::remove(copy);
    QFile::copy(path, copy);
}

} // namespace SettingsBacking
