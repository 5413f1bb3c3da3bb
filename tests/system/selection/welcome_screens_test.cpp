// The welcome, confirmation and notice screens.
#include <string>
#include <vector>

#include "selection/welcome_screens.h"
#include "tests/system/selection/selection_fixture.h"

namespace {

using namespace selection_test;

class Screens : public Fixture {};

TEST_F(Screens, WelcomeRunsUntilTheUserContinues) {
    struct Case {
        Strings welcome;
        Strings quit;
        std::vector<int> shown;
    } cases[] = {
        {{"CONTINUE"}, {}, {100}},
        // 906 over the welcome: whatever it answers, back to the welcome.
        {{"BACK", "BACK", "CONTINUE"}, {}, {100, 906, 100, 906, 100}},
        {{"CANCEL", "CONTINUE"}, {"CONTINUE"}, {100, 200, 100}},
        {{"EXIT", "CONTINUE"}, {"CANCEL"}, {100, 200, 100}},
        {{"ZZ", "CONTINUE"}, {}, {100, 100}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.welcome.front() + " ...");
        fake::Reset();
        fake::ScriptEvents(100, c.welcome);
        fake::ScriptEvents(906, {"EXIT", "CANCEL"});
        if (!c.quit.empty()) fake::ScriptEvents(200, c.quit);
        RunWelcome();
        EXPECT_EQ(fake::ShownDialogs(), c.shown);
        EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{});
    }
}

TEST_F(Screens, WelcomeStaysOpenWhileTheScreensOverItComeAndGo) {
    std::vector<std::vector<int>> stacks;
    fake::DialogAnswer back;
    back.event = "BACK";
    fake::DialogAnswer over;
    over.action = [&stacks] { stacks.push_back(fake::OpenDialogs()); };
    fake::ScriptDialog(100, {back, fake::DialogAnswer{}});
    fake::ScriptDialog(906, {over});
    RunWelcome();
    EXPECT_EQ(stacks, (std::vector<std::vector<int>>{{100, 906}}));
    EXPECT_EQ(fake::CallTexts({"FDoDialogExt"}),
              (Strings{"FDoDialogExt(mscuistf.dll,100,FInfoDlgProc,mscuistf.dll,900,FHelpDlgProc)",
                       "FDoDialogExt(mscuistf.dll,906,FInfoDlgProc,mscuistf.dll,900,FHelpDlgProc)",
                       "FDoDialogExt(mscuistf.dll,100,FInfoDlgProc,mscuistf.dll,900,FHelpDlgProc)"}));
    EXPECT_EQ(fake::CountCalls("FKillNDialogs"), 2);
}

TEST_F(Screens, ExitConfirmedAtTheWelcomeEndsTheRun) {
    fake::ScriptEvents(100, {"EXIT"});
    fake::ScriptEvents(200, {"EXIT"});
    EXPECT_EQ(fake::RunUntilExit([] { RunWelcome(); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 0);
}

TEST_F(Screens, ConfirmationGoesOnOnlyWithContinue) {
    struct Case {
        Strings events;
        int result;
        int quitShowings;
    } cases[] = {
        {{"CONTINUE"}, 0, 0},
        {{"BACK"}, 1, 0},
        {{"ZZ"}, 1, 0},
        {{"CANCEL", "CONTINUE"}, 0, 1},
        {{"EXIT", "BACK"}, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.events.front() + " ...");
        fake::Reset();
        fake::ScriptEvents(101, c.events);
        fake::ScriptEvents(200, {"CONTINUE"});
        EXPECT_EQ(RunConfirm(), c.result);
        EXPECT_EQ(fake::ShowCount(200), c.quitShowings);
        // Closed right after each of its events, before the quit dialog is shown.
        EXPECT_EQ(fake::CountCalls("FKillNDialogs"), static_cast<int>(c.events.size()) + c.quitShowings);
        EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{});
        EXPECT_EQ(fake::CallTexts({"FDoDialogExt"}).front(),
                  "FDoDialogExt(mscuistf.dll,101,FInfoDlgProc,mscuistf.dll,904,FHelpDlgProc)");
    }
}

TEST_F(Screens, NoticeIsShownAndClosedWhateverItsEvent) {
    fake::ScriptEvents(102, {"EXIT"});
    ShowNotice();
    EXPECT_EQ(fake::CallTexts({"FDoDialogExt", "FKillNDialogs"}),
              (Strings{"FDoDialogExt(mscuistf.dll,102,FInfoDlgProc,mscuistf.dll,900,FHelpDlgProc)",
                       "FKillNDialogs(1)"}));
    EXPECT_EQ(fake::ShowCount(200), 0);
}

}  // namespace
