#include "platform/linux/settingsfile_linux.h"
#include "platform/linux/confighome_linux.h"
#include "platform/linux/inifile_linux.h"
#include "platform/linux/settingslock_linux.h"
#include "platform/sharedtext.h"
#include "platform/textview.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>
#include <QSet>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <tuple>

namespace {

const QString Main = QStringLiteral("Main");
using Stat = struct stat;
// 32,767 entries of long paths take a few MB; reading a file far beyond that would cost
// seconds and gigabytes at every start, and rewriting it every save.
constexpr off_t MaxFileBytes = off_t(64) * 1024 * 1024;

// What tells one version of the file from another without reading it. Every save makes a
// new file, and no tool can set the change time back.
struct Identity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified {};
    timespec changed {};

    static Identity of(const Stat &info)
    {
        return {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    }
    friend bool operator==(const Identity &a, const Identity &b)
    {
        auto tie = [](const Identity &i) {
            return std::tie(i.device, i.inode, i.size, i.modified.tv_sec, i.modified.tv_nsec,
                            i.changed.tv_sec, i.changed.tv_nsec);
        };
        return tie(a) == tie(b);
    }
};

struct Parsed
{
    QString path;
    Identity identity;
    std::shared_ptr<IniFile::Contents> contents; // handed out only as const
};

// The last file parsed, shared by every reading in the process.
QMutex s_mutex;
Parsed s_last;

class FileReading final : public SettingsBacking::Reading, public SharedTextReading
{
public:
    explicit FileReading(std::shared_ptr<const IniFile::Contents> contents)
        : m_contents(std::move(contents))
        , m_main(m_contents->section(Main))
    { }

    std::optional<std::u16string_view> value(std::u16string_view key) const override
    {
        const IniFile::Entry *entry = find(key);
        if (!entry)
            return std::nullopt;
        return viewOf(m_contents->value(*entry));
    }

    const SharedTextReading *sharedText() const override { return this; }

    QString text(std::u16string_view key) const override
    {
        const IniFile::Entry *entry = find(key);
        return entry ? m_contents->sharedValue(*entry) : QString();
    }

    std::vector<std::u16string_view> keys() const override
    {
        std::vector<std::u16string_view> result;
        if (m_main) {
            result.reserve(std::size_t(m_main->entries.size()));
            for (const IniFile::Entry &entry : m_main->entries)
                result.push_back(viewOf(m_contents->key(entry)));
        }
        return result;
    }

private:
    std::shared_ptr<const IniFile::Contents> m_contents;
    const IniFile::Section *m_main;
    mutable qsizetype m_hint = -1;

    const IniFile::Entry *find(std::u16string_view key) const
    {
        const qsizetype found = m_main ? m_contents->find(*m_main, viewFrom(key), m_hint) : -1;
        return found < 0 ? nullptr : &m_main->entries.at(found);
    }
};

// What reading the file found wrong.
struct Found
{
    QString unreadable; // why it could not be read at all; empty when it could, or is not there
    bool damaged = false; // damaged bytes not found before in this run
    QString copy; // where those bytes were kept
    QString notKept; // why they were not
};

// What the system said of a write that failed. One cut short by a full disk leaves Qt with no
// error of its own, only "Unknown error": the system's word is then in errno.
QString writeFailure(const QFileDevice &file, int error)
{
    return file.error() == QFileDevice::NoError && error != 0
        ? QString::fromLocal8Bit(std::strerror(error))
        : file.errorString();
}

// Keeps a copy of a damaged file beside it, never over an earlier copy: .bad, then .bad.2 and
// on, up to a few; the same bytes as the last copy make no new one.
void keepCopy(const QString &path, const QByteArray &bytes, Found &found)
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

// Damaged bytes the user has been told of in this run: a touched file is not news.
QSet<QByteArray> s_told;

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// The file as it is now: the last parse when nothing changed since, else a new one. `found`
// tells what was wrong with it; `seen`, where given, is what the file was when it was read.
std::shared_ptr<const IniFile::Contents> load(const QString &path, Found &found,
                                              std::optional<Identity> *seen = nullptr)
{
    static const auto empty = std::make_shared<IniFile::Contents>();
    const QByteArray name = QFile::encodeName(path);
    // Never waiting for a writer, should a named pipe stand there.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    Stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        // Not there yet is no trouble: the first save makes it.
        if (errno != ENOENT)
            found.unreadable = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return empty;
    }
    if (!S_ISREG(info.st_mode)) {
        found.unreadable = S_ISDIR(info.st_mode) ? QStringLiteral("it is a folder, not a file")
                                                 : QStringLiteral("it is not a regular file");
        ::close(fd);
        return empty;
    }
    const Identity identity = Identity::of(info);
    if (seen)
        *seen = identity;
    if (info.st_size > MaxFileBytes) {
        found.unreadable = QStringLiteral("it is %1 MB, far more than settings take")
                               .arg(info.st_size / (1024 * 1024));
        ::close(fd);
        return empty;
    }
    {
        const QMutexLocker lock(&s_mutex);
        if (s_last.contents && s_last.path == path && s_last.identity == identity) {
            ::close(fd);
            return s_last.contents;
        }
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        found.unreadable = file.errorString();
        return empty;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        found.unreadable = file.errorString();
        return empty;
    }
    auto contents = std::make_shared<IniFile::Contents>(IniFile::parse(bytes));
    // The original, before a save drops what could not be read.
    if (contents->damaged) {
        const QByteArray sum = digest(bytes);
        {
            const QMutexLocker lock(&s_mutex);
            found.damaged = !s_told.contains(sum);
            s_told.insert(sum);
        }
        if (found.damaged)
            keepCopy(path, bytes, found);
    }
    // Only a file that was not replaced while it was read.
    if (qint64(bytes.size()) == qint64(info.st_size)) {
        const QMutexLocker lock(&s_mutex);
        s_last = {path, identity, contents};
    } else if (seen) {
        seen->reset();
    }
    return contents;
}

void remember(const QString &path, IniFile::Contents &&contents, const Identity &identity)
{
    const QMutexLocker lock(&s_mutex);
    s_last = {path, identity, std::make_shared<IniFile::Contents>(std::move(contents))};
}

// The file's contents to change: the last parse itself where nobody else holds it, which
// saves copying every entry of a long list.
IniFile::Contents contentsToChange(const QString &path, Found &found, std::optional<Identity> &seen)
{
    auto current = std::const_pointer_cast<IniFile::Contents>(load(path, found, &seen));
    {
        const QMutexLocker lock(&s_mutex);
        if (s_last.contents == current)
            s_last = {};
    }
    if (current.use_count() == 1)
        return std::move(*current);
    return *current;
}

bool hasDamagedLines(const IniFile::Contents &contents)
{
    for (const IniFile::Section &section : contents.sections)
        if (!section.damagedLines.isEmpty() || !section.keptLines.isEmpty())
            return true;
    return false;
}

} // namespace

QString SettingsFile::path()
{
    const QString folder = configHome();
    return folder.isEmpty() ? folder : folder + QStringLiteral("/quillmoor/61027.ini");
}

std::u16string SettingsFile::location() const
{
    const QString file = path();
    return std::u16string(
        viewOf(file.isEmpty() ? QStringLiteral("~/.config/quillmoor/61027.ini") : file));
}

std::unique_ptr<SettingsBacking::Reading> SettingsFile::read()
{
    const QString file = path();
    Found found;
    auto contents = load(file, found);
    if (found.unreadable != m_unreadable) {
        m_unreadable = found.unreadable;
        if (!m_unreadable.isEmpty())
            m_trouble = {Trouble::Unreadable, {}, m_unreadable.toStdString()};
    }
    if (found.damaged)
        m_trouble
            = {Trouble::Damaged, std::u16string(viewOf(found.copy)), found.notKept.toStdString()};
    return std::make_unique<FileReading>(std::move(contents));
}

SettingsBacking::Trouble SettingsFile::takeTrouble()
{
    return std::exchange(m_trouble, Trouble());
}

Outcome<std::string> SettingsFile::write(const std::vector<Change> &changes)
{
    const QString file = path();
    if (file.isEmpty()) {
        return Failure {"there is no home folder to keep them in (HOME is not set)"};
    }
    const QString folder = QFileInfo(file).absolutePath();
    Stat there {};
    if (::stat(QFile::encodeName(file).constData(), &there) == 0 && !S_ISREG(there.st_mode)) {
        return Failure {S_ISDIR(there.st_mode) ? "it is a folder, not a file"
                                               : "it is not a regular file"};
    }
    if (!QDir().mkpath(folder)) {
        return Failure {"its folder " + folder.toStdString() + " could not be made"};
    }
    QLockFile lock(file + QStringLiteral(".lock"));
    if (auto locked = SettingsLock::take(lock, folder); !locked)
        return locked;

    // Read again under the lock: another process may have saved since.
    Found found;
    std::optional<Identity> seen;
    IniFile::Contents contents = contentsToChange(file, found, seen);
    if (!found.unreadable.isEmpty()) {
        // Saving the little that was read would lose what the file holds.
        return Failure {"it could not be read (" + found.unreadable.toStdString()
                        + "), so it was left as it is"};
    }
    if (found.damaged)
        m_trouble
            = {Trouble::Damaged, std::u16string(viewOf(found.copy)), found.notKept.toStdString()};
    contents.damaged = false;
    std::vector<IniFile::Change> edits;
    edits.reserve(changes.size());
    for (const Change &change : changes) {
        edits.push_back({viewFrom(change.key),
                         change.value ? std::optional(viewFrom(*change.value)) : std::nullopt});
    }
    if (!IniFile::apply(contents, Main, edits)) {
        // Nothing to change: the file stays as it is, or unmade, and its parse stays good.
        if (seen)
            remember(file, std::move(contents), *seen);
        return {};
    }
    const QByteArray bytes = IniFile::serialize(contents);
    // The next read would refuse it, and with it the whole list.
    if (bytes.size() > MaxFileBytes) {
        return Failure {"it would grow past " + std::to_string(MaxFileBytes / (1024 * 1024))
                        + " MB, the most a settings file may take"};
    }

    QSaveFile out(file);
    // Never write over the old file in place: a crash would leave half of each.
    out.setDirectWriteFallback(false);
    Stat written {};
    errno = 0;
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()
        || ::fstat(int(out.handle()), &written) != 0 || !out.commit()) {
        const std::string reason = writeFailure(out, errno).toStdString();
        out.cancelWriting();
        return Failure {reason};
    }
    // Lines written back damaged were told of when they were first read.
    if (hasDamagedLines(contents)) {
        const QMutexLocker locked(&s_mutex);
        s_told.insert(digest(bytes));
    }
    // Remembered only when the file there now is the one just written.
    Stat now {};
    if (::stat(QFile::encodeName(file).constData(), &now) == 0 && now.st_ino == written.st_ino
        && now.st_dev == written.st_dev)
        remember(file, std::move(contents), Identity::of(now));
    return {};
}

std::unique_ptr<SettingsBacking> createSettingsBacking()
{
    return std::make_unique<SettingsFile>();
}
