#pragma once

#include <memory>
#include <optional>
#include <string>

// The operating system's system information program, started from the About box.
//
// Linux: the first of these found on PATH as an executable regular file: hardinfo2,
// hardinfo, kinfocenter, gnome-system-monitor, mate-system-monitor, xfce4-taskmanager.
// Windows: msinfo32, found through the registry:
//   1. the registry value HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools\MSINFO, "PATH":
//      when read, that text is the program's full path as it stands, untested (even empty);
//   2. otherwise HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Shared Tools Location, "MSINFO",
//      names a directory, and directory + "\MSINFO32.EXE" is the program when it is
//      an ordinary file there (not a directory, not hidden, not a system file);
//   3. otherwise there is none.
class SysInfo
{
public:
    SysInfo() = default;
    virtual ~SysInfo() = default;
    SysInfo(const SysInfo &) = delete;
    SysInfo &operator=(const SysInfo &) = delete;

    // The program's full path (UTF-8), or nothing when there is none.
    virtual std::optional<std::string> find() = 0;
    // Starts it without waiting for it, in a normal window with the focus. False when it
    // could not be started.
    virtual bool start(const std::string &path) = 0;
};

// The implementation for the OS the program was built for.
std::unique_ptr<SysInfo> createSysInfo();
