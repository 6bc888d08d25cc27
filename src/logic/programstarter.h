#pragma once

#include <QString>

#include <functional>

// Starts launch list entries. The program uses DesktopStarter; tests record instead.
class ProgramStarter
{
public:
    ProgramStarter() = default;
    virtual ~ProgramStarter() = default;
    ProgramStarter(const ProgramStarter &) = delete;
    ProgramStarter &operator=(const ProgramStarter &) = delete;

    // Starts `entry` (a program with its arguments, a document or folder, a web address or an
    // application launcher file) and does not wait for it.
    // Returns false, with the reason in words, when it could not be started.
    virtual bool start(const QString &entry, QString &reason) = 0;

    // Told of an entry whose start failed only after start() had returned true (a document
    // whose opener found no application for it), with the reason in words.
    using LateFailure = std::function<void(const QString &entry, const QString &reason)>;
    void setLateFailureHandler(LateFailure handler) { m_lateFailure = std::move(handler); }

protected:
    void failedLater(const QString &entry, const QString &reason) const
    {
        if (m_lateFailure)
            m_lateFailure(entry, reason);
    }

private:
    LateFailure m_lateFailure;
};
