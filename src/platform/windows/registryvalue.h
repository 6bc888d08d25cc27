#pragma once

#include "platform/outcome.h"

#include <cstdint>
#include <string>

// Predefined registry root, as the 32-bit handle value the About box passes.
inline constexpr std::uint32_t HKeyLocalMachine = 0x80000002u;

// What GetKeyValue read: the text, or the reason there is none (and then no text).
struct KeyValue
{
    Outcome<std::string> outcome;
    std::string text;
};

// Reads one registry value as text. It shows nothing itself.
//   - opens keyPath under rootKey for reading only (KEY_READ), so that users who may
//     not write to the machine's keys still find the program;
//   - reads at most 1024 bytes, terminator included; a longer value fails;
//   - a trailing NUL is cut off, a value stored without one keeps all its characters, and an
//     empty value (size 0) gives the empty text;
//   - REG_SZ: the text up to its first NUL (ANSI code page, converted to UTF-8);
//     REG_DWORD: the number in decimal; any other type is read, as no text;
//   - the key is always closed again.
KeyValue GetKeyValue(std::uint32_t rootKey, const std::string &keyPath,
                     const std::string &valueName);
