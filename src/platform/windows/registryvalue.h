#pragma once

#include <cstdint>
#include <string>

// Predefined registry root, as the 32-bit handle value the About box passes.
inline constexpr std::uint32_t HKeyLocalMachine = 0x80000002u;

// Reads one registry value as text. True when the value was read; on failure the output is
// empty. It shows nothing itself.
//   - opens keyPath under rootKey for reading only (KEY_READ), so that users who may
//     not write to the machine's keys still find the program;
//   - reads at most 1024 bytes, terminator included; a longer value fails;
//   - a trailing NUL is cut off, a value stored without one keeps all its characters, and an
//     empty value (size 0) gives the empty text;
//   - REG_SZ: the output is the text up to its first NUL (ANSI code page, converted to UTF-8);
//     REG_DWORD: the output is the number in decimal; any other type leaves the output as it
//     was and still returns true;
//   - the key is always closed again.
bool GetKeyValue(std::uint32_t rootKey, const std::string &keyPath, const std::string &valueName,
                 std::string &output);
