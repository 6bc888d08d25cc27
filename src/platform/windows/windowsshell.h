#pragma once

#include <cstdint>
#include <string>

// Files and programs handed to Windows itself, for the Windows build of the document opener,
// the read-me, the program starter and the system information program. Texts are UTF-8;
// `reason` receives why something failed, in words for the user.
namespace WindowsShell {

// True when the first directory entry matching `path` is a plain file: one that is a
// directory, hidden or a system file counts as missing, and so does any error of the look-up.
bool fileExists(const std::string &path);

// Asks the shell to open a document or a web address with its associated program: the default
// action, in a normal window, with "c:\" as the default directory. ownerWindow may be 0.
bool openDocument(const std::string &path, std::uintptr_t ownerWindow, std::string &reason);

// Starts a command line without waiting for it, in a normal window that gets the focus.
bool startProgram(const std::string &commandLine, std::string &reason);

// A launch list entry: a file or folder that is not a program goes to openDocument, anything
// else is a command line for startProgram.
bool startEntry(const std::string &entry, std::string &reason);

} // namespace WindowsShell
