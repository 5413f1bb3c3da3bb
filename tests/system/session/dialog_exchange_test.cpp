// The dialog exchange: event codes, the checked symbol read, the message pump, closing
// dialogs and the quit confirmation.
#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "session/dialog_exchange.h"
#include "tests/fake/fake_platform.h"
#include "tests/system/session/stand_ins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DialogExchange : public ::testing::Test {
protected:
    void SetUp() override { stand_in::Reset(); }

    static void ShowWelcome(char *eventWord) {
        ShowDialog(SetupDialogLibrary, 100, "FInfoDlgProc", 900, "FHelpDlgProc", eventWord, EventBufferSize);
    }
};

TEST_F(DialogExchange, EventCodeAddsTheFirstTwoBytesAsSignedValues) {
    struct Case {
        const char *word;
        int code;
    } cases[] = {
        {"BACK", EventBack},       {"CANCEL", EventCancel}, {"CONTINUE", EventContinue},
        {"EXIT", EventExit},       {"AB", 131},             {"BA", 131},
        {"OC", EventContinue},     {"XE", EventExit},       {"A", 65},
        {"", 0},                   {"\xFF\x84", 65411},     {"\x84\xFF", 65411},
        {"\x80\x80", 65280},       {"\xFF", 65535},         {"\x7F\x7F", 254},
    };
    for (const Case &c : cases) EXPECT_EQ(EventCode(c.word), c.code) << c.word;
    EXPECT_EQ(EventCode(nullptr), 0);
}

TEST_F(DialogExchange, OnlyTheFirstTwoCharactersCount) {
    EXPECT_EQ(EventCode("COntinue later"), EventCode("CO"));
    EXPECT_EQ(EventCode("CANCEL"), EventCode("CA"));
}

TEST_F(DialogExchange, ShowDialogShowsDrainsAndReadsTheEvent) {
    fake::PostMessage(0x000F);
    fake::PostMessage(0x0100);
    fake::ScriptEvents(100, {"BACK"});
    char eventWord[EventBufferSize];
    ShowWelcome(eventWord);
    EXPECT_STREQ(eventWord, "BACK");
    EXPECT_EQ(fake::CallTexts({"FDoDialogExt", "PeekMessageA", "DispatchMessageA", "CbGetSymbolValue"}),
              (std::vector<std::string>{"FDoDialogExt(mscuistf.dll,100,FInfoDlgProc,mscuistf.dll,900,FHelpDlgProc)",
                                        "PeekMessageA(NULL,0,0,1)", "DispatchMessageA(15)",
                                        "PeekMessageA(NULL,0,0,1)", "DispatchMessageA(256)",
                                        "PeekMessageA(NULL,0,0,1)", "CbGetSymbolValue(DLGEVENT,15)"}));
    EXPECT_EQ(fake::CountCalls("TranslateMessage"), 2);
    EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{100});
}

TEST_F(DialogExchange, ShowDialogExTakesItsOwnHelpLibrary) {
    char eventWord[EventBufferSize];
    ShowDialogEx("mscuistf.dll", 850, "FCustInstDlgProc", "help.dll", 903, "FHelpDlgProc", eventWord, EventBufferSize);
    EXPECT_EQ(fake::CallTexts({"FDoDialogExt"}),
              (std::vector<std::string>{"FDoDialogExt(mscuistf.dll,850,FCustInstDlgProc,help.dll,903,FHelpDlgProc)"}));
    EXPECT_STREQ(eventWord, "CONTINUE");
}

TEST_F(DialogExchange, QuitMessageFoundBeforeTheEventWordIsRead) {
    fake::ScriptDialog(100, {fake::DialogAnswer{.event = "CONTINUE", .postQuit = true}});
    char eventWord[EventBufferSize] = "untouched";
    EXPECT_EQ(fake::RunUntilExit([&] { ShowWelcome(eventWord); }), 0);
    EXPECT_STREQ(eventWord, "untouched");
    EXPECT_EQ(fake::CountCalls("DispatchMessageA"), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
    EXPECT_EQ(fake::CallTexts({"CbGetSymbolValue"}).front(), "CbGetSymbolValue(DLGEVENT,15)");
    EXPECT_EQ(fake::CountCalls("CbGetSymbolValue"), 1);  // the fatal dialog's own word only
}

TEST_F(DialogExchange, FailedShowOrCloseIsAFatalStop) {
    fake::ScriptDialog(100, {fake::DialogAnswer{.fail = true}});
    char eventWord[EventBufferSize];
    EXPECT_EQ(fake::RunUntilExit([&] { ShowWelcome(eventWord); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
    EXPECT_EQ(fake::CountCalls("CbGetSymbolValue"), 1);

    stand_in::Reset();
    fake::FailCall("FKillNDialogs", {.times = 1});
    EXPECT_EQ(fake::RunUntilExit([] { KillDialogs(1); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
    EXPECT_EQ(fake::CountCalls("TerminateFrame"), 1);
}

TEST_F(DialogExchange, KillDialogsClosesFromTheTopAndDrains) {
    char eventWord[EventBufferSize];
    ShowWelcome(eventWord);
    ShowDialog(SetupDialogLibrary, 906, "FInfoDlgProc", 900, "FHelpDlgProc", eventWord, EventBufferSize);
    ShowWelcome(eventWord);  // still open: not pushed again
    EXPECT_EQ(fake::OpenDialogs(), (std::vector<int>{100, 906}));
    fake::ClearCalls();
    KillDialogs(1);
    EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{100});
    EXPECT_EQ(fake::CallTexts(), (std::vector<std::string>{"FKillNDialogs(1)", "PeekMessageA(NULL,0,0,1)"}));
    KillAllDialogs();
    EXPECT_TRUE(fake::OpenDialogs().empty());
    EXPECT_EQ(fake::CallTexts({"FKillNDialogs"}).back(), "FKillNDialogs(-1)");
}

TEST_F(DialogExchange, ReadSymbolOverflowsAtTheBufferSize) {
    char buffer[EventBufferSize];
    fake::SetSymbol("DLGEVENT", std::string(14, 'C'));
    EXPECT_EQ(ReadSymbol("DLGEVENT", buffer, EventBufferSize), buffer);
    EXPECT_EQ(std::string(buffer), std::string(14, 'C'));
    EXPECT_EQ(fake::CountCalls("DoMsgBox"), 0);

    fake::SetSymbol("DLGEVENT", std::string(15, 'C'));
    EXPECT_EQ(fake::RunUntilExit([&] { ReadSymbol("DLGEVENT", buffer, EventBufferSize); }), 0);
    // The box comes first, then the fatal dialog (whose own word, "CONTINUE", fits).
    EXPECT_EQ(fake::CallNames({"DoMsgBox", "FDoDialogExt", "TerminateFrame"}),
              (std::vector<std::string>{"DoMsgBox", "FDoDialogExt", "TerminateFrame"}));
    EXPECT_EQ(fake::CallTexts({"DoMsgBox"}),
              (std::vector<std::string>{"DoMsgBox(Buffer Overflow,MS-Setup Error,16)"}));
    EXPECT_EQ(fake::ShowCount(400), 1);
}

TEST_F(DialogExchange, ReadSymbolWithoutANameStops) {
    char buffer[EventBufferSize];
    for (const char *name : {static_cast<const char *>(nullptr), ""}) {
        stand_in::Reset();
        EXPECT_EQ(fake::RunUntilExit([&] { ReadSymbol(name, buffer, EventBufferSize); }), 0);
        EXPECT_EQ(fake::CallTexts({"CbGetSymbolValue"}), std::vector<std::string>{"CbGetSymbolValue(DLGEVENT,15)"});
        EXPECT_EQ(fake::ShowCount(400), 1);
    }
}

TEST_F(DialogExchange, ConfirmQuitStayingClosesOnlyTheQuitDialog) {
    for (const char *answer : {"CONTINUE", "CANCEL"}) {
        stand_in::Reset();
        char eventWord[EventBufferSize];
        ShowWelcome(eventWord);
        fake::ScriptEvents(200, {answer});
        ConfirmQuit();
        EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{100}) << answer;
        EXPECT_EQ(fake::CallTexts({"FKillNDialogs"}), std::vector<std::string>{"FKillNDialogs(1)"}) << answer;
        EXPECT_EQ(fake::CallTexts({"FDoDialogExt"}).back(),
                  "FDoDialogExt(mscuistf.dll,200,FQuitDlgProc,mscuistf.dll,900,FHelpDlgProc)");
        EXPECT_EQ(fake::CountCalls("TerminateFrame"), 0) << answer;
    }
}

TEST_F(DialogExchange, ConfirmQuitExitEndsWithoutTheFatalDialog) {
    char eventWord[EventBufferSize];
    ShowWelcome(eventWord);
    fake::ScriptEvents(200, {"EXIT"});
    EXPECT_EQ(fake::RunUntilExit([] { ConfirmQuit(); }), 0);
    EXPECT_EQ(fake::CallNames({"FKillNDialogs", "TerminateFrame", "TerminateInstall", "ProcessExit"}),
              (std::vector<std::string>{"FKillNDialogs", "TerminateFrame", "TerminateInstall", "ProcessExit"}));
    EXPECT_EQ(fake::CallTexts({"FKillNDialogs"}), std::vector<std::string>{"FKillNDialogs(-1)"});
    EXPECT_TRUE(fake::OpenDialogs().empty());
    EXPECT_EQ(fake::ShowCount(400), 0);
    EXPECT_EQ(g_state.g_fatalShown, 0);
}

TEST_F(DialogExchange, ConfirmQuitShowsItselfAgainOnOtherCodes) {
    fake::ScriptEvents(200, {"BACK", "ZZ", "CONTINUE"});
    ConfirmQuit();
    EXPECT_EQ(fake::ShowCount(200), 3);
    EXPECT_EQ(fake::CountCalls("FKillNDialogs"), 1);
    EXPECT_TRUE(fake::OpenDialogs().empty());
}

}  // namespace
