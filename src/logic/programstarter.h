#pragma once

#include <QString>

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
};
