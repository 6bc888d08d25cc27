// Files and programs handed to Windows: the attribute rules of the file look-up, program start
// in a normal window, and documents opened through their association.
#include "platform/windows/win32text.h"
#include "platform/windows/windowsshell.h"
#include "winsupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

using namespace WinTest;

enum class Make { File, Folder, Nothing };

struct Lookup
{
    const char *name;
    Make make;
    DWORD attributes;
    const char *query; // appended to the scratch folder and a separator; null asks for ""
    bool forwardSlashes;
    bool found;
};

std::ostream &operator<<(std::ostream &out, const Lookup &lookup)
{
    return out << lookup.name;
}

class FileExistsTest : public testing::TestWithParam<Lookup>
{
};

TEST_P(FileExistsTest, FindsOnlyPlainFiles)
{
    const Lookup lookup = GetParam();
    ScratchFolder folder;
    if (lookup.make == Make::File)
        folder.makeFile("file.txt", lookup.attributes);
    else if (lookup.make == Make::Folder)
        folder.makeFolder("file.txt");
    std::string path = lookup.query ? folder.path() + "\\" + lookup.query : std::string();
    if (lookup.forwardSlashes)
        std::replace(path.begin(), path.end(), '\\', '/');
    EXPECT_EQ(WindowsShell::fileExists(path), lookup.found) << path;
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, FileExistsTest,
    testing::Values(
        Lookup {"Normal", Make::File, FILE_ATTRIBUTE_NORMAL, "file.txt", false, true},
        Lookup {"ReadOnly", Make::File, FILE_ATTRIBUTE_READONLY, "file.txt", false, true},
        Lookup {"Archive", Make::File, FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY, "file.txt",
                false, true},
        Lookup {"Hidden", Make::File, FILE_ATTRIBUTE_HIDDEN, "file.txt", false, false},
        Lookup {"System", Make::File, FILE_ATTRIBUTE_SYSTEM, "file.txt", false, false},
        Lookup {"HiddenReadOnly", Make::File, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY,
                "file.txt", false, false},
        Lookup {"Folder", Make::Folder, 0, "file.txt", false, false},
        Lookup {"Missing", Make::Nothing, 0, "file.txt", false, false},
        Lookup {"InMissingFolder", Make::File, FILE_ATTRIBUTE_NORMAL, "gone\\file.txt", false,
                false},
        Lookup {"ForwardSlashes", Make::File, FILE_ATTRIBUTE_NORMAL, "file.txt", true, true},
        Lookup {"TrailingSeparator", Make::File, FILE_ATTRIBUTE_NORMAL, "file.txt\\", false, false},
        // Wildcards would find some other file.
        Lookup {"Star", Make::File, FILE_ATTRIBUTE_NORMAL, "*.txt", false, false},
        Lookup {"QuestionMark", Make::File, FILE_ATTRIBUTE_NORMAL, "fil?.txt", false, false},
        // A best-fit code page would read U+0142 as 'l' and find file.txt.
        Lookup {"LookalikeName", Make::File, FILE_ATTRIBUTE_NORMAL,
                "fi\xc5\x82"
                "e.txt",
                false, false},
        Lookup {"NotUtf8", Make::File, FILE_ATTRIBUTE_NORMAL, "\xff", false, false},
        Lookup {"Empty", Make::File, FILE_ATTRIBUTE_NORMAL, nullptr, false, false}),
    [](const testing::TestParamInfo<Lookup> &info) { return std::string(info.param.name); });

TEST(Win32Text, CodePageRoundTripAndRefusals)
{
    EXPECT_EQ(Win32Text::toAnsi(""), std::string());
    EXPECT_EQ(Win32Text::toAnsi("\xff"), std::nullopt);
    if (GetACP() == 1252) {
        EXPECT_EQ(Win32Text::toAnsi("caf\xc3\xa9"), std::string("caf\xe9"));
        EXPECT_EQ(Win32Text::fromAnsi("caf\xe9"), "caf\xc3\xa9");
        EXPECT_EQ(Win32Text::toAnsi("\xe6\x97\xa5"), std::nullopt);
    }
    EXPECT_FALSE(Win32Text::errorText(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_NE(Win32Text::errorText(ERROR_FILE_NOT_FOUND).back(), '\n');
}

// Documents of this type open with stamp.exe, which notes how it was started.
constexpr const char *DocumentType = "Quillmoor.TestDocument";
// And so do web addresses of this scheme.
constexpr const char *AddressScheme = "quillmoor-test";

class ShellTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setRegistryText(HKEY_CLASSES_ROOT, AddressScheme, "", "URL:Quillmoor test page");
        setRegistryText(HKEY_CLASSES_ROOT, AddressScheme, "URL Protocol", "");
        setRegistryText(HKEY_CLASSES_ROOT, std::string(AddressScheme) + "\\shell\\open\\command",
                        "", '"' + stampProgram() + "\" \"%1\"");
        setRegistryText(HKEY_CLASSES_ROOT, ".qmdoc", "", DocumentType);
        setRegistryText(HKEY_CLASSES_ROOT, std::string(DocumentType) + "\\shell\\open\\command", "",
                        '"' + stampProgram() + "\" \"%1\"");
    }
    static void TearDownTestSuite()
    {
        deleteRegistryKey(HKEY_CLASSES_ROOT, ".qmdoc");
        deleteRegistryKey(HKEY_CLASSES_ROOT, DocumentType);
        deleteRegistryKey(HKEY_CLASSES_ROOT, AddressScheme);
    }

    ScratchFolder m_folder;
};

TEST_F(ShellTest, ProgramStartsInANormalWindowWithItsArguments)
{
    const std::string record = expectStamp(m_folder);
    const std::string commandLine = '"' + stampProgram() + "\" one \"two words\"";
    const auto done = WindowsShell::startProgram(commandLine);
    ASSERT_TRUE(done) << done.reason();
    const auto stamp = waitForStamp(record);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(stamp->at("show"), std::to_string(SW_SHOWNORMAL));
    EXPECT_EQ(stamp->at("cmd"), commandLine);
}

TEST_F(ShellTest, ProgramThatCannotStartSaysWhy)
{
    for (const std::string &commandLine :
         {std::string("\"") + m_folder.file("no such program.exe") + '"', std::string(),
          std::string("   "), std::string("\"C:\\\xe6\x97\xa5\\x.exe\"")}) {
        const auto done = WindowsShell::startProgram(commandLine);
        EXPECT_FALSE(done) << commandLine;
        EXPECT_FALSE(done.reason().empty()) << commandLine;
    }
}

TEST_F(ShellTest, EntryNamingAProgramWithBlanksStartsIt)
{
    const std::string program = m_folder.makeFolder("with blanks") + "\\stamp copy.exe";
    copyStamp(program);
    std::string forward = program;
    std::replace(forward.begin(), forward.end(), '\\', '/');

    const std::string quoted = '"' + program + '"';
    // Entry, and the command line the program sees.
    const std::pair<std::string, std::string> cases[] = {
        {program, quoted}, {forward, quoted}, {quoted, quoted}, {quoted + " -x", quoted + " -x"}};
    for (const auto &[entry, commandLine] : cases) {
        const std::string record = expectStamp(m_folder);
        const auto done = WindowsShell::startEntry(entry);
        ASSERT_TRUE(done) << entry << ": " << done.reason();
        const auto stamp = waitForStamp(record);
        ASSERT_TRUE(stamp) << entry;
        EXPECT_EQ(stamp->at("show"), std::to_string(SW_SHOWNORMAL));
        EXPECT_EQ(stamp->at("cmd"), commandLine);
    }
}

TEST_F(ShellTest, EntryNamingADocumentOpensItWithItsProgram)
{
    const std::string document = m_folder.makeFile("launch list.qmdoc");
    std::string forward = document;
    std::replace(forward.begin(), forward.end(), '\\', '/');

    for (const std::string &entry : {document, forward, '"' + document + '"'}) {
        const std::string record = expectStamp(m_folder);
        const auto done = WindowsShell::startEntry(entry);
        ASSERT_TRUE(done) << entry << ": " << done.reason();
        const auto stamp = waitForStamp(record);
        ASSERT_TRUE(stamp) << entry;
        EXPECT_NE(lowerCase(stamp->at("cmd")).find(lowerCase(document)), std::string::npos)
            << stamp->at("cmd");
        EXPECT_EQ(lowerCase(stamp->at("cwd")), "c:\\");
        EXPECT_EQ(stamp->at("show"), std::to_string(SW_SHOWNORMAL));
    }
}

TEST_F(ShellTest, OpenDocumentHandsWebAddressesOnUnchanged)
{
    const std::string address = "quillmoor-test://corvath.example/quillmoor/";
    const std::string record = expectStamp(m_folder);
    const auto done = WindowsShell::openDocument(address, 0);
    ASSERT_TRUE(done) << done.reason();
    const auto stamp = waitForStamp(record);
    ASSERT_TRUE(stamp);
    EXPECT_NE(stamp->at("cmd").find(address), std::string::npos) << stamp->at("cmd");
}

TEST_F(ShellTest, EntryThatCannotBeStartedSaysWhy)
{
    const std::string unknown = m_folder.makeFile("notes.qmnone");
    for (const std::string &entry : {unknown, m_folder.file("gone.exe"), std::string()}) {
        const auto done = WindowsShell::startEntry(entry);
        EXPECT_FALSE(done) << entry;
        EXPECT_FALSE(done.reason().empty()) << entry;
    }
    // What Read Me!! says when .txt has no program.
    const auto done = WindowsShell::openDocument(unknown, 0);
    EXPECT_FALSE(done);
    EXPECT_EQ(done.reason(), "Windows has no program associated with it");
}

TEST_F(ShellTest, OpenDocumentUsesTheDefaultActionFromTheRoot)
{
    const std::string document = m_folder.makeFile("page.qmdoc");
    const std::string record = expectStamp(m_folder);
    const auto done = WindowsShell::openDocument(document, 0);
    ASSERT_TRUE(done) << done.reason();
    const auto stamp = waitForStamp(record);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(lowerCase(stamp->at("cwd")), "c:\\");
    EXPECT_EQ(stamp->at("show"), std::to_string(SW_SHOWNORMAL));

    // Paths as Qt writes them.
    std::string forward = document;
    std::replace(forward.begin(), forward.end(), '\\', '/');
    const std::string forwardRecord = expectStamp(m_folder);
    const auto forwardDone = WindowsShell::openDocument(forward, 0);
    ASSERT_TRUE(forwardDone) << forwardDone.reason();
    const auto forwardStamp = waitForStamp(forwardRecord);
    ASSERT_TRUE(forwardStamp);
    EXPECT_NE(lowerCase(forwardStamp->at("cmd")).find(lowerCase(document)), std::string::npos)
        << forwardStamp->at("cmd");

    for (const std::string &path : {m_folder.file("gone.qmdoc"), std::string()}) {
        const auto gone = WindowsShell::openDocument(path, 0);
        EXPECT_FALSE(gone) << path;
        EXPECT_FALSE(gone.reason().empty()) << path;
    }
}

} // namespace
