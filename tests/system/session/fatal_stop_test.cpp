// The fatal stop and the teardown: one fatal dialog per run, the same end for both
// stop codes, nested stops that only tear down, and a teardown that is safe when
// nothing came up.
#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "registry/registry_api.h"
#include "session/dialog_exchange.h"
#include "session/fatal_stop.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/session/stand_ins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FatalStopTest : public ::testing::Test {
protected:
    void SetUp() override { stand_in::Reset(); }
};

TEST_F(FatalStopTest, BothCodesEndTheSameWay) {
    std::vector<std::vector<std::string>> runs;
    for (int code : {StopError, StopQuit}) {
        stand_in::Reset();
        EXPECT_EQ(fake::RunUntilExit([code] { FatalStop(code); }), 0);
        runs.push_back(fake::CallTexts());
    }
    EXPECT_EQ(runs[0], runs[1]);
    EXPECT_EQ(fake::CallTexts({"FDoDialogExt", "FKillNDialogs", "TerminateFrame", "TerminateInstall", "ProcessExit"}),
              (std::vector<std::string>{"FKillNDialogs(-1)",
                                        "FDoDialogExt(mscuistf.dll,400,FInfo0DlgProc,mscuistf.dll,0,NULL)",
                                        "FKillNDialogs(1)", "TerminateFrame()", "TerminateInstall()",
                                        "ProcessExit(0)"}));
    EXPECT_EQ(g_state.g_fatalShown, 1);
}

TEST_F(FatalStopTest, OpenDialogsCloseBeforeTheFatalDialog) {
    char eventWord[EventBufferSize];
    ShowDialog(SetupDialogLibrary, 100, "FInfoDlgProc", 900, "FHelpDlgProc", eventWord, EventBufferSize);
    ShowDialog(SetupDialogLibrary, 200, "FQuitDlgProc", 900, "FHelpDlgProc", eventWord, EventBufferSize);
    std::vector<int> openWhenShown;
    fake::ScriptDialog(400, {fake::DialogAnswer{.action = [&] { openWhenShown = fake::OpenDialogs(); }}});
    EXPECT_EQ(fake::RunUntilExit([] { FatalStop(StopError); }), 0);
    EXPECT_EQ(openWhenShown, std::vector<int>{400});
    EXPECT_TRUE(fake::OpenDialogs().empty());
}

TEST_F(FatalStopTest, FatalDialogRepeatsUntilCancelOrContinue) {
    for (const char *closing : {"CANCEL", "CONTINUE"}) {
        stand_in::Reset();
        fake::ScriptEvents(400, {"BACK", "EXIT", "HELP", closing});
        EXPECT_EQ(fake::RunUntilExit([] { FatalStop(StopError); }), 0);
        EXPECT_EQ(fake::ShowCount(400), 4) << closing;
        EXPECT_EQ(fake::CallTexts({"FKillNDialogs"}),
                  (std::vector<std::string>{"FKillNDialogs(-1)", "FKillNDialogs(1)"}))
            << closing;
        EXPECT_EQ(fake::CountCalls("TerminateFrame"), 1);
    }
}

TEST_F(FatalStopTest, LaterStopsOnlyTearDown) {
    g_state.g_fatalShown = 1;
    EXPECT_EQ(fake::RunUntilExit([] { FatalStop(StopError); }), 0);
    EXPECT_EQ(fake::CallNames(), (std::vector<std::string>{"TerminateFrame", "TerminateInstall", "ProcessExit"}));
}

TEST_F(FatalStopTest, QuitMessageDuringTheFatalStopEndsAtOnce) {
    // After the fatal dialog's call returns.
    fake::ScriptDialog(400, {fake::DialogAnswer{.event = "BACK", .postQuit = true}});
    EXPECT_EQ(fake::RunUntilExit([] { FatalStop(StopError); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
    EXPECT_EQ(fake::CountCalls("CbGetSymbolValue"), 0);
    EXPECT_EQ(fake::CountCalls("TerminateFrame"), 1);
    EXPECT_EQ(fake::CountCalls("ProcessExit"), 1);

    // After the close that comes first.
    stand_in::Reset();
    fake::PostQuit();
    EXPECT_EQ(fake::RunUntilExit([] { FatalStop(StopQuit); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 0);
    EXPECT_EQ(fake::CallNames({"FKillNDialogs", "TerminateFrame", "ProcessExit"}),
              (std::vector<std::string>{"FKillNDialogs", "TerminateFrame", "ProcessExit"}));
}

TEST_F(FatalStopTest, OverflowOfTheFatalDialogsOwnWordEndsAfterASecondBox) {
    fake::SetSymbol("X", std::string(20, 'x'));
    fake::ScriptEvents(400, {std::string(15, 'C')});
    char buffer[EventBufferSize];
    EXPECT_EQ(fake::RunUntilExit([&] { ReadSymbol("X", buffer, EventBufferSize); }), 0);
    EXPECT_EQ(fake::CountCalls("DoMsgBox"), 2);
    EXPECT_EQ(fake::ShowCount(400), 1);
    EXPECT_EQ(fake::CountCalls("TerminateFrame"), 1);
}

TEST_F(FatalStopTest, FailingFatalDialogStillTearsDownOnce) {
    fake::ScriptDialog(400, {fake::DialogAnswer{.fail = true}});
    EXPECT_EQ(fake::RunUntilExit([] { FatalStop(StopError); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 0);
    EXPECT_EQ(fake::CountCalls("FDoDialogExt"), 1);
    EXPECT_EQ(fake::CountCalls("TerminateFrame"), 1);
}

TEST_F(FatalStopTest, TeardownIsSafeWhenNothingCameUp) {
    TerminateSetup();
    EXPECT_EQ(fake::CallNames(), (std::vector<std::string>{"TerminateFrame", "TerminateInstall"}));
}

TEST_F(FatalStopTest, TeardownReleasesTheRegistryLibraryOnce) {
    ASSERT_EQ(LoadRegistryApi(), 1);
    TerminateSetup();
    TerminateSetup();
    EXPECT_EQ(fake::CountCalls("FreeLibrary"), 1);
    EXPECT_EQ(fake::LoadedModules(), 0);
}

}  // namespace
