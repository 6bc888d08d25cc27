#include "winsupport.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace WinTest {

ScratchFolder::ScratchFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    static unsigned serial = 0;
    for (;;) {
        m_path = std::string(temp) + "quillmoor-" + std::to_string(GetCurrentProcessId()) + "-"
            + std::to_string(++serial);
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + m_path);
    }
}

ScratchFolder::~ScratchFolder()
{
    // Attributes such as read-only or system would keep the files from being deleted.
    WIN32_FIND_DATAA entry {};
    const HANDLE search = FindFirstFileA((m_path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..")
                SetFileAttributesA(file(name).c_str(), FILE_ATTRIBUTE_NORMAL);
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    std::string from = m_path + '\0'; // the shell wants a list ended by two NULs
    SHFILEOPSTRUCTA operation {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationA(&operation);
}

std::string ScratchFolder::makeFile(const std::string &name, DWORD attributes) const
{
    const std::string path = file(name);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    WriteFile(handle, "text\r\n", 6, &written, nullptr);
    CloseHandle(handle);
    if (!SetFileAttributesA(path.c_str(), attributes))
        throw std::runtime_error("cannot set the attributes of " + path);
    return path;
}

std::string ScratchFolder::makeFolder(const std::string &name) const
{
    const std::string path = file(name);
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("cannot create " + path);
    return path;
}

std::string stampProgram()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + "stamp.exe";
}

void copyStamp(const std::string &target)
{
    if (!CopyFileA(stampProgram().c_str(), target.c_str(), FALSE))
        throw std::runtime_error("cannot copy stamp.exe to " + target);
}

std::string expectStamp(const ScratchFolder &folder)
{
    static unsigned serial = 0;
    const std::string record = folder.file("stamp-" + std::to_string(++serial) + ".txt");
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("QUILLMOOR_STAMP", record.c_str());
    return record;
}

std::optional<std::map<std::string, std::string>> waitForStamp(const std::string &record)
{
    // Generous: Wine may first have to start its own services for a new process.
    for (int attempt = 0; attempt < 600; ++attempt) {
        std::ifstream in(record, std::ios::binary);
        if (in) {
            std::map<std::string, std::string> fields;
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                const std::size_t equals = line.find('=');
                if (equals != std::string::npos)
                    fields[line.substr(0, equals)] = line.substr(equals + 1);
            }
            return fields;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

void setRegistryValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
                      const void *data, DWORD size)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr)
        != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the key " + key);
    const LONG status
        = RegSetValueExA(handle, name.c_str(), 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("cannot write the value " + name);
}

void setRegistryText(HKEY root, const std::string &key, const std::string &name,
                     const std::string &text)
{
    setRegistryValue(root, key, name, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

void deleteRegistryValue(HKEY root, const std::string &key, const std::string &name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueA(handle, name.c_str());
        RegCloseKey(handle);
    }
}

void deleteRegistryKey(HKEY root, const std::string &key)
{
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

std::string lowerCase(std::string text)
{
    for (char &c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace WinTest
