#include "logic/singleinstance.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString lockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/quillmoor.lock");
}
} // namespace

SingleInstance::SingleInstance()
    : m_lock(lockPath())
{
    // Staleness is decided by whether the holder still runs, never by age.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::tryLock()
{
    return m_lock.tryLock(0);
}
