// The machine directory and its facts, and Windows paths mapped onto host folders.
#include <fstream>

#include "machine_fixture.h"
#include "host/text/ansi_text.h"

namespace {

using orv::host::ResolvePath;
using orv::test::MachineTest;

TEST_F(MachineTest, NewMachineHasTheWorkstationFolders)
{
    for (const char* folder : {"WINNT", "WINNT/system32", "WINNT/inf", "WINNT/system32/spool/printers", "WINNT/spool"})
        EXPECT_TRUE(std::filesystem::is_directory(DriveC() / folder)) << folder;
    EXPECT_TRUE(std::filesystem::is_regular_file(DriveC() / "WINNT" / "WIN.INI"));
    EXPECT_EQ(std::filesystem::file_size(DriveC() / "WINNT" / "WIN.INI"), 0u);
    EXPECT_FALSE(std::filesystem::exists(DriveC() / "WINNT" / "spool" / "printers"));
    EXPECT_EQ(orv::host::WindowsDirectory(), "C:\\WINNT");
    EXPECT_EQ(orv::host::SystemDirectory(), "C:\\WINNT\\system32");
    EXPECT_EQ(orv::host::EnvironmentVariable("path"), "C:\\WINNT\\system32;C:\\WINNT");
    EXPECT_EQ(orv::text::AnsiCodePage(), 1252u);
    EXPECT_EQ(orv::text::OemCodePage(), 437u);
}

TEST_F(MachineTest, CreatingOverAMachineOrOpeningNoneFailsWithTheFolderNamed)
{
    std::string error;
    EXPECT_FALSE(orv::host::CreateMachine(machine_, {}, error));
    EXPECT_NE(error.find(machine_.string()), std::string::npos) << error;
    EXPECT_FALSE(orv::host::OpenMachine(root_ / "none", false, error));
    EXPECT_NE(error.find("none"), std::string::npos) << error;
    EXPECT_TRUE(orv::host::OpenMachine(root_ / "made", true, error)) << error;
    EXPECT_TRUE(std::filesystem::exists(root_ / "made" / "machine.ini"));
}

TEST_F(MachineTest, BadFactsNameTheFileKeyAndValue)
{
    struct Case {
        const char* line;
        const char* expected;
    } cases[] = {
        {"AnsiCodePage=12x52", "AnsiCodePage=12x52"},
        {"OemCodePage=99999", "OemCodePage=99999"},
        {"Version=four", "Version=four"},
        {"Mouse=maybe", "Mouse=maybe"},
        {"WindowsDirectory=WINNT", "WindowsDirectory=WINNT"},
        {"Colour=blue", "Colour=blue"},
    };
    for (const Case& c : cases) {
        std::ofstream(machine_ / "machine.ini") << "[Machine]\n" << c.line << "\n[Drives]\nC=drives/C\n";
        std::string error;
        EXPECT_FALSE(orv::host::OpenMachine(machine_, false, error)) << c.line;
        EXPECT_NE(error.find("machine.ini"), std::string::npos) << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    }
}

TEST_F(MachineTest, PathsIgnoreCaseOnLookupAndKeepTheGivenCaseForNewNames)
{
    std::filesystem::path host;
    DWORD error = 0;
    ASSERT_TRUE(ResolvePath("c:\\winnt\\SYSTEM32\\NewDir\\File.TXT", host, error));
    EXPECT_EQ(host, DriveC() / "WINNT" / "system32" / "NewDir" / "File.TXT");
    ASSERT_TRUE(ResolvePath("C:/WinNT/./inf/../Inf", host, error));
    EXPECT_EQ(host, DriveC() / "WINNT" / "inf");
    EXPECT_EQ(orv::host::FullWindowsPath("c:\\winnt\\.\\x\\..\\y."), "C:\\winnt\\y");
}

TEST_F(MachineTest, DotDotNeverLeavesTheDrive)
{
    std::filesystem::path host;
    DWORD error = 0;
    ASSERT_TRUE(ResolvePath("C:\\..\\..\\..\\etc\\passwd", host, error));
    EXPECT_EQ(host, DriveC() / "etc" / "passwd");
    // A host link inside the drive that points out of it is refused.
    std::filesystem::create_directory_symlink("/tmp", DriveC() / "escape");
    EXPECT_FALSE(ResolvePath("C:\\escape\\x", host, error));
    EXPECT_EQ(error, ERROR_ACCESS_DENIED);
}

TEST_F(MachineTest, ForbiddenNamesAreRefusedWithWindowsCodes)
{
    struct Case {
        std::string path;
        DWORD code;
    } cases[] = {
        {"C:\\bad<name", ERROR_INVALID_NAME},     {"C:\\a|b", ERROR_INVALID_NAME},
        {"C:\\what?", ERROR_INVALID_NAME},        {"C:\\star*", ERROR_INVALID_NAME},
        {"C:\\q\"uote", ERROR_INVALID_NAME},      {"C:\\a:b", ERROR_INVALID_NAME},
        {"C:\\ctl\x01", ERROR_INVALID_NAME},      {"C:\\con", ERROR_INVALID_NAME},
        {"C:\\dir\\LPT1.txt", ERROR_INVALID_NAME}, {"Q:\\nodrive", ERROR_PATH_NOT_FOUND},
        {"\\\\server\\share", orv::host::ERROR_BAD_NETPATH},
        {"C:\\" + std::string(256, 'x'), orv::host::ERROR_FILENAME_EXCED_RANGE},
        {"C:\\" + std::string(200, 'x') + "\\" + std::string(60, 'y'), orv::host::ERROR_FILENAME_EXCED_RANGE},
        {"", ERROR_PATH_NOT_FOUND},
    };
    for (const Case& c : cases) {
        std::filesystem::path host;
        DWORD error = 0;
        EXPECT_FALSE(ResolvePath(c.path, host, error)) << c.path;
        EXPECT_EQ(error, c.code) << c.path;
    }
}

TEST_F(MachineTest, RelativePathsFollowTheCurrentDirectoryAndMappedDrives)
{
    std::filesystem::create_directories(root_ / "disk" / "SUB");
    std::string message;
    ASSERT_TRUE(orv::host::MapDrive('a', root_ / "disk", true, message)) << message;
    DWORD error = 0;
    EXPECT_EQ(orv::host::CurrentDirectoryWin(), "C:\\");
    ASSERT_TRUE(orv::host::SetCurrentDirectoryWin("a:\\sub", error));
    EXPECT_EQ(orv::host::CurrentDirectoryWin(), "A:\\sub");
    std::filesystem::path host;
    bool readOnly = false;
    ASSERT_TRUE(ResolvePath("setup.inf", host, error, &readOnly));
    EXPECT_EQ(host, std::filesystem::canonical(root_ / "disk") / "SUB" / "setup.inf");
    EXPECT_TRUE(readOnly);
    ASSERT_TRUE(ResolvePath("\\x", host, error));
    EXPECT_EQ(host, std::filesystem::canonical(root_ / "disk") / "x");
    ASSERT_TRUE(ResolvePath("C:winnt", host, error, &readOnly));
    EXPECT_EQ(host, DriveC() / "WINNT");
    EXPECT_FALSE(readOnly);
    EXPECT_FALSE(orv::host::SetCurrentDirectoryWin("C:\\nowhere", error));
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(orv::host::SetCurrentDirectoryWin("C:\\nowhere\\deeper", error));
    EXPECT_EQ(error, ERROR_PATH_NOT_FOUND);
}

class DoubleByteMachineTest : public MachineTest {
protected:
    void SetUp() override
    {
        options_.ansiCodePage = 932;
        options_.oemCodePage = 932;
        MachineTest::SetUp();
    }
};

TEST_F(DoubleByteMachineTest, TrailByteBackslashIsNoSeparator)
{
    // 0x95 0x5C is one character of code page 932 whose second byte is "\".
    std::string name = "C:\\\x95\x5C";
    std::filesystem::path host;
    DWORD error = 0;
    ASSERT_TRUE(ResolvePath(name, host, error));
    EXPECT_EQ(host.parent_path(), DriveC());
    EXPECT_EQ(host.filename().string(), "\xE8\xA1\xA8");  // the same character in UTF-8
    EXPECT_EQ(orv::host::WindowsPathOf(DriveC() / "WINNT"), "C:\\WINNT");
}

}  // namespace
