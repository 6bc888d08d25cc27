// Registry look-ups and the system information program found through them.
#include "platform/sysinfo.h"
#include "platform/windows/registryvalue.h"
#include "winsupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using namespace WinTest;

constexpr std::uint32_t HKeyCurrentUser = 0x80000001u;
constexpr const char *TestKey = "Software\\Quillmoor Tests\\GetKeyValue";

struct Stored
{
    const char *name;
    DWORD type;
    std::string data;
    bool found;
    std::string output;
};

std::ostream &operator<<(std::ostream &out, const Stored &stored)
{
    return out << stored.name;
}

class GetKeyValueTest : public testing::TestWithParam<Stored>
{
protected:
    static void SetUpTestSuite() { deleteRegistryKey(HKEY_CURRENT_USER, TestKey); }
    static void TearDownTestSuite() { deleteRegistryKey(HKEY_CURRENT_USER, TestKey); }
};

TEST_P(GetKeyValueTest, ReadsTheValueAsText)
{
    const Stored stored = GetParam();
    if (std::string(stored.name) == "CodePage" && GetACP() != 1252)
        GTEST_SKIP() << "the value is written in code page 1252, the system has " << GetACP();
    if (stored.type != REG_NONE)
        setRegistryValue(HKEY_CURRENT_USER, TestKey, stored.name, stored.type, stored.data.data(),
                         DWORD(stored.data.size()));
    const KeyValue value = GetKeyValue(HKeyCurrentUser, TestKey, stored.name);
    EXPECT_EQ(value.outcome.ok(), stored.found);
    EXPECT_EQ(value.outcome.reason().empty(), stored.found);
    EXPECT_EQ(value.text, stored.output);
}

std::string dword(DWORD number)
{
    return std::string(reinterpret_cast<const char *>(&number), sizeof number);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GetKeyValueTest,
    testing::Values(
        Stored {"WithNul", REG_SZ, std::string("C:\\Tools\\x.exe", 15), true, "C:\\Tools\\x.exe"},
        Stored {"WithoutNul", REG_SZ, "C:\\Tools\\x.exe", true, "C:\\Tools\\x.exe"},
        Stored {"Empty", REG_SZ, "", true, ""},
        Stored {"OnlyNul", REG_SZ, std::string(1, '\0'), true, ""},
        // A text ends at its first NUL.
        Stored {"TwoNuls", REG_SZ, std::string("ab\0\0", 4), true, "ab"},
        Stored {"Fills1024", REG_SZ, std::string(1023, 'x') + '\0', true, std::string(1023, 'x')},
        Stored {"LongerThan1024", REG_SZ, std::string(1024, 'x') + '\0', false, ""},
        // Stored in the code page, handed on as UTF-8.
        Stored {"CodePage", REG_SZ, std::string("caf\xe9", 5), true, "caf\xc3\xa9"},
        Stored {"Number", REG_DWORD, dword(1234), true, "1234"},
        Stored {"LargestNumber", REG_DWORD, dword(0xffffffff), true, "4294967295"},
        Stored {"OtherType", REG_BINARY, "\x01\x02", true, ""},
        Stored {"Missing", REG_NONE, "", false, ""}),
    [](const testing::TestParamInfo<Stored> &info) { return std::string(info.param.name); });

TEST(GetKeyValue, MissingKeyFails)
{
    const KeyValue value
        = GetKeyValue(HKeyCurrentUser, "Software\\Quillmoor Tests\\No Such Key", "PATH");
    EXPECT_FALSE(value.outcome);
    EXPECT_FALSE(value.outcome.reason().empty());
    EXPECT_EQ(value.text, "");
}

// The keys msinfo32 is found through, under HKEY_LOCAL_MACHINE of the test's own prefix.
constexpr const char *InfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char *LocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";

class SysInfoTest : public testing::Test
{
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        deleteRegistryValue(HKEY_LOCAL_MACHINE, InfoKey, "PATH");
        deleteRegistryValue(HKEY_LOCAL_MACHINE, LocationKey, "MSINFO");
    }

    ScratchFolder m_folder;
};

TEST_F(SysInfoTest, PathEntryIsStartedAsItStands)
{
    const std::string program = m_folder.makeFolder("Micro soft") + "\\msinfo32.exe";
    copyStamp(program);
    setRegistryText(HKEY_LOCAL_MACHINE, InfoKey, "PATH", program);
    const auto sysInfo = createSysInfo();
    ASSERT_EQ(sysInfo->find(), program);

    const std::string record = expectStamp(m_folder);
    ASSERT_TRUE(sysInfo->start(program));
    const auto stamp = waitForStamp(record);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->at("show"), std::to_string(SW_SHOWNORMAL));
    EXPECT_EQ(stamp->at("cmd"), '"' + program + '"');
}

TEST_F(SysInfoTest, PathEntryIsNotTestedAndWinsOverTheLocation)
{
    const std::string missing = m_folder.file("gone\\msinfo32.exe");
    copyStamp(m_folder.file("MSINFO32.EXE"));
    setRegistryText(HKEY_LOCAL_MACHINE, LocationKey, "MSINFO", m_folder.path());
    const auto sysInfo = createSysInfo();

    setRegistryText(HKEY_LOCAL_MACHINE, InfoKey, "PATH", missing);
    EXPECT_EQ(sysInfo->find(), missing);
    EXPECT_FALSE(sysInfo->start(missing));

    // Even empty, it counts as found.
    setRegistryText(HKEY_LOCAL_MACHINE, InfoKey, "PATH", "");
    EXPECT_EQ(sysInfo->find(), std::string());
    EXPECT_FALSE(sysInfo->start(""));
}

TEST_F(SysInfoTest, LocationEntryNeedsAPlainMsinfo32There)
{
    const auto sysInfo = createSysInfo();
    EXPECT_EQ(sysInfo->find(), std::nullopt);

    setRegistryText(HKEY_LOCAL_MACHINE, LocationKey, "MSINFO", m_folder.path());
    EXPECT_EQ(sysInfo->find(), std::nullopt);

    const std::string program = m_folder.file("MSINFO32.EXE");
    copyStamp(program);
    EXPECT_EQ(sysInfo->find(), program);
    setRegistryText(HKEY_LOCAL_MACHINE, LocationKey, "MSINFO", m_folder.path() + "\\");
    EXPECT_EQ(sysInfo->find(), program);

    const std::string record = expectStamp(m_folder);
    ASSERT_TRUE(sysInfo->start(program));
    EXPECT_TRUE(waitForStamp(record));

    ASSERT_TRUE(SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(sysInfo->find(), std::nullopt);
    ASSERT_TRUE(SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(sysInfo->find(), std::nullopt);
}

TEST_F(SysInfoTest, FolderNamedMsinfo32IsNotTheProgram)
{
    m_folder.makeFolder("MSINFO32.EXE");
    setRegistryText(HKEY_LOCAL_MACHINE, LocationKey, "MSINFO", m_folder.path());
    EXPECT_EQ(createSysInfo()->find(), std::nullopt);
}

TEST_F(SysInfoTest, QuoteInThePathIsNotStarted)
{
    // It would end the quoted program name, and stamp.exe would start with an argument.
    EXPECT_FALSE(createSysInfo()->start(stampProgram() + "\" \"x"));
}

} // namespace
