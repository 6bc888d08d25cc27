#include "platform/settingsbacking.h"
#include "platform/windows/win32text.h"

#include <windows.h>

#include <deque>

namespace {

// Where Windows keeps such per-user program settings; every value REG_SZ text, written and
// read through the wide calls, so that nothing is lost to the code page or rewritten.
constexpr const wchar_t *MainKey = L"Software\\VB and VBA Program Settings\\61027\\Main";

const wchar_t *wide(std::u16string_view text, std::wstring &buffer)
{
    buffer.assign(text.begin(), text.end());
    return buffer.c_str();
}

class RegistryReading final : public SettingsBacking::Reading
{
public:
    RegistryReading()
    {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, MainKey, 0, KEY_READ, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RegistryReading() override
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    RegistryReading(const RegistryReading &) = delete;
    RegistryReading &operator=(const RegistryReading &) = delete;

    std::optional<std::u16string_view> value(std::u16string_view key) const override
    {
        if (!m_key)
            return std::nullopt;
        std::wstring name;
        wide(key, name);
        for (;;) {
            DWORD type = 0;
            DWORD bytes = 0;
            if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &bytes)
                    != ERROR_SUCCESS
                || type != REG_SZ)
                return std::nullopt;
            std::u16string data(bytes / sizeof(char16_t) + 1, u'\0');
            const LONG status = RegQueryValueExW(m_key, name.c_str(), nullptr, &type,
                                                 reinterpret_cast<BYTE *>(data.data()), &bytes);
            if (status == ERROR_MORE_DATA)
                continue; // it grew in between
            if (status != ERROR_SUCCESS || type != REG_SZ)
                return std::nullopt;
            data.resize(bytes / sizeof(char16_t));
            // The terminator, where the value was stored with one.
            if (!data.empty() && data.back() == u'\0')
                data.pop_back();
            return m_values.emplace_back(std::move(data));
        }
    }

    std::vector<std::u16string_view> keys() const override
    {
        std::vector<std::u16string_view> result;
        if (!m_key)
            return result;
        DWORD count = 0;
        DWORD longest = 0;
        if (RegQueryInfoKeyW(m_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             &longest, nullptr, nullptr, nullptr)
            != ERROR_SUCCESS)
            return result;
        std::wstring name(longest + 1, L'\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = DWORD(name.size());
            if (RegEnumValueW(m_key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
                != ERROR_SUCCESS)
                break;
            result.push_back(m_values.emplace_back(name.begin(), name.begin() + length));
        }
        return result;
    }

private:
    HKEY m_key = nullptr;
    mutable std::deque<std::u16string> m_values; // what the views point into
};

class SettingsRegistry final : public SettingsBacking
{
public:
    std::unique_ptr<Reading> read() override { return std::make_unique<RegistryReading>(); }

    // Value by value, in the order given: the registry has no change of several values in one.
    Outcome<std::string> write(const std::vector<Change> &changes) override
    {
        HKEY key = nullptr;
        LONG status = RegCreateKeyExW(HKEY_CURRENT_USER, MainKey, 0, nullptr, 0,
                                      KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) {
            return Failure {Win32Text::errorText(DWORD(status))};
        }
        std::wstring name;
        std::wstring data;
        for (const Change &change : changes) {
            wide(change.key, name);
            if (change.value) {
                wide(*change.value, data);
                status = RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE *>(data.c_str()),
                                        DWORD((data.size() + 1) * sizeof(wchar_t)));
            } else {
                status = RegDeleteValueW(key, name.c_str());
                if (status == ERROR_FILE_NOT_FOUND)
                    status = ERROR_SUCCESS;
            }
            if (status != ERROR_SUCCESS)
                break;
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return Failure {Win32Text::errorText(DWORD(status))};
        }
        return {};
    }

    std::u16string location() const override
    {
        return u"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\61027";
    }
};

} // namespace

std::unique_ptr<SettingsBacking> createSettingsBacking()
{
    return std::make_unique<SettingsRegistry>();
}
