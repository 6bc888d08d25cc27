#pragma once

#include <QString>

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

    // Returns false, with the reason in words for the user, when it could not be started.
    virtual bool start(const QString &entry, QString &reason) = 0;

    // Told of a start that looked good at first and failed later (Linux: the opener found
    // nothing to open it with), with the entry and the reason. Nobody is told once the starter
    // is gone.
    using LateFailure = std::function<void(const QString &entry, const QString &reason)>;
    void setLateFailureHandler(LateFailure handler) { *m_lateFailure = std::move(handler); }

protected:
    void failedLater(const QString &entry, const QString &reason) const
    {
        if (*m_lateFailure)
            (*m_lateFailure)(entry, reason);
    }
    // For work that may finish after the starter is gone.
    std::weak_ptr<const LateFailure> lateFailure() const { return m_lateFailure; }

    // What the settings file could not read stands there as U+FFFD: it names nothing to start.
    static bool isDamaged(const QString &entry, QString &reason)
    {
        if (!entry.contains(QChar::ReplacementCharacter))
            return false;
        reason = QStringLiteral("its text in the settings file is damaged");
        return true;
    }

private:
    std::shared_ptr<LateFailure> m_lateFailure = std::make_shared<LateFailure>();
};

// The implementation for the OS the program was built for.
std::unique_ptr<ProgramStarter> createProgramStarter();
