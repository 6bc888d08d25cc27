#pragma once

// Helpers for the tests of the Windows back end: a scratch folder, registry values written as
// raw bytes, and the record that stamp.exe leaves when a test starts it.
#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace WinTest {

// A new empty folder under the user's temporary folder, removed with its content at the end.
class ScratchFolder final
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "\\" + name; }
    // Creates (or empties) a file with the given attributes.
    std::string makeFile(const std::string &name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
    std::string makeFolder(const std::string &name) const;

private:
    std::string m_path;
};

// The full path of stamp.exe, built beside the test program.
std::string stampProgram();
// Copies stamp.exe to target.
void copyStamp(const std::string &target);

// Points stamp.exe at a new record file and returns its path.
std::string expectStamp(const ScratchFolder &folder);
// The record's fields (time, show, cwd, cmd), once stamp.exe has written it; nothing when it
// has not appeared within half a minute.
std::optional<std::map<std::string, std::string>> waitForStamp(const std::string &record);

// Writes a registry value as raw bytes, creating the key.
void setRegistryValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
                      const void *data, DWORD size);
void setRegistryText(HKEY root, const std::string &key, const std::string &name,
                     const std::string &text);
void deleteRegistryValue(HKEY root, const std::string &key, const std::string &name);
void deleteRegistryKey(HKEY root, const std::string &key);

std::string lowerCase(std::string text);

} // namespace WinTest
