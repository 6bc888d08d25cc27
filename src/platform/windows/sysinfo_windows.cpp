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
        std::string value;
        // Taken as it stands: whether it can be started shows when it is started.
        if (GetKeyValue(HKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                        value))
            return value;
        if (!GetKeyValue(HKeyLocalMachine, "SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO",
                         value))
            return std::nullopt;
        if (value.empty() || value.back() != '\\')
            value += '\\';
        value += "MSINFO32.EXE";
        if (WindowsShell::fileExists(value))
            return value;
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

bool GetKeyValue(std::uint32_t rootKey, const std::string &keyPath, const std::string &valueName,
                 std::string &output)
{
    const std::optional<std::string> ansiPath = Win32Text::toAnsi(keyPath);
    const std::optional<std::string> ansiName = Win32Text::toAnsi(valueName);
    HKEY key = nullptr;
    // Read rights only: a standard user may not write to the machine's keys.
    if (!ansiPath || !ansiName
        || RegOpenKeyExA(rootHandle(rootKey), ansiPath->c_str(), 0, KEY_READ, &key)
            != ERROR_SUCCESS) {
        output.clear();
        return false;
    }
    std::array<char, ValueBufferSize> buffer {};
    DWORD size = ValueBufferSize;
    DWORD type = REG_NONE;
    const LONG status = RegQueryValueExA(key, ansiName->c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE *>(buffer.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || size > ValueBufferSize) {
        output.clear();
        return false;
    }

    switch (type) {
    case REG_SZ: {
        // A text ends at its first NUL, whether or not it was stored with one.
        std::string text(buffer.data(), size);
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        output = Win32Text::fromAnsi(text);
        break;
    }
    case REG_DWORD: {
        std::uint32_t number = 0;
        for (DWORD i = std::min<DWORD>(size, 4); i > 0; --i)
            number = (number << 8) | static_cast<unsigned char>(buffer[i - 1]);
        output = std::to_string(number);
        break;
    }
    default:
        break; // not asked for by anyone: the output stays as it was
    }
    return true;
}
