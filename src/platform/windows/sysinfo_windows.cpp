#include "platform/sysinfo.h"
#include "platform/windows/registryvalue.h"
#include "platform/windows/win32text.h"
#include "platform/windows/windowsshell.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace {

constexpr DWORD ValueBufferSize = 1024;

// The predefined roots are negative 32-bit numbers, sign-extended where handles are wider.
HKEY rootHandle(std::uint32_t rootKey)
{
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(rootKey))));
}

class RegistrySysInfo final : public SysInfo
{
public:
    std::optional<std::string> find() override
    {
        // Taken as it stands: whether it can be started shows when it is started.
        const KeyValue program
            = GetKeyValue(HKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH");
        if (program.outcome)
            return program.text;
        const KeyValue folder
            = GetKeyValue(HKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
        if (!folder.outcome)
            return std::nullopt;
        std::string path = folder.text;
        if (path.empty() || path.back() != '\\')
            path += '\\';
        path += "MSINFO32.EXE";
        if (WindowsShell::fileExists(path))
            return path;
        return std::nullopt;
    }

    bool start(const std::string &path) override
    {
        // Quoted, so that blanks in the path cannot make another program of it.
        if (path.empty() || path.find('"') != std::string::npos)
            return false;
        return WindowsShell::startProgram('"' + path + '"').ok();
    }
};

} // namespace

std::unique_ptr<SysInfo> createSysInfo()
{
    return std::make_unique<RegistrySysInfo>();
}

KeyValue GetKeyValue(std::uint32_t rootKey, const std::string &keyPath,
                     const std::string &valueName)
{
    const std::optional<std::string> ansiPath = Win32Text::toAnsi(keyPath);
    const std::optional<std::string> ansiName = Win32Text::toAnsi(valueName);
    if (!ansiPath || !ansiName)
        return {Failure {keyPath + "\\" + valueName + " has no form in the code page"}, {}};
    HKEY key = nullptr;
    // Read rights only: a standard user may not write to the machine's keys.
    LONG status = RegOpenKeyExA(rootHandle(rootKey), ansiPath->c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS)
        return {Failure {keyPath + ": " + Win32Text::errorText(DWORD(status))}, {}};
    std::array<char, ValueBufferSize> buffer {};
    DWORD size = ValueBufferSize;
    DWORD type = REG_NONE;
    status = RegQueryValueExA(key, ansiName->c_str(), nullptr, &type,
                              reinterpret_cast<BYTE *>(buffer.data()), &size);
    RegCloseKey(key);
    if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && size > ValueBufferSize))
        return {Failure {valueName + " is longer than 1024 bytes"}, {}};
    if (status != ERROR_SUCCESS)
        return {Failure {valueName + ": " + Win32Text::errorText(DWORD(status))}, {}};

    switch (type) {
    case REG_SZ: {
        // A text ends at its first NUL, whether or not it was stored with one.
        std::string text(buffer.data(), size);
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        return {{}, Win32Text::fromAnsi(text)};
    }
    case REG_DWORD: {
        std::uint32_t number = 0;
        for (DWORD i = std::min<DWORD>(size, 4); i > 0; --i)
            number = (number << 8) | static_cast<unsigned char>(buffer[i - 1]);
        return {{}, std::to_string(number)};
    }
    default:
        return {}; // not asked for by anyone
    }
}
