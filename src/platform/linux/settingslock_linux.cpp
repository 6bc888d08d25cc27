#include "platform/linux/settingslock_linux.h"

#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

using Stat = struct stat;

// How long a save waits for another program's.
constexpr int LockWait = 10000;

// QLockFile takes over a lock whose owner has died, but not one left empty by an owner killed
// before it wrote its name: that one it honours for 30 s. Its owner holds a flock on it from
// the moment it exists, so a lock nobody holds is free to go.
void removeAbandonedLock(const QByteArray &name)
{
    const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return;
    Stat info {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)
        && info.st_size == 0)
        ::unlink(name.constData());
    ::close(fd);
}

// QLockFile makes its lock only where nothing stands and takes over only a file: anything
// else there keeps every save out until the user removes it. Empty when the way is clear.
std::string blocked(const QString &lockPath)
{
    const QByteArray name = QFile::encodeName(lockPath);
    Stat info {};
    if (::lstat(name.constData(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    const std::string what = "its lock " + lockPath.toStdString();
    if (S_ISDIR(info.st_mode))
        return what + " is a folder; remove it to save";
    if (S_ISLNK(info.st_mode)) {
        Stat target {};
        if (::stat(name.constData(), &target) != 0 && errno == ELOOP)
            return what + " is a symbolic link that leads round in a loop; remove it to save";
        return what + " is a symbolic link, which no lock is; remove it to save";
    }
    return what + " is not a regular file; remove it to save";
}

// Qt names no cause when the lock cannot be made. It is a small file: a full disk is the likely
// cause, and one the user can mend.
std::string lockFailure(const QString &folder, int error)
{
    struct statvfs room
    {
    };
    if (::statvfs(QFile::encodeName(folder).constData(), &room) == 0
        && (room.f_bavail == 0 || (room.f_files != 0 && room.f_favail == 0)))
        error = ENOSPC;
    return error != 0 ? std::strerror(error) : "the lock beside the file could not be made";
}

} // namespace

Outcome<std::string> SettingsLock::take(QLockFile &lock, const QString &folder)
{
    const QString lockPath = lock.fileName();
    if (std::string reason = blocked(lockPath); !reason.empty())
        return Failure {std::move(reason)};
    removeAbandonedLock(QFile::encodeName(lockPath));
    errno = 0;
    if (lock.tryLock(LockWait))
        return {};
    const int error = errno;
    return Failure {lock.error() == QLockFile::LockFailedError
                        ? std::string("another program kept the settings locked")
                        : lockFailure(folder, error)};
}
