#pragma once

#include <functional>
#include <memory>
#include <string>

// Starts a launch list entry as the desktop would, without waiting for it. An entry is a
// program with its arguments, a document or folder, a launcher file or a web address. Texts are
// UTF-8; `reason` receives why a start failed, in words for the user.
//
// Linux: a path that names a file as a whole wins over splitting it by the shell's quoting;
// programs start as detached processes, desktop entries by their command, documents, folders
// and addresses through the desktop's opener.
// Windows: programs through CreateProcess, documents, folders and addresses through the shell.
class EntryStarter
{
public:
    EntryStarter() = default;
    virtual ~EntryStarter() = default;
    EntryStarter(const EntryStarter &) = delete;
    EntryStarter &operator=(const EntryStarter &) = delete;

    virtual bool start(const std::string &entry, std::string &reason) = 0;

    // Told of a start that looked good at first and failed later (Linux: the opener found
    // nothing to open it with), with the entry and the reason. Nobody is told once the starter
    // is gone.
    using LateFailure = std::function<void(const std::string &entry, const std::string &reason)>;
    void setLateFailureHandler(LateFailure handler) { *m_lateFailure = std::move(handler); }

protected:
    std::shared_ptr<LateFailure> m_lateFailure = std::make_shared<LateFailure>();
};

// The implementation for the OS the program was built for.
std::unique_ptr<EntryStarter> createEntryStarter();
