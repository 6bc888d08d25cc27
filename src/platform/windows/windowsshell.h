#pragma once

#include "platform/outcome.h"

#include <cstdint>
#include <string>

// Files and programs handed to Windows itself, for the Windows build of the document opener,
// the read-me, the program starter and the system information program. Texts, and the reasons
// for the user when something fails, are UTF-8.
namespace WindowsShell {

// True when the first directory entry matching `path` is a plain file: one that is a
// directory, hidden or a system file counts as missing, and so does any error of the look-up.
bool fileExists(const std::string &path);

// Asks the shell to open a document or a web address with its associated program: the default
// action, in a normal window, with "c:\" as the default directory. ownerWindow may be 0.
Outcome<std::string> openDocument(const std::string &path, std::uintptr_t ownerWindow);

// Starts a command line without waiting for it, in a normal window that gets the focus.
Outcome<std::string> startProgram(const std::string &commandLine);

// A launch list entry: a file or folder that is not a program goes to openDocument, anything
// else is a command line for startProgram.
Outcome<std::string> startEntry(const std::string &entry);

} // namespace WindowsShell
