#include "platform/windows/rasrecords.h"
#include "platform/windows/remoteaccess.h"

#include <windows.h>

#include <vector>

namespace {

constexpr DWORD MaxConnections = 256;
// The state of a connection set up from end to end, as the service numbers it.
constexpr DWORD RASCS_Connected = 0x2000;

using EnumConnectionsA = DWORD(WINAPI *)(RasConnA *, DWORD *, DWORD *);
using GetConnectStatusA = DWORD(WINAPI *)(void *, RasConnStatusA *);

class WindowsRemoteAccess final : public RemoteAccess
{
public:
    WindowsRemoteAccess() = default;
    ~WindowsRemoteAccess() override
    {
        if (m_library)
            FreeLibrary(m_library);
    }

    Answer firstConnection() override
    {
        if (const DWORD error = load(); error != ERROR_SUCCESS)
            return Answer::failed(error);
        m_records.assign(MaxConnections, RasConnA {});
        m_records[0].dwSize = sizeof(RasConnA);
        DWORD bytes = sizeof(RasConnA) * MaxConnections;
        DWORD count = 0;
        const DWORD status = m_enumConnections(m_records.data(), &bytes, &count);
        if (status != ERROR_SUCCESS)
            return Answer::failed(status);
        void *const first = m_records[0].hrasconn;
        if (!first)
            return {};
        return Answer::first(isConnected(first));
    }

private:
    // A state that cannot be read counts as not connected, not as a failure.
    bool isConnected(void *connection)
    {
        // A fresh record each time: the service may leave it untouched when it fails.
        RasConnStatusA status {};
        status.dwSize = sizeof status;
        return m_getConnectStatus(connection, &status) == ERROR_SUCCESS
            && status.rasconnstate == RASCS_Connected;
    }

    // Loaded on first use and kept; a system without the service is asked again each time, so
    // that installing it needs no restart.
    DWORD load()
    {
        if (m_library)
            return ERROR_SUCCESS;
        // From the system folder only: a RasApi32.dll beside the program must not be picked up.
        HMODULE library = LoadLibraryExA("RasApi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!library)
            return GetLastError();
        const auto enumConnections = reinterpret_cast<EnumConnectionsA>(
            reinterpret_cast<void *>(GetProcAddress(library, "RasEnumConnectionsA")));
        const auto getConnectStatus = reinterpret_cast<GetConnectStatusA>(
            reinterpret_cast<void *>(GetProcAddress(library, "RasGetConnectStatusA")));
        if (!enumConnections || !getConnectStatus) {
            const DWORD error = GetLastError();
            FreeLibrary(library);
            return error != ERROR_SUCCESS ? error : DWORD(ERROR_PROC_NOT_FOUND);
        }
        m_library = library;
        m_enumConnections = enumConnections;
        m_getConnectStatus = getConnectStatus;
        return ERROR_SUCCESS;
    }

    HMODULE m_library = nullptr;
    EnumConnectionsA m_enumConnections = nullptr;
    GetConnectStatusA m_getConnectStatus = nullptr;
    std::vector<RasConnA> m_records;
};

} // namespace

std::unique_ptr<RemoteAccess> createRemoteAccess()
{
    return std::make_unique<WindowsRemoteAccess>();
}
