#pragma once

#include <optional>
#include <string>

// The program's texts are UTF-8; the Win32 "A" calls take the ANSI code page.
namespace Win32Text {

// Nothing when the text is not valid UTF-8 or holds a character the code page lacks: the
// call would otherwise see '?', which also matches other file names.
std::optional<std::string> toAnsi(const std::string &utf8);
std::string fromAnsi(const std::string &ansi);

// The system's own words for an error code, on one line.
std::string errorText(unsigned long code);

} // namespace Win32Text
