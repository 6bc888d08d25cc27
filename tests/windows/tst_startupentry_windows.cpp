// The start-up entry: "run" in the section "windows" of win.ini, read back as the system sees it.
#include "platform/startupentry.h"
#include "platform/windows/profilevalue.h"
#include "winsupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

constexpr const char *Absent = "<absent>";

std::string runEntry()
{
    char value[1024] = {};
    GetProfileStringA("windows", "run", Absent, value, sizeof value);
    return value;
}

void setRunEntry(const char *value)
{
    ASSERT_TRUE(WriteProfileStringA("windows", "run", value));
}

struct Entered
{
    const char *executable;
    const char *run;
};

std::ostream &operator<<(std::ostream &out, const Entered &entered)
{
    return out << entered.executable;
}

class StartupEntryAdd : public testing::TestWithParam<Entered>
{
};

TEST_P(StartupEntryAdd, ReplacesWhateverRunHeld)
{
    setRunEntry("C:\\Other\\other.exe C:\\Third\\third.exe");
    const auto result = createStartupEntry()->add(GetParam().executable);
    EXPECT_TRUE(result) << result.reason();
    EXPECT_EQ(runEntry(), GetParam().run);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, StartupEntryAdd,
    testing::Values(Entered {"C:\\Tools\\launcher.exe", "C:\\Tools\\launcher.exe"},
                    // Qt's way of writing the running program's path.
                    Entered {"C:/Tools/launcher.exe", "C:\\Tools\\launcher.exe"},
                    Entered {"C:\\Tools\\launcher.bin", "C:\\Tools\\launcher.exe"},
                    Entered {"C:\\Tools\\launcher", "C:\\Tools\\launcher.exe"},
                    Entered {"C:\\Tools\\my.launcher.exe", "C:\\Tools\\my.launcher.exe"},
                    // A drive's root keeps one separator.
                    Entered {"D:\\quillmoor.exe", "D:\\quillmoor.exe"}));

TEST(StartupEntry, ExistingProgramWithBlanksIsEnteredByItsShortPath)
{
    WinTest::ScratchFolder folder;
    folder.makeFolder("Quill moor");
    const std::string program = folder.makeFile("Quill moor\\quill moor.exe");
    ASSERT_TRUE(createStartupEntry()->add(program));
    const std::string run = runEntry();
    EXPECT_EQ(run.find(' '), std::string::npos) << run;
    char longPath[MAX_PATH] = {};
    ASSERT_NE(GetLongPathNameA(run.c_str(), longPath, MAX_PATH), 0u) << run;
    EXPECT_EQ(_stricmp(longPath, program.c_str()), 0) << longPath;
}

TEST(StartupEntry, AddingTwiceNamesTheProgramOnce)
{
    const auto entry = createStartupEntry();
    ASSERT_TRUE(entry->add("C:\\Tools\\launcher.exe"));
    ASSERT_TRUE(entry->add("C:\\Tools\\launcher.exe"));
    EXPECT_EQ(runEntry(), "C:\\Tools\\launcher.exe");
}

TEST(StartupEntry, RemoveEmptiesRunAndKeepsTheKey)
{
    setRunEntry("C:\\Other\\other.exe");
    EXPECT_TRUE(createStartupEntry()->remove());
    EXPECT_EQ(runEntry(), "");

    // Gone altogether beforehand: the key comes back, empty.
    ASSERT_TRUE(WriteProfileStringA("windows", "run", nullptr));
    ASSERT_EQ(runEntry(), Absent);
    EXPECT_TRUE(createStartupEntry()->remove());
    EXPECT_EQ(runEntry(), "");
}

// An unknown path, and paths with blanks that have no short name (no such file, or a volume
// without 8.3 names): "run" would name other programs.
TEST(StartupEntry, PathThatRunCannotNameIsAFailureAndChangesNothing)
{
    for (const char *path :
         {"", "C:\\Tools 1.2\\launcher", "C:\\Program Files\\Quill moor\\q.exe"}) {
        setRunEntry("C:\\Other\\other.exe");
        const auto result = createStartupEntry()->add(path);
        EXPECT_FALSE(result) << path;
        EXPECT_FALSE(result.reason().empty());
        EXPECT_EQ(runEntry(), "C:\\Other\\other.exe");
    }
}

TEST(StartupEntry, ProfileThatCannotBeWrittenIsReported)
{
    WinTest::ScratchFolder folder;
    // A folder in the file's place; Wine, unlike Windows, reports success for a missing
    // folder and writes nothing.
    const std::string blocked = folder.makeFolder("blocked.ini");
    const auto refused = Corvath::WriteProfileValue("windows", "run", "C:\\x.exe", blocked);
    EXPECT_FALSE(refused);
    EXPECT_FALSE(refused.reason().empty());

    const std::string written = folder.file("win.ini");
    ASSERT_TRUE(Corvath::WriteProfileValue("windows", "run", "C:\\x.exe", written).ok());
    char value[64] = {};
    GetPrivateProfileStringA("windows", "run", "", value, sizeof value, written.c_str());
    EXPECT_STREQ(value, "C:\\x.exe");
}

} // namespace
