// The main sequence on the fake platform: the order of its steps on a normal run, the
// way back from the confirmation, and every way out of the setup with its teardown.
#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "session/dialog_exchange.h"
#include "session/setup_main.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/session/stand_ins.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

class MainSequence : public ::testing::Test {
protected:
    void SetUp() override { stand_in::Reset(); }

    static int RunSetup(const char *tail = "/q") {
        return fake::RunUntilExit([tail] { SetupMain(nullptr, nullptr, tail, 10); });
    }
};

TEST_F(MainSequence, NormalRunMakesItsCallsInOrder) {
    std::strcpy(g_state.g_printerName, "left over");
    fake::SetSymbol("STF_SRCDIR", "A:\\");
    std::string printerNameAtWelcome = "unset";
    stand_in::Current().onWelcome = [&] { printerNameAtWelcome = g_state.g_printerName; };

    EXPECT_EQ(RunSetup("/q"), 0);

    std::vector<std::string> expected = {
        "InitializeFrame(/q)",
        "HwndFrame()",
        "HinstFrame()",
        "FInitializeInstall(0x200,0x100)",
        "SetErrorMode(1)",
        "GetCurrentDirectoryA(255)",
        "SetErrorMode(0)",
        "LoadLibraryA(ADVAPI32.DLL)",
        "FSetBitmap(mscuistf.dll,1)",
        "HwndFrame()",
        "SetWindowTextA(0x100,Orvalen Plotter Driver Setup)",
        "WFindFileUsingFileOpen(setup.inf,300)",
        "FOpenInf(A:\\SETUP.INF,1,0)",
        "CbGetSymbolValue(STF_SRCDIR,255)",
        "RunWelcome()",
        "GetWindowsDirectoryA(300)",
        "RunSelection(1)",
        "GetSystemDirectoryA(255)",
        "GetWindowsDirectoryA(255)",
        "FValidDir(C:\\WINNT\\system32)",
        "FValidDir(C:\\WINNT\\inf\\)",
        "RunConfirm()",
        "QueueDriverFiles()",
        "InstallPlotter()",
        "FreeLibrary(0x10010)",
        "FKillNDialogs(-1)",
        "GetActiveWindow()",
        "MessageBoxA(0x100,Installation complete.,Setup complete,64)",
        "TerminateFrame()",
        "TerminateInstall()",
        "ProcessExit(0)",
    };
    std::vector<std::string> seen;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name != "PeekMessageA" && call.name != "GetProcAddress" && call.name != "OemToCharA") {
            seen.push_back(call.Text());
        }
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(printerNameAtWelcome, "");
    EXPECT_STREQ(g_state.g_sourceDir, "A:\\");
    EXPECT_STREQ(g_state.g_startDir, "A:\\");
    EXPECT_STREQ(g_state.g_spoolDir, "C:\\WINNT\\spool\\printers");
    EXPECT_EQ(g_state.g_frameState, 1);
    EXPECT_EQ(fake::LoadedModules(), 0);
    EXPECT_EQ(g_state.g_hAdvapi, nullptr);
}

TEST_F(MainSequence, NoDialogIsOpenWhenTheCompletionIsShown) {
    stand_in::Current().onInstall = [] {
        char eventWord[EventBufferSize];
        ShowDialog(SetupDialogLibrary, 101, "FInfoDlgProc", 904, "FHelpDlgProc", eventWord, EventBufferSize);
    };
    EXPECT_EQ(RunSetup(), 0);
    std::vector<std::string> order = fake::CallNames({"FDoDialogExt", "FKillNDialogs", "MessageBoxA"});
    EXPECT_EQ(order, (std::vector<std::string>{"FDoDialogExt", "FKillNDialogs", "MessageBoxA"}));
    EXPECT_TRUE(fake::OpenDialogs().empty());
}

TEST_F(MainSequence, GoingBackFromTheConfirmationRepeatsTheSelectionPass) {
    stand_in::Current().confirmAnswers = {1, 1, 0};
    stand_in::Current().onSelection = [](int pass) {
        if (pass == 1) std::strcpy(g_state.g_spoolDir, "D:\\MYSPOOL\\");
    };
    stand_in::Current().onConfirm = [](int pass) {
        // The machine changes between passes; every pass reads the directories again.
        fake::SetSystemDirectory("C:\\PASS" + std::to_string(pass + 1));
    };

    EXPECT_EQ(RunSetup(), 0);

    EXPECT_EQ(fake::CallTexts({"RunSelection", "RunConfirm", "GetSystemDirectoryA"}),
              (std::vector<std::string>{"RunSelection(1)", "GetSystemDirectoryA(255)", "RunConfirm()",
                                        "RunSelection(2)", "GetSystemDirectoryA(255)", "RunConfirm()",
                                        "RunSelection(3)", "GetSystemDirectoryA(255)", "RunConfirm()"}));
    EXPECT_STREQ(g_state.g_systemDir, "C:\\PASS3");
    EXPECT_EQ(fake::CountCalls("RunWelcome"), 1);
    // The default spool directory is set once, before the first pass.
    EXPECT_EQ(fake::CallTexts({"GetWindowsDirectoryA"}).front(), "GetWindowsDirectoryA(300)");
    EXPECT_EQ(fake::CountCalls("GetWindowsDirectoryA"), 4);
    EXPECT_STREQ(g_state.g_spoolDir, "D:\\MYSPOOL\\");
}

struct WayOut {
    const char *name;
    std::function<void()> arrange;
    int teardowns;        // TerminateFrame and TerminateInstall, each
    int fatalDialogs;     // showings of dialog 400
    bool completion;      // "Installation complete." shown
    const char *lastStep; // the last call before the teardown that must have happened
};

void PrintTo(const WayOut &way, std::ostream *out) { *out << way.name; }

class WaysOut : public MainSequence, public ::testing::WithParamInterface<WayOut> {};

TEST_P(WaysOut, EndWithCodeZeroAndOneTeardown) {
    const WayOut &way = GetParam();
    way.arrange();

    EXPECT_EQ(RunSetup(), 0);

    EXPECT_EQ(fake::CountCalls("TerminateFrame"), way.teardowns);
    EXPECT_EQ(fake::CountCalls("TerminateInstall"), way.teardowns);
    EXPECT_EQ(fake::ShowCount(400), way.fatalDialogs);
    EXPECT_EQ(fake::CountCalls("MessageBoxA"), way.completion ? 1 : 0);
    EXPECT_EQ(fake::CountCalls("ProcessExit"), 1);
    EXPECT_GE(fake::CountCalls(way.lastStep), 1) << way.lastStep;
    // Whatever was loaded is released again.
    EXPECT_EQ(fake::LoadedModules(), 0);
    if (way.teardowns == 1) {
        EXPECT_EQ(fake::CallNames({"TerminateFrame", "TerminateInstall", "ProcessExit"}),
                  (std::vector<std::string>{"TerminateFrame", "TerminateInstall", "ProcessExit"}));
    }
}

void ConfirmQuitOnWelcome(const char *answer) {
    fake::ScriptEvents(200, {answer});
    stand_in::Current().onWelcome = [] { ConfirmQuit(); };
}

INSTANTIATE_TEST_SUITE_P(
    MainSequence, WaysOut,
    ::testing::Values(
        WayOut{"FrameAsksToEndAtOnce", [] { fake::FailCall("InitializeFrame", {.result = -1}); }, 0, 0, false,
               "InitializeFrame"},
        WayOut{"FrameFails", [] { fake::FailCall("InitializeFrame", {.result = 0}); }, 1, 0, false,
               "InitializeFrame"},
        WayOut{"FrameAnswersAMeaninglessNegative", [] { fake::FailCall("InitializeFrame", {.result = -2}); }, 1, 0,
               false, "InitializeFrame"},
        WayOut{"InstallLayerFails", [] { fake::FailCall("FInitializeInstall"); }, 1, 0, false, "FInitializeInstall"},
        WayOut{"RegistryLibraryMissing", [] { fake::FailCall("LoadLibraryA"); }, 1, 0, false, "LoadLibraryA"},
        WayOut{"RegistryEntryPointMissing", [] { fake::WithholdProc("RegOpenKeyA"); }, 1, 0, false, "FreeLibrary"},
        WayOut{"BitmapFails", [] { fake::FailCall("FSetBitmap"); }, 1, 1, false, "FSetBitmap"},
        WayOut{"SetupInfSearchFails", [] { fake::SetFindFileAnswer(2, ""); }, 1, 1, false, "WFindFileUsingFileOpen"},
        WayOut{"InfDoesNotOpen", [] { fake::FailCall("FOpenInf"); }, 1, 1, false, "FOpenInf"},
        WayOut{"SourceDirTooLong", [] { fake::SetSymbol("STF_SRCDIR", std::string(255, 'x')); }, 1, 1, false,
               "DoMsgBox"},
        WayOut{"SystemDirInvalid", [] { fake::SetValidDir("C:\\WINNT\\system32", false); }, 1, 0, false,
               "RunCreateSpoolDir"},
        WayOut{"InfDirInvalid", [] { fake::SetValidDir("C:\\WINNT\\inf\\", false); }, 1, 0, false,
               "RunCreateSpoolDir"},
        WayOut{"QuitConfirmed", [] { ConfirmQuitOnWelcome("EXIT"); }, 1, 0, false, "FKillNDialogs"},
        WayOut{"QuitMessageDuringADialog",
               [] {
                   fake::ScriptDialog(100, {fake::DialogAnswer{.event = "CONTINUE", .postQuit = true}});
                   stand_in::Current().onWelcome = [] {
                       char eventWord[EventBufferSize];
                       ShowDialog(SetupDialogLibrary, 100, "FInfoDlgProc", 900, "FHelpDlgProc", eventWord,
                                  EventBufferSize);
                   };
               },
               1, 1, false, "PeekMessageA"},
        WayOut{"NormalEnd", [] {}, 1, 0, true, "InstallPlotter"}),
    [](const ::testing::TestParamInfo<WayOut> &way) { return std::string(way.param.name); });

TEST_F(MainSequence, EarlyExitsStopBeforeTheirNextStep) {
    fake::FailCall("InitializeFrame", {.result = -1});
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CountCalls("FInitializeInstall"), 0);
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 0);

    stand_in::Reset();
    fake::FailCall("LoadLibraryA");
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CountCalls("FSetBitmap"), 0);
    EXPECT_EQ(fake::CountCalls("DoMsgBox") + fake::CountCalls("MessageBoxA"), 0);
    EXPECT_EQ(fake::CountCalls("GetProcAddress"), 0);

    stand_in::Reset();
    fake::SetValidDir("C:\\WINNT\\system32", false);
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CountCalls("RunConfirm"), 0);
    EXPECT_EQ(fake::CountCalls("RunCreateSpoolDir"), 1);
}

TEST_F(MainSequence, SetupInfSearchAnswers) {
    // Found: the toolkit's path is opened.
    fake::SetFindFileAnswer(0, "B:\\DISK\\SETUP.INF");
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CallTexts({"FOpenInf"}), (std::vector<std::string>{"FOpenInf(B:\\DISK\\SETUP.INF,1,0)"}));

    // Not found: an empty path still goes to FOpenInf, which decides.
    stand_in::Reset();
    fake::SetFindFileAnswer(1, "");
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CallTexts({"FOpenInf"}), (std::vector<std::string>{"FOpenInf(,1,0)"}));
    EXPECT_EQ(fake::ShowCount(400), 0);

    // An error: the fatal stop comes before FOpenInf.
    stand_in::Reset();
    fake::SetFindFileAnswer(2, "");
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CountCalls("FOpenInf"), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
}

TEST_F(MainSequence, SourceDirOfTheLongestLengthIsAccepted) {
    fake::SetSymbol("STF_SRCDIR", std::string(254, 's'));
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(std::strlen(g_state.g_sourceDir), 254u);
    EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0);
    EXPECT_EQ(fake::CountCalls("InstallPlotter"), 1);

    stand_in::Reset();
    fake::SetSymbol("STF_SRCDIR", std::string(255, 's'));
    EXPECT_EQ(RunSetup(), 0);
    EXPECT_EQ(fake::CallTexts({"DoMsgBox"}),
              (std::vector<std::string>{"DoMsgBox(Buffer Overflow,MS-Setup Error,16)"}));
    EXPECT_EQ(fake::CountCalls("RunWelcome"), 0);
    EXPECT_EQ(g_state.g_sourceDir[254], '\0');
}

}  // namespace
