#pragma once

#include "platform/linux/inifile_linux.h"

#include <QByteArray>
#include <QMutex>
#include <QSet>
#include <QString>

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <tuple>

class QFileDevice;

// The settings file as it is now, for every reading and save of one store: the last parse
// while the file is unchanged, else a new one. Damaged bytes are kept in a copy beside the
// file, and told of once a run.
class SettingsFileLoader final
{
public:
    // 32,767 entries of long paths take a few MB; reading a file far beyond that would cost
    // seconds and gigabytes at every start, and rewriting it every save.
    static constexpr off_t MaxFileBytes = off_t(64) * 1024 * 1024;

    // What tells one version of the file from another without reading it. Every save makes a
    // new file, and no tool can set the change time back.
    struct Identity
    {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified {};
        timespec changed {};

        static Identity of(const struct stat &info)
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

    // What reading the file found wrong.
    struct Found
    {
        QString unreadable; // why it could not be read at all; empty when it could, or is not there
        bool damaged = false; // damaged bytes not found before in this run
        QString copy; // where those bytes were kept
        QString notKept; // why they were not
    };

    // The file as it is now. `found` tells what was wrong with it; `seen`, where given, is what
    // the file was when it was read.
    std::shared_ptr<const IniFile::Contents> load(const QString &path, Found &found,
                                                  std::optional<Identity> *seen = nullptr);
    // The file's contents to change: the last parse itself where nobody else holds it, which
    // saves copying every entry of a long list.
    IniFile::Contents contentsToChange(const QString &path, Found &found,
                                       std::optional<Identity> &seen);
    // Keeps contents as the last parse of the file at path, which identity tells as it is now.
    void remember(const QString &path, IniFile::Contents &&contents, const Identity &identity);
    // Damaged bytes that were just written back, told of when they were first read.
    void markTold(const QByteArray &bytes);

private:
    void noteDamage(const QString &path, const QByteArray &bytes, Found &found);

    struct Parsed
    {
        QString path;
        Identity identity;
        std::shared_ptr<IniFile::Contents> contents; // handed out only as const
    };

    QMutex m_mutex;
    // The last file parsed, shared by every reading.
    Parsed m_last;
    // Damaged bytes the user has been told of in this run: a touched file is not news.
    QSet<QByteArray> m_told;
    // What a file that is not there, or cannot be read, reads as.
    const std::shared_ptr<IniFile::Contents> m_empty = std::make_shared<IniFile::Contents>();
};

// What the system said of a write that failed. One cut short by a full disk leaves Qt with no
// error of its own, only "Unknown error": the system's word is then in errno.
QString writeFailure(const QFileDevice &file, int error);
