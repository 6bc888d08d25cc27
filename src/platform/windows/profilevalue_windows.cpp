#include "platform/windows/profilevalue.h"
#include "platform/windows/win32text.h"

#include <windows.h>

namespace Corvath {

Outcome<std::string> WriteProfileValue(const std::string &section, const std::string &key,
                                       const std::string &value, const std::string &file)
{
    // The profile call takes the ANSI code page; a text it cannot hold is refused rather than
    // written with '?' in place of its characters.
    const auto ansiSection = Win32Text::toAnsi(section);
    const auto ansiKey = Win32Text::toAnsi(key);
    const auto ansiValue = Win32Text::toAnsi(value);
    const auto ansiFile = Win32Text::toAnsi(file);
    if (!ansiSection || !ansiKey || !ansiValue || !ansiFile)
        return Failure {Win32Text::errorText(ERROR_NO_UNICODE_TRANSLATION)};
    if (WritePrivateProfileStringA(ansiSection->c_str(), ansiKey->c_str(), ansiValue->c_str(),
                                   ansiFile->c_str()))
        return {};
    const DWORD error = GetLastError();
    return Failure {error != ERROR_SUCCESS ? Win32Text::errorText(error)
                                           : file + " could not be written"};
}

} // namespace Corvath
