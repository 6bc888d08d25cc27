#include "platform/windows/win32text.h"

#include <windows.h>

namespace {

std::optional<std::wstring> widen(const std::string &text, UINT codePage, DWORD flags)
{
    if (text.empty())
        return std::wstring();
    const int length
        = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), wide.data(), length);
    return wide;
}

std::string narrow(const std::wstring &wide, UINT codePage, DWORD flags, BOOL *lossy)
{
    if (wide.empty())
        return {};
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr,
                                           0, nullptr, lossy);
    std::string text(size_t(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), text.data(), length,
                            nullptr, nullptr);
    return text;
}

} // namespace

namespace Win32Text {

std::optional<std::string> toAnsi(const std::string &utf8)
{
    const std::optional<std::wstring> wide = widen(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (!wide)
        return std::nullopt;
    if (GetACP() == CP_UTF8)
        return utf8;
    // No best fit either: it would quietly turn one file name into another.
    BOOL lossy = FALSE;
    std::string ansi = narrow(*wide, CP_ACP, WC_NO_BEST_FIT_CHARS, &lossy);
    if (lossy)
        return std::nullopt;
    return ansi;
}

std::string fromAnsi(const std::string &ansi)
{
    return narrow(widen(ansi, CP_ACP, 0).value_or(std::wstring()), CP_UTF8, 0, nullptr);
}

std::string errorText(unsigned long code)
{
    char *buffer = nullptr;
    const DWORD length
        = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                             | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                         nullptr, code, 0, reinterpret_cast<char *>(&buffer), 0, nullptr);
    std::string text = length > 0 && buffer ? fromAnsi(std::string(buffer, length)) : std::string();
    LocalFree(buffer);
    while (
        !text.empty()
        && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "error " + std::to_string(code);
    return text;
}

} // namespace Win32Text
