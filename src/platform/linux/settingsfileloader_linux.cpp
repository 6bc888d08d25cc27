#include "platform/linux/settingsfileloader_linux.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

using Stat = struct stat;

// Keeps a copy of a damaged file beside it, never over an earlier copy: .bad, then .bad.2 and
// on, up to a few; the same bytes as the last copy make no new one.
void keepCopy(const QString &path, const QByteArray &bytes, SettingsFileLoader::Found &found)
{
    constexpr int MaxCopies = 9;
    QString last;
    const auto sameAsLast = [&] {
        QFile previous(last);
        return !last.isEmpty() && previous.size() == bytes.size()
            && previous.open(QIODevice::ReadOnly) && previous.readAll() == bytes;
    };
    for (int n = 1; n <= MaxCopies; ++n) {
        const QString name
            = path + QStringLiteral(".bad") + (n > 1 ? QStringLiteral(".%1").arg(n) : QString());
        if (QFileInfo::exists(name)) {
            last = name;
            continue;
        }
        if (sameAsLast()) {
            found.copy = last;
            return;
        }
        QSaveFile copy(name);
        errno = 0;
        // Flushed before the commit: Qt's commit keeps a file whose last write failed.
        if (copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size() && copy.flush()
            && copy.commit()) {
            found.copy = name;
            return;
        }
        found.notKept = writeFailure(copy, errno);
        return;
    }
    if (sameAsLast())
        found.copy = last;
    else
        found.notKept = QStringLiteral("%1 earlier copies are kept already").arg(MaxCopies);
}

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The file opened for reading, or -1: where it is not there (no trouble: the first save makes
// it), or where it cannot be read as a file, which `unreadable` then says.
int openRegularFile(const QString &path, Stat &info, QString &unreadable)
{
    const QByteArray name = QFile::encodeName(path);
    // Never waiting for a writer, should a named pipe stand there.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (errno != ENOENT)
            unreadable = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        unreadable = S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder, not a file")
                                           : QStringLiteral("it is not a regular file");
        ::close(fd);
        return -1;
    }
    return fd;
}

// Every byte from fd, which it closes; none where they could not be read, as `unreadable` says.
std::optional<QByteArray> readAll(int fd, QString &unreadable)
{
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        unreadable = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        unreadable = file.errorString();
        return std::nullopt;
    }
    return bytes;
}

} // namespace

QString writeFailure(const QFileDevice &file, int error)
{
    return file.error() == QFileDevice::NoError && error != 0
        ? QString::fromLocal8Bit(std::strerror(error))
        : file.errorString();
}

std::shared_ptr<const IniFile::Contents> SettingsFileLoader::load(const QString &path, Found &found,
                                                                  std::optional<Identity> *seen)
{
    Stat info {};
    const int fd = openRegularFile(path, info, found.unreadable);
    if (fd < 0)
        return m_empty;
    const Identity identity = Identity::of(info);
    if (seen)
        *seen = identity;
    if (info.st_size > MaxFileBytes) {
        found.unreadable = QStringLiteral("it is %1 MB, far more than settings take")
                               .arg(info.st_size / (1024 * 1024));
        ::close(fd);
        return m_empty;
    }
    {
        const QMutexLocker lock(&m_mutex);
        if (m_last.contents && m_last.path == path && m_last.identity == identity) {
            ::close(fd);
            return m_last.contents;
        }
    }
    const std::optional<QByteArray> bytes = readAll(fd, found.unreadable);
    if (!bytes)
        return m_empty;
    auto contents = std::make_shared<IniFile::Contents>(IniFile::parse(*bytes));
    // The original, before a save drops what could not be read.
    if (contents->damaged)
        noteDamage(path, *bytes, found);
    // Only a file that was not replaced while it was read.
    if (qint64(bytes->size()) == qint64(info.st_size)) {
        const QMutexLocker lock(&m_mutex);
        m_last = {path, identity, contents};
    } else if (seen) {
        seen->reset();
    }
    return contents;
}

void SettingsFileLoader::noteDamage(const QString &path, const QByteArray &bytes, Found &found)
{
    const QByteArray sum = digest(bytes);
    {
        const QMutexLocker lock(&m_mutex);
        found.damaged = !m_told.contains(sum);
        m_told.insert(sum);
    }
    if (found.damaged)
        keepCopy(path, bytes, found);
}

void SettingsFileLoader::remember(const QString &path, IniFile::Contents &&contents,
                                  const Identity &identity)
{
    const QMutexLocker lock(&m_mutex);
    m_last = {path, identity, std::make_shared<IniFile::Contents>(std::move(contents))};
}

IniFile::Contents SettingsFileLoader::contentsToChange(const QString &path, Found &found,
                                                       std::optional<Identity> &seen)
{
    auto current = std::const_pointer_cast<IniFile::Contents>(load(path, found, &seen));
    {
        const QMutexLocker lock(&m_mutex);
        if (m_last.contents == current)
            m_last = {};
    }
    if (current.use_count() == 1)
        return std::move(*current);
    return *current;
}

void SettingsFileLoader::markTold(const QByteArray &bytes)
{
    const QMutexLocker locked(&m_mutex);
    m_told.insert(digest(bytes));
}
