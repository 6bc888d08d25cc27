#include "platform/instancelock.h"

#include <windows.h>

namespace {

class MutexInstance final : public InstanceLock
{
public:
    ~MutexInstance() override
    {
        if (m_mutex)
            CloseHandle(m_mutex);
    }

    bool tryLock() override
    {
        if (m_mutex)
            return true;
        // Owned by nobody: its existence is the claim, and the system closes the handle with
        // the process.
        const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\Quillmoor.61027");
        // Refused access means that it exists; any other failure leaves no claim to be made, and
        // one instance too many is better than none.
        if (!mutex)
            return GetLastError() != ERROR_ACCESS_DENIED;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return false;
        }
        m_mutex = mutex;
        return true;
    }

private:
    HANDLE m_mutex = nullptr;
};

} // namespace

std::unique_ptr<InstanceLock> createInstanceLock()
{
    return std::make_unique<MutexInstance>();
}
