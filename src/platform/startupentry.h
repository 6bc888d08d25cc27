#pragma once

#include "platform/outcome.h"

#include <memory>
#include <string>

// The desktop's list of programs started at log-on, as far as this program is concerned.
// Texts, and the reasons for the user when a change fails, are UTF-8. There is no query: the
// program keeps no note of whether it is entered.
//
// Linux: the XDG autostart entry $XDG_CONFIG_HOME/autostart/quillmoor.desktop.
// Windows: the entry "run" of the section "windows" in "win.ini", written with
// Corvath::WriteProfileValue (platform/windows/profilevalue.h).
class StartupEntry
{
public:
    StartupEntry() = default;
    virtual ~StartupEntry() = default;
    StartupEntry(const StartupEntry &) = delete;
    StartupEntry &operator=(const StartupEntry &) = delete;

    // Makes executablePath, the running executable's full path, the one program this entry
    // starts. Windows writes it unquoted with its extension replaced by ".exe", replacing
    // whatever "run" held before; a path with blanks goes in by its short (8.3) name, and is
    // refused when it has none, since "run" separates programs by blanks.
    virtual Outcome<std::string> add(const std::string &executablePath) = 0;
    // Takes the program out again. An entry that is already gone is no failure. Windows
    // empties "run" and leaves the key in place.
    virtual Outcome<std::string> remove() = 0;
};

// The implementation for the OS the program was built for.
std::unique_ptr<StartupEntry> createStartupEntry();
