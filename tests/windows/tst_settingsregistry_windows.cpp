// The settings store in the registry: values kept exactly, as the REG_SZ text that Windows
// keeps such program settings in.
#include "platform/settingsbacking.h"
#include "winsupport.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

constexpr const char *MainKey = "Software\\VB and VBA Program Settings\\61027\\Main";

class SettingsRegistryTest : public testing::Test
{
protected:
    void SetUp() override { WinTest::deleteRegistryKey(HKEY_CURRENT_USER, MainKey); }
    void TearDown() override { WinTest::deleteRegistryKey(HKEY_CURRENT_USER, MainKey); }

    std::unique_ptr<SettingsBacking> store = createSettingsBacking();

    bool write(const std::vector<SettingsBacking::Change> &changes)
    {
        const auto written = store->write(changes);
        EXPECT_EQ(written.ok(), written.reason().empty()) << written.reason();
        return written.ok();
    }
};

TEST_F(SettingsRegistryTest, ValuesAreKeptExactly)
{
    const std::u16string values[]
        = {u"@Variant(junk)",        u"@",           u"a,b=c;#", u"  blanks  ",
           u"C:\\Tools\\run.exe /x", u"Jörg \u96e8", u""};
    for (const std::u16string &value : values) {
        ASSERT_TRUE(write({{u"Icon", value}}));
        const auto reading = store->read(); // what the views point into
        const auto read = reading->value(u"Icon");
        ASSERT_TRUE(read.has_value());
        EXPECT_EQ(std::u16string(*read), value);
    }
    // Stored as text that other programs read as such.
    DWORD type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\61027\\Main",
                           L"Icon", RRF_RT_ANY, &type, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
}

TEST_F(SettingsRegistryTest, MissingKeysAndRemovals)
{
    EXPECT_FALSE(store->read()->value(u"Interval").has_value()); // no key at all yet
    EXPECT_TRUE(store->read()->keys().empty()); // views into nothing
    ASSERT_TRUE(write({{u"app 1", u"a"}, {u"app 2", u"b"}, {u"Interval", u".5"}}));
    ASSERT_TRUE(write({{u"app 2", std::nullopt}, {u"app 9", std::nullopt}}));
    const auto reading = store->read();
    EXPECT_FALSE(reading->value(u"app 2").has_value());
    EXPECT_EQ(std::u16string(*reading->value(u"app 1")), u"a");
    EXPECT_EQ(reading->keys().size(), 2u);
}

TEST_F(SettingsRegistryTest, OtherValueTypesAreNoText)
{
    const DWORD number = 7;
    WinTest::setRegistryValue(HKEY_CURRENT_USER, MainKey, "Interval", REG_DWORD, &number,
                              sizeof number);
    // A text stored without its terminator keeps every character.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, MainKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExW(key, L"Icon", 0, REG_SZ, reinterpret_cast<const BYTE *>(L"ab"), 4);
    RegCloseKey(key);
    const auto reading = store->read();
    EXPECT_FALSE(reading->value(u"Interval").has_value());
    EXPECT_EQ(std::u16string(*reading->value(u"Icon")), u"ab");
}

} // namespace
