#pragma once

#include "logic/programstarter.h"

#include <memory>

class EntryStarter;

// Starts entries as the desktop would: programs as detached processes, documents, folders and
// addresses with the desktop's application for them, launcher files by their command. How is
// the OS's business (platform/entrystarter.h).
class DesktopStarter final : public ProgramStarter
{
public:
    DesktopStarter();
    ~DesktopStarter() override;

    bool start(const QString &entry, QString &reason) override;

private:
    std::unique_ptr<EntryStarter> m_starter;
};
