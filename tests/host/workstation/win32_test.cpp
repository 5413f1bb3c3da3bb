// The workstation's Win32 calls: directory answers for small buffers, directory
// creation and its error codes, text in the machine's code pages, and the quit
// message that a signal posts.
#include <csignal>
#include <cstring>
#include <string>

#include "host/workstation/windows.h"
#include "machine_fixture.h"
#include "platform/win32.h"

namespace {

using orv::test::MachineTest;

TEST_F(MachineTest, DirectoryCallsAnswerLikeWindowsForSmallBuffers)
{
    char buffer[64];
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 8u);
    EXPECT_STREQ(buffer, "C:\\WINNT");
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 8), 9u) << "the size needed, with the terminator";
    EXPECT_EQ(buffer[0], 'x') << "nothing written";
    EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof buffer), 17u);
    EXPECT_STREQ(buffer, "C:\\WINNT\\system32");
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buffer, buffer), 3u);
    EXPECT_STREQ(buffer, "C:\\");
    EXPECT_EQ(GetCurrentDirectoryA(2, buffer), 4u);
}

TEST_F(MachineTest, CreateDirectoryMakesOneLevelAndAnswersWindowsErrors)
{
    SECURITY_ATTRIBUTES attributes{12, nullptr, TRUE};
    EXPECT_TRUE(CreateDirectoryA("c:\\winnt\\spool\\Printers", &attributes));
    EXPECT_TRUE(std::filesystem::is_directory(DriveC() / "WINNT" / "spool" / "Printers"));
    std::filesystem::create_directories(root_ / "disk");
    std::string error;
    ASSERT_TRUE(orv::host::MapDrive('A', root_ / "disk", true, error));
    struct Case {
        const char* path;
        DWORD error;
    } cases[] = {
        {"C:\\WINNT\\SPOOL\\printers", ERROR_ALREADY_EXISTS},
        {"C:\\WINNT\\WIN.INI", ERROR_ALREADY_EXISTS},
        {"C:\\no\\such\\parent", ERROR_PATH_NOT_FOUND},
        {"C:\\bad|name", ERROR_INVALID_NAME},
        {"Q:\\x", ERROR_PATH_NOT_FOUND},
        {"A:\\new", ERROR_WRITE_PROTECT},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(CreateDirectoryA(c.path, &attributes)) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
}

TEST_F(MachineTest, VersionMetricsAndErrorMode)
{
    DWORD version = GetVersion();
    EXPECT_EQ(version & 0xFF, 4u);
    EXPECT_EQ((version >> 8) & 0xFF, 0u);
    EXPECT_EQ(version & 0x80000000u, 0u) << "NT";
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(SetErrorMode(previous), SEM_FAILCRITICALERRORS);
}

TEST_F(MachineTest, SignalPostsTheQuitMessageThatThePumpFinds)
{
    orv::host::ClearQuitMessage();
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    orv::host::InstallQuitSignalHandlers();
    std::raise(SIGINT);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(message.message, 18u);
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) << "taken once";
    std::signal(SIGINT, SIG_DFL);
}

TEST_F(MachineTest, MessageBoxGoesToTheHandlerWithTheActiveWindow)
{
    HWND frame = reinterpret_cast<HWND>(std::uintptr_t{0x42});
    orv::host::SetFrameWindow(frame);
    EXPECT_EQ(GetActiveWindow(), frame);
    std::string seen;
    orv::host::SetMessageBoxHandler([&](HWND owner, const char* text, const char* caption, UINT style) {
        seen = std::string(caption) + "|" + text + "|" + std::to_string(style) + (owner == frame ? "|frame" : "");
        return IDOK;
    });
    EXPECT_EQ(MessageBoxA(GetActiveWindow(), "Installation complete.", "Setup complete", MB_OK), IDOK);
    EXPECT_EQ(seen, "Setup complete|Installation complete.|0|frame");
    orv::host::SetMessageBoxHandler(nullptr);
    orv::host::SetFrameWindow(nullptr);
}

class DoubleByteTextTest : public MachineTest {
protected:
    void SetUp() override
    {
        options_.ansiCodePage = 932;
        options_.oemCodePage = 932;
        MachineTest::SetUp();
    }
};

TEST_F(DoubleByteTextTest, CharNextStepsOverWholeCharacters)
{
    const char text[] = "a\x95\x5C" "b";
    LPSTR next = CharNextA(text);
    EXPECT_EQ(next, text + 1);
    next = CharNextA(next);
    EXPECT_EQ(next, text + 3) << "the lead byte takes its trail byte along";
}

TEST_F(MachineTest, OemToCharConvertsFromTheOemCodePage)
{
    // 0x82 is e-acute in code page 437 and 0xE9 in 1252.
    char converted[8] = {};
    ASSERT_TRUE(OemToCharA("\x82t\x82", converted));
    EXPECT_STREQ(converted, "\xE9t\xE9");
}

}  // namespace
