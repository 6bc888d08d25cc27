#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The operating system's system information program, started from the About box.
//
// Linux: the first of these found on PATH as an executable regular file: hardinfo2,
// hardinfo, kinfocenter, gnome-system-monitor, mate-system-monitor, xfce4-taskmanager.
// Windows: msinfo32, found through the registry:
//   1. GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\Microsoft\Shared Tools\MSINFO", "PATH"):
//      when read, that text is the program's full path as it stands, untested (even empty);
//   2. otherwise GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\Microsoft\Shared Tools Location",
//      "MSINFO") names a directory, and directory + "\MSINFO32.EXE" is the program when it is
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

// Predefined registry root, as the 32-bit handle value the About box passes.
inline constexpr std::uint32_t HKeyLocalMachine = 0x80000002u;

// Reads one registry value as text. True when the value was read; on failure the output is
// empty. It shows nothing itself. Windows:
//   - opens keyPath under rootKey for reading only (KEY_READ), so that users who may
//     not write to the machine's keys still find the program;
//   - reads at most 1024 bytes, terminator included; a longer value fails;
//   - a trailing NUL is cut off, a value stored without one keeps all its characters, and an
//     empty value (size 0) gives the empty text;
//   - REG_SZ: the output is the text up to its first NUL (ANSI code page, converted to UTF-8);
//     REG_DWORD: the output is the number in decimal; any other type leaves the output as it
//     was and still returns true;
//   - the key is always closed again.
// Elsewhere there is no registry: always false.
bool GetKeyValue(std::uint32_t rootKey, const std::string &keyPath, const std::string &valueName,
                 std::string &output);
