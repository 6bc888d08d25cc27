#include "platform/instancelock.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace {

QString lockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/quillmoor.lock");
}

class LockFileInstance final : public InstanceLock
{
public:
    LockFileInstance()
        : m_lock(lockPath())
    {
        // Staleness is decided by whether the holder still runs, never by age.
        m_lock.setStaleLockTime(0);
    }

    bool tryLock() override { return m_lock.tryLock(0); }

private:
    QLockFile m_lock;
};

} // namespace

std::unique_ptr<InstanceLock> createInstanceLock()
{
    return std::make_unique<LockFileInstance>();
}
