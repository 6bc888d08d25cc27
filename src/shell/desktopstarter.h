#pragma once

#include "logic/programstarter.h"

#include <QStringList>

// Starts entries as detached processes, and opens documents with the desktop's application
// for them.
class DesktopStarter final : public ProgramStarter
{
public:
    bool start(const QString &entry, QString &reason) override;

private:
    static bool startProgram(const QString &program, const QStringList &arguments, QString &reason);
    static bool openDocument(const QString &path, QString &reason);
};
