#pragma once

#include "platform/outcome.h"

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <utility>

// What a start came to: done or the reason it was not, as every Outcome says; and a start that
// looked good at first but is decided only later (Linux: an opener that has yet to find what
// opens it) carries its number, which ProgramStarter::settled() gives back.
struct StartResult : Outcome<QString>
{
    using Outcome::Outcome;
    StartResult() = default;
    StartResult(Outcome<QString> outcome) // NOLINT(google-explicit-constructor): as returned
        : Outcome(std::move(outcome))
    { }

    // Nonzero for a start decided later.
    quint64 pending = 0;
};

// Starts a launch list entry as the desktop would, without waiting for it. An entry is a
// program with its arguments, a document or folder, a launcher file or a web address. The
// program uses createProgramStarter(); tests record instead.
//
// Linux: a path that names a file as a whole wins over splitting it by the shell's quoting;
// programs start through posix_spawn in a session of their own (they outlive the program),
// desktop entries by their command, documents, folders and addresses through the desktop's
// opener.
// Windows: programs through CreateProcess, documents, folders and addresses through the shell.
class ProgramStarter : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgramStarter)

public:
    ProgramStarter() = default;
    ~ProgramStarter() override = default;

    // When it could not be started, the reason in words for the user.
    virtual StartResult start(const QString &entry) = 0;

Q_SIGNALS:
    // A start that start() gave as pending is decided: the reason when it failed, an empty one
    // when it went well. Told once; not at all once the starter is gone.
    void settled(quint64 start, const QString &entry, const QString &reason);

protected:
    // Numbers a start decided later: only once it is sure to be settled.
    StartResult pending()
    {
        StartResult result;
        result.pending = ++m_lastPending;
        return result;
    }

    // What the settings file could not read stands there as U+FFFD: it names nothing to start.
    static Outcome<QString> intact(const QString &entry)
    {
        if (entry.contains(QChar::ReplacementCharacter))
            return Failure {QStringLiteral("its text in the settings file is damaged")};
        return {};
    }

private:
    quint64 m_lastPending = 0;
};

// The implementation for the OS the program was built for.
std::unique_ptr<ProgramStarter> createProgramStarter();
