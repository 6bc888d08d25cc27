#include "platform/windows/win32text.h"
#include "platform/windows/windowsshell.h"

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr DWORD NotPlain = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY
    | 0x8 /* volume label */;

Failure<std::string> unshowable()
{
    return {"its name holds characters that this system's code page cannot show"};
}

// Qt and the file dialog write paths with '/'; the shell wants them as Windows writes them.
void useBackslashes(std::string &path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
}

bool isProgramFile(const std::string &path)
{
    const std::size_t dot = path.find_last_of(".\\");
    if (dot == std::string::npos || path[dot] != '.')
        return false;
    std::string extension = path.substr(dot + 1);
    for (char &c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "exe" || extension == "com";
}

std::string shellErrorText(INT_PTR code)
{
    switch (code) {
    case 0:
        return "the system is out of memory";
    case SE_ERR_SHARE:
        return "the file is in use";
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
        return "Windows has no program associated with it";
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return "the program did not take the request";
    case SE_ERR_DLLNOTFOUND:
        return "a library the program needs is missing";
    default:
        return Win32Text::errorText(DWORD(code));
    }
}

} // namespace

namespace WindowsShell {

bool fileExists(const std::string &path)
{
    const std::optional<std::string> ansi = Win32Text::toAnsi(path);
    // Windows names hold no wildcards; with one, the look-up would report some other file.
    if (!ansi || ansi->empty() || ansi->find_first_of("*?") != std::string::npos)
        return false;
    WIN32_FIND_DATAA entry {};
    const HANDLE search = FindFirstFileA(ansi->c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return entry.cFileName[0] != '\0' && (entry.dwFileAttributes & NotPlain) == 0;
}

Outcome<std::string> openDocument(const std::string &path, std::uintptr_t ownerWindow)
{
    std::optional<std::string> ansi = Win32Text::toAnsi(path);
    if (!ansi)
        return unshowable();
    if (ansi->empty())
        return Failure {"no document is named"};
    if (GetFileAttributesA(ansi->c_str()) != INVALID_FILE_ATTRIBUTES)
        useBackslashes(*ansi);
    const HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(ownerWindow), nullptr,
                                           ansi->c_str(), nullptr, "c:\\", SW_SHOWNORMAL);
    if (const auto code = reinterpret_cast<INT_PTR>(result); code <= 32)
        return Failure {shellErrorText(code)};
    return {};
}

Outcome<std::string> startProgram(const std::string &commandLine)
{
    const std::optional<std::string> ansi = Win32Text::toAnsi(commandLine);
    if (!ansi)
        return unshowable();
    if (ansi->find_first_not_of(" \t") == std::string::npos)
        return Failure {"no program is named"};
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(ansi->begin(), ansi->end());
    line.push_back('\0');
    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return Failure {Win32Text::errorText(GetLastError())};
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return {};
}

Outcome<std::string> startEntry(const std::string &entry)
{
    // A path picked in the file dialog may hold blanks, and a typed one may be quoted: the
    // whole entry naming a file wins.
    std::string path = entry;
    if (path.size() > 2 && path.front() == '"' && path.find('"', 1) == path.size() - 1)
        path = path.substr(1, path.size() - 2);
    const std::optional<std::string> ansi = Win32Text::toAnsi(path);
    if (!ansi)
        return unshowable();
    const DWORD attributes
        = ansi->empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(ansi->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return startProgram(entry);
    useBackslashes(path);
    // CreateProcess cannot open a document; the shell opens it with its program.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !isProgramFile(path))
        return openDocument(path, 0);
    return startProgram('"' + path + '"');
}

} // namespace WindowsShell
