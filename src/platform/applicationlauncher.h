#pragma once

#include <memory>
#include <string>
#include <vector>

// How to start what a launcher file describes. Texts are UTF-8.
struct LaunchCommand
{
    std::string program;
    std::vector<std::string> arguments;
    std::string workingDirectory; // empty: the program starts where this one runs
};

// Files that describe an application to start, rather than a document to open.
//
// Linux: desktop entries (*.desktop) of Type=Application, by the Desktop Entry rules: Exec with
// its quoting, %i %c %k expanded and the file codes dropped; Terminal=true runs it in the
// desktop's terminal; Path is the working folder; Hidden=true and a TryExec program that is not
// installed refuse it.
// Windows has no such files: shortcuts there are documents that the shell starts itself, so
// only the Linux build has an implementation.
class ApplicationLauncher
{
public:
    ApplicationLauncher() = default;
    virtual ~ApplicationLauncher() = default;
    ApplicationLauncher(const ApplicationLauncher &) = delete;
    ApplicationLauncher &operator=(const ApplicationLauncher &) = delete;

    // True when path names such a file: it is then started by its command, never opened.
    virtual bool isLauncher(const std::string &path) = 0;
    // The command that starts what the file describes. False, with the reason in words for the
    // user, when the file is no valid application entry or may not be started.
    virtual bool command(const std::string &path, LaunchCommand &command, std::string &reason) = 0;
};

// The implementation for the OS the program was built for.
std::unique_ptr<ApplicationLauncher> createApplicationLauncher();
