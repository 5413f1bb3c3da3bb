// The start-up routines: the frame and the start directory, the setup.inf search,
// the default spool directory and the resolution of the system and INF directories.
#include "include/setup_state.h"
#include "session/setup_main.h"
#include "host/text/ansi_text.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/session/stand_ins.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { stand_in::Reset(); }
};

TEST_F(StartUp, StartDirectoryEndsInOneBackslash) {
    struct Case {
        std::string current;
        std::string expected;
        unsigned codePage;
    } cases[] = {
        {"C:\\", "C:\\", 1252},
        {"C:\\DISK1", "C:\\DISK1\\", 1252},
        {"", "\\", 1252},
        {"A:\\SETUP\\", "A:\\SETUP\\", 1252},
        {"C:\\\x82T\x90", "C:\\\xE9T\xC9\\", 1252},  // OEM 437 letters arrive as ANSI
        {"C:\\\x95\x5C", "C:\\\x95\x5C\\", 932},     // the second byte of a character is no backslash
        {std::string(254, 'd'), std::string(254, 'd') + "\\", 1252},
        {std::string(255, 'd'), "\\", 1252},  // too long for the field: recorded as empty
    };
    for (const Case &c : cases) {
        stand_in::Reset();
        orv::text::SetCodePages(c.codePage, c.codePage == 932 ? 932 : 437);
        fake::SetCurrentDirectory(c.current);
        EXPECT_EQ(InitSetupFrame("x"), 1);
        EXPECT_EQ(std::string(g_state.g_startDir), c.expected) << c.current;
    }
}

TEST_F(StartUp, UnreadableCurrentDirectoryIsNotReported) {
    fake::FailCall("GetCurrentDirectoryA");
    EXPECT_EQ(InitSetupFrame("x"), 1);
    EXPECT_STREQ(g_state.g_startDir, "\\");
    EXPECT_EQ(fake::CallTexts({"SetErrorMode"}), (std::vector<std::string>{"SetErrorMode(1)", "SetErrorMode(0)"}));
}

TEST_F(StartUp, FrameComesUpOnce) {
    fake::FailCall("InitializeFrame", {.result = 7});
    EXPECT_EQ(InitSetupFrame("x"), 7);
    EXPECT_EQ(g_state.g_frameState, 7);
    EXPECT_EQ(InitSetupFrame("x"), 0);
    EXPECT_EQ(InitInstallLayer(), 0);
    EXPECT_EQ(fake::CountCalls("InitializeFrame"), 1);
    EXPECT_EQ(fake::CountCalls("FInitializeInstall"), 1);
    EXPECT_EQ(g_state.g_frameState, 7);
}

TEST_F(StartUp, FindFileMarksTheBufferAndEmptiesItWhenNotFound) {
    char buffer[16] = "xyz";
    fake::FailCall("WFindFileUsingFileOpen", {.result = 0, .times = 1});  // found, buffer left as the toolkit left it
    EXPECT_EQ(FindFile("setup.inf", buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, " yz");

    fake::SetFindFileAnswer(1, "");
    std::strcpy(buffer, "xyz");
    EXPECT_EQ(FindFile("setup.inf", buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(fake::CountCalls("ProcessExit"), 0);

    fake::SetFindFileAnswer(2, "");
    std::strcpy(buffer, "xyz");
    EXPECT_EQ(fake::RunUntilExit([&] { FindFile("setup.inf", buffer, sizeof buffer); }), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(fake::ShowCount(400), 1);
}

TEST_F(StartUp, DefaultSpoolDirectoryFitsOrStays) {
    const std::string initial = "c:\\windows\\spool\\printers";
    std::string windows284 = "C:\\" + std::string(281, 'w');
    fake::SetWindowsDirectory(windows284);
    SetDefaultSpoolDir();
    EXPECT_EQ(std::string(g_state.g_spoolDir), windows284 + "\\spool\\printers");
    EXPECT_EQ(std::strlen(g_state.g_spoolDir), 299u);

    stand_in::Reset();
    fake::SetWindowsDirectory("C:\\" + std::string(282, 'w'));
    SetDefaultSpoolDir();
    EXPECT_EQ(std::string(g_state.g_spoolDir), initial);

    stand_in::Reset();
    fake::FailCall("GetWindowsDirectoryA");
    SetDefaultSpoolDir();
    EXPECT_EQ(std::string(g_state.g_spoolDir), initial);

    // A Windows directory too long for the 300-byte buffer answers the size it needs.
    stand_in::Reset();
    fake::SetWindowsDirectory(std::string(400, 'w'));
    SetDefaultSpoolDir();
    EXPECT_EQ(std::string(g_state.g_spoolDir), initial);

    stand_in::Reset();
    fake::SetWindowsDirectory("D:\\WINNT");
    SetDefaultSpoolDir();
    EXPECT_STREQ(g_state.g_spoolDir, "D:\\WINNT\\spool\\printers");
}

TEST_F(StartUp, ResolveSystemDirsReadsAndValidatesBoth) {
    fake::SetWindowsDirectory("C:\\WINNT");
    fake::SetSystemDirectory("C:\\WINNT\\system32");
    EXPECT_EQ(ResolveSystemDirs(), 8);
    EXPECT_STREQ(g_state.g_systemDir, "C:\\WINNT\\system32");
    EXPECT_STREQ(g_state.g_infDir, "C:\\WINNT\\inf\\");
    EXPECT_EQ(fake::CountCalls("RunCreateSpoolDir"), 0);
}

TEST_F(StartUp, ResolveSystemDirsFailures) {
    struct Case {
        const char *name;
        std::function<void()> arrange;
        int createSpoolCalls;
        int validations;
    } cases[] = {
        {"system dir invalid", [] { fake::SetValidDir("C:\\WINNT\\system32", false); }, 1, 1},
        {"inf dir invalid", [] { fake::SetValidDir("C:\\WINNT\\inf\\", false); }, 1, 2},
        {"windows dir unreadable", [] { fake::FailCall("GetWindowsDirectoryA"); }, 0, 2},
        {"windows dir of 251 characters", [] { fake::SetWindowsDirectory(std::string(251, 'w')); }, 0, 2},
        {"system dir unreadable", [] { fake::FailCall("GetSystemDirectoryA"); fake::SetValidDir("", false); }, 1, 1},
    };
    for (const Case &c : cases) {
        stand_in::Reset();
        c.arrange();
        EXPECT_EQ(ResolveSystemDirs(), 0) << c.name;
        EXPECT_EQ(fake::CountCalls("RunCreateSpoolDir"), c.createSpoolCalls) << c.name;
        EXPECT_EQ(fake::CountCalls("FValidDir"), c.validations) << c.name;
        EXPECT_LT(std::strlen(g_state.g_infDir), sizeof g_state.g_infDir) << c.name;
    }
}

TEST_F(StartUp, LongestWindowsDirectoryThatFitsTheInfField) {
    std::string windows250(250, 'w');
    fake::SetWindowsDirectory(windows250);
    EXPECT_EQ(ResolveSystemDirs(), 250);
    EXPECT_EQ(std::string(g_state.g_infDir), windows250 + "\\inf\\");

    stand_in::Reset();
    fake::SetWindowsDirectory(std::string(251, 'w'));
    EXPECT_EQ(ResolveSystemDirs(), 0);
    EXPECT_STREQ(g_state.g_infDir, "\\inf\\");
}

}  // namespace
