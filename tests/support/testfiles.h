#pragma once

#include "settings/settingsstore.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

// Whole-file reads and writes for tests that look at or prepare files on disk, and the launch
// list as the store reads it back.

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's content, creating its folder as needed.
inline bool writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// An executable file: "#!" INTERPRETER, then BODY. Its path, or empty when it cannot be written.
inline QString writeScript(const QString &path, const QByteArray &body,
                           const QByteArray &interpreter = "/bin/sh")
{
    if (!writeFile(path, "#!" + interpreter + '\n' + body)
        || !QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner))
        return {};
    return path;
}

// The launch list as stored now.
inline QStringList storedLaunchList()
{
    QStringList list;
    LoadLaunchList(list);
    return list;
}

// Runs PROGRAM with ARGUMENTS, and INPUT on its standard input; true when it ended with status 0
// within TIMEOUT ms, else false with what it wrote told. OUTPUT, when given, gets what it wrote.
[[nodiscard]] inline bool runs(const QString &program, const QStringList &arguments,
                               QByteArray *output = nullptr, const QByteArray &input = {},
                               int timeout = 30000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool ok = process.waitForFinished(timeout) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    const QByteArray written = process.readAll();
    if (!ok)
        qWarning() << program << arguments << "failed:" << written;
    if (output)
        *output = written;
    return ok;
}

// PREFIX1, PREFIX2 ... up to COUNT.
inline QStringList numbered(const QString &prefix, int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(prefix + QString::number(i));
    return list;
}

// Two launch lists of different lengths, both past the hundred keys a save clears one by one.
inline QStringList oldList()
{
    return numbered(QStringLiteral("/opt/old/program --flag "), 300);
}

inline QStringList newList()
{
    return numbered(QStringLiteral("/usr/bin/new"), 120);
}

inline bool isOldOrNew(const QStringList &list)
{
    return list == oldList() || list == newList();
}

// This test program again, as a child that saves until it is killed (main() sees --saver).
inline void prepareSaver(QProcess &saver, QProcess::ProcessChannelMode channels)
{
    saver.setProgram(QCoreApplication::applicationFilePath());
    saver.setArguments({QStringLiteral("--saver")});
    saver.setProcessChannelMode(channels);
}
