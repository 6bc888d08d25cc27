#pragma once

#include "platform/outcome.h"

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

// Starts a launch list entry as the desktop would, without waiting for it. An entry is a
// program with its arguments, a document or folder, a launcher file or a web address. The
// program uses createProgramStarter(); tests record instead.
//
// Linux: a path that names a file as a whole wins over splitting it by the shell's quoting;
// programs start through posix_spawn in a session of their own (they outlive the program),
// desktop entries by their command, documents, folders and addresses through the desktop's
// opener.
// Windows: programs through CreateProcess, documents, folders and addresses through the shell.
class ProgramStarter
{
public:
    ProgramStarter() = default;
    virtual ~ProgramStarter() = default;
    ProgramStarter(const ProgramStarter &) = delete;
    ProgramStarter &operator=(const ProgramStarter &) = delete;

    // When it could not be started, the reason in words for the user.
    virtual Outcome<QString> start(const QString &entry) = 0;

    // A start may look good at first and be decided only later (Linux: an opener that has yet
    // to find what opens it). Such a start is numbered, lastLateStart() is its number right
    // after start() succeeded, and the handler is told its outcome once: the reason when
    // it failed, an empty one when it went well. Nobody is told once the starter is gone.
    using LateOutcome
        = std::function<void(quint64 start, const QString &entry, const QString &reason)>;
    void setLateOutcomeHandler(LateOutcome handler) { m_late->handler = std::move(handler); }
    quint64 lastLateStart() const { return m_late->last; }

    struct LateState
    {
        LateOutcome handler;
        quint64 last = 0;
    };

    // A start decided later. Settled once, also after the starter is gone.
    class PendingStart
    {
    public:
        PendingStart() = default;
        explicit PendingStart(const std::shared_ptr<LateState> &state)
            : m_state(state)
            , m_number(++state->last)
        { }
        void settle(const QString &entry, const QString &reason) const
        {
            if (const auto state = m_state.lock(); state && state->handler)
                state->handler(m_number, entry, reason);
        }

    private:
        std::weak_ptr<LateState> m_state;
        quint64 m_number = 0;
    };

protected:
    // Numbers a start decided later: only once it is sure to be settled.
    PendingStart pendingStart() const { return PendingStart(m_late); }

    // What the settings file could not read stands there as U+FFFD: it names nothing to start.
    static bool isDamaged(const QString &entry, QString &reason)
    {
        if (!entry.contains(QChar::ReplacementCharacter))
            return false;
        reason = QStringLiteral("its text in the settings file is damaged");
        return true;
    }

private:
    std::shared_ptr<LateState> m_late = std::make_shared<LateState>();
};

// The implementation for the OS the program was built for.
std::unique_ptr<ProgramStarter> createProgramStarter();
