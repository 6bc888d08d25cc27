// A program for the tests to start: it writes when it ran, how it was asked to show its
// window, its working folder and its command line to the file that QUILLMOOR_STAMP names.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char target[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QUILLMOOR_STAMP", target, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;

    STARTUPINFOA startup {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    FILETIME now {};
    GetSystemTimeAsFileTime(&now);

    const std::string text
        = "time=" + std::to_string((ULONGLONG(now.dwHighDateTime) << 32) | now.dwLowDateTime)
        + "\r\n" + "show="
        + std::to_string((startup.dwFlags & STARTF_USESHOWWINDOW) ? int(startup.wShowWindow) : -1)
        + "\r\n" + "cwd=" + folder + "\r\n" + "cmd=" + GetCommandLineA() + "\r\n";

    // Written aside and moved into place, so that the test never reads half of it.
    const std::string partial = std::string(target) + ".part";
    const HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size())
        return 3;
    return MoveFileExA(partial.c_str(), target, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
