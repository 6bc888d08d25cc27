#include "platform/startupentry.h"
#include "platform/windows/profilevalue.h"
#include "platform/windows/win32text.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace {

// The directory of the executable, one "\", its base name and ".exe", whatever extension it
// really has. Qt reports the path with '/'.
std::string runValue(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    const std::size_t separator = path.find_last_of('\\');
    const std::string directory
        = separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    if (const std::size_t dot = name.find_last_of('.'); dot != std::string::npos && dot > 0)
        name.resize(dot);
    return directory + name + ".exe";
}

// "run" lists programs separated by blanks, so an unquoted path with blanks would name other
// files; the short (8.3) form of an existing program's path has none. Nothing when there is no
// such form: the volume keeps no short names, or the program is not there.
std::optional<std::string> withoutBlanks(const std::string &value)
{
    if (value.find(' ') == std::string::npos)
        return value;
    const auto ansi = Win32Text::toAnsi(value);
    if (!ansi)
        return std::nullopt;
    char shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(ansi->c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || std::string(shortPath).find(' ') != std::string::npos)
        return std::nullopt;
    return Win32Text::fromAnsi(shortPath);
}

class WinIniStartupEntry final : public StartupEntry
{
public:
    Outcome<std::string> add(const std::string &executablePath) override
    {
        if (executablePath.empty())
            return Failure {"the program's own path is unknown"};
        const std::string path = runValue(executablePath);
        const auto value = withoutBlanks(path);
        if (!value)
            return Failure {path
                            + " holds blanks and has no short name without them, so Windows "
                              "would not start it from \"run\""};
        return write(*value);
    }

    Outcome<std::string> remove() override { return write(std::string()); }

private:
    static Outcome<std::string> write(const std::string &value)
    {
        return Corvath::WriteProfileValue("windows", "run", value, "win.ini");
    }
};

} // namespace

std::unique_ptr<StartupEntry> createStartupEntry()
{
    return std::make_unique<WinIniStartupEntry>();
}
