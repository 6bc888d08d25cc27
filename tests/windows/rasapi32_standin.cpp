// Stands in for the system's RasApi32.dll, so that the probe can be tested against each kind of
// answer. QUILLMOOR_RAS_SCENARIO picks what it reports: "none" (the default), "connected",
// "dialling-then-connected", "full" (256 connections, the first connected), "gone" (one listed
// that the status query no longer knows), "error603" or "error632". QUILLMOOR_RAS_SCENARIO_FILE,
// when set, names a file whose first word is the scenario instead, read on every call, so that a
// test can bring the link up and down while a program runs; a missing or empty file is "none". Like
// the real service it refuses record sizes it does not know and buffers too small for the list, and
// leaves the status record untouched for a handle it does not know. QUILLMOOR_RAS_LISTINGS_FILE,
// when set, gets a line for every listing, so that a test can wait for a program's probes.
#include <windows.h>

#include <ras.h>
#include <raserror.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

// The first published versions, the ones the program uses: mingw's ras.h holds only the
// newest, which begins with the same fields.
constexpr DWORD legacySize(std::size_t end)
{
    return DWORD((end + 3) / 4 * 4);
}
constexpr DWORD ConnSize = legacySize(offsetof(RASCONNA, szPhonebook));
constexpr DWORD StatusSize = legacySize(offsetof(RASCONNSTATUSA, szPhoneNumber));

struct Connection
{
    ULONG_PTR handle;
    RASCONNSTATE state;
};

constexpr Connection Connected {0x5100, RASCS_Connected};
constexpr Connection Dialling {0x6100, RASCS_ConnectDevice};
constexpr Connection Second {0x6200, RASCS_Connected};

std::string scenarioFromFile(const char *path)
{
    const HANDLE file
        = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "none";
    char text[64] = {};
    DWORD read = 0;
    const BOOL ok = ReadFile(file, text, sizeof text - 1, &read, nullptr);
    CloseHandle(file);
    std::string name = ok ? std::string(text, read) : std::string();
    name.erase(0, name.find_first_not_of(" \t\r\n"));
    name.erase(std::min(name.size(), name.find_first_of(" \t\r\n")));
    return name.empty() ? std::string("none") : name;
}

std::string scenario()
{
    char path[MAX_PATH] = {};
    const DWORD pathLength
        = GetEnvironmentVariableA("QUILLMOOR_RAS_SCENARIO_FILE", path, sizeof path);
    if (pathLength > 0 && pathLength < sizeof path)
        return scenarioFromFile(path);
    char value[64] = {};
    const DWORD length = GetEnvironmentVariableA("QUILLMOOR_RAS_SCENARIO", value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string("none");
}

DWORD connectionCount(const std::string &name)
{
    if (name == "connected" || name == "gone")
        return 1;
    if (name == "dialling-then-connected")
        return 2;
    if (name == "full")
        return 256;
    return 0;
}

Connection connectionAt(const std::string &name, DWORD index)
{
    if (name == "dialling-then-connected")
        return index == 0 ? Dialling : Second;
    return {Connected.handle + index, index == 0 ? RASCS_Connected : RASCS_Disconnected};
}

void countListing()
{
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("QUILLMOOR_RAS_LISTINGS_FILE", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    const HANDLE file
        = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, "\n", 1, &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" __declspec(dllexport) DWORD WINAPI
    RasEnumConnectionsA(LPRASCONNA connections, LPDWORD bytes, LPDWORD count)
{
    countListing();
    const std::string name = scenario();
    if (name == "error603")
        return ERROR_BUFFER_TOO_SMALL;
    if (name == "error632")
        return ERROR_INVALID_SIZE;
    if (!connections || !bytes || !count || connections->dwSize != ConnSize)
        return ERROR_INVALID_SIZE;
    const DWORD listed = connectionCount(name);
    if (*bytes < listed * ConnSize) {
        *bytes = listed * ConnSize;
        return ERROR_BUFFER_TOO_SMALL;
    }
    auto *record = reinterpret_cast<unsigned char *>(connections);
    for (DWORD i = 0; i < listed; ++i, record += ConnSize) {
        RASCONNA entry {};
        entry.dwSize = ConnSize;
        entry.hrasconn = reinterpret_cast<HRASCONN>(connectionAt(name, i).handle);
        std::strcpy(entry.szEntryName, "Quillmoor Test");
        std::strcpy(entry.szDeviceType, "modem");
        std::memcpy(record, &entry, ConnSize);
    }
    *bytes = listed * ConnSize;
    *count = listed;
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) DWORD WINAPI
    RasGetConnectStatusA(HRASCONN connection, LPRASCONNSTATUSA status)
{
    if (!status || status->dwSize != StatusSize)
        return ERROR_INVALID_SIZE;
    const std::string name = scenario();
    const auto handle = reinterpret_cast<ULONG_PTR>(connection);
    for (DWORD i = 0; i < connectionCount(name) && name != "gone"; ++i) {
        const Connection known = connectionAt(name, i);
        if (known.handle == handle) {
            status->rasconnstate = known.state;
            status->dwError = 0;
            return ERROR_SUCCESS;
        }
    }
    return ERROR_INVALID_HANDLE;
}
