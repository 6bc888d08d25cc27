#include "platform/linux/settingsfile_linux.h"
#include "platform/linux/confighome_linux.h"
#include "platform/linux/inifile_linux.h"
#include "platform/linux/settingslock_linux.h"
#include "platform/sharedtext.h"
#include "platform/textview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <sys/stat.h>

#include <cerrno>

namespace {

const QString Main = QStringLiteral("Main");
using Stat = struct stat;
using Found = SettingsFileLoader::Found;
using Identity = SettingsFileLoader::Identity;
constexpr off_t MaxFileBytes = SettingsFileLoader::MaxFileBytes;

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

bool hasDamagedLines(const IniFile::Contents &contents)
{
    for (const IniFile::Section &section : contents.sections)
        if (!section.damagedLines.isEmpty() || !section.keptLines.isEmpty())
            return true;
    return false;
}

// Makes the folder for a save at `file`, before any lock is taken; fails where there is no
// home, something else stands in the file's place, or the folder cannot be made.
Outcome<std::string> prepareSave(const QString &file)
{
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
    return {};
}

std::vector<IniFile::Change> iniChanges(const std::vector<SettingsBacking::Change> &changes)
{
    std::vector<IniFile::Change> edits;
    edits.reserve(changes.size());
    for (const SettingsBacking::Change &change : changes) {
        edits.push_back({viewFrom(change.key),
                         change.value ? std::optional(viewFrom(*change.value)) : std::nullopt});
    }
    return edits;
}

// Replaces the file whole with the contents, which become its last parse where the file there
// now is the one written.
Outcome<std::string> replaceFile(const QString &file, IniFile::Contents &&contents,
                                 SettingsFileLoader &loader)
{
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
    if (hasDamagedLines(contents))
        loader.markTold(bytes);
    // Remembered only when the file there now is the one just written.
    Stat now {};
    if (::stat(QFile::encodeName(file).constData(), &now) == 0 && now.st_ino == written.st_ino
        && now.st_dev == written.st_dev)
        loader.remember(file, std::move(contents), Identity::of(now));
    return {};
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
    auto contents = m_loader.load(file, found);
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
    if (auto prepared = prepareSave(file); !prepared)
        return prepared;
    QLockFile lock(file + QStringLiteral(".lock"));
    if (auto locked = SettingsLock::take(lock, QFileInfo(file).absolutePath()); !locked)
        return locked;

    // Read again under the lock: another process may have saved since.
    Found found;
    std::optional<Identity> seen;
    IniFile::Contents contents = m_loader.contentsToChange(file, found, seen);
    if (!found.unreadable.isEmpty()) {
        // Saving the little that was read would lose what the file holds.
        return Failure {"it could not be read (" + found.unreadable.toStdString()
                        + "), so it was left as it is"};
    }
    if (found.damaged)
        m_trouble
            = {Trouble::Damaged, std::u16string(viewOf(found.copy)), found.notKept.toStdString()};
    contents.damaged = false;
    if (!IniFile::apply(contents, Main, iniChanges(changes))) {
        // Nothing to change: the file stays as it is, or unmade, and its parse stays good.
        if (seen)
            m_loader.remember(file, std::move(contents), *seen);
        return {};
    }
    return replaceFile(file, std::move(contents), m_loader);
}

std::unique_ptr<SettingsBacking> createSettingsBacking()
{
    return std::make_unique<SettingsFile>();
}
