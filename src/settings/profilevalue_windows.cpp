#include "settings/profilevalue.h"

#include <windows.h>

namespace {

std::wstring widen(const std::string &text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), wide.data(), size);
    return wide;
}

} // namespace

namespace Corvath {

bool WriteProfileValue(const std::string &section, const std::string &key, const std::string &value,
                       const std::string &file)
{
    // UTF-8 in, so the wide call: the system converts to the file's own encoding.
    const std::wstring wideSection = widen(section);
    const std::wstring wideKey = widen(key);
    const std::wstring wideValue = widen(value);
    const std::wstring wideFile = widen(file);
    return WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(),
                                      wideFile.c_str())
        != FALSE;
}

} // namespace Corvath
