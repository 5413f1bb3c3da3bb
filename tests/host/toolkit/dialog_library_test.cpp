// The dialog library: the dialog stack and its showings, the texts completed for a
// showing (the confirmation's summary, the fatal dialog's last error), and the
// unattended front end's presets and answers.
#include "toolkit_fixture.h"

#include "host/workstation/windows.h"
#include "platform/win32.h"

namespace {

using namespace orv::toolkit;
using namespace orv::toolkit::testing;

BOOL Show(int id) { return FDoDialogExt(HwndFrame(), "mscuistf.dll", id, "Proc", "mscuistf.dll", 0, nullptr); }

class DialogLibrary : public FrameFixture {};

TEST_F(DialogLibrary, ShowingAnOpenDialogBringsItBackAndClosingGoesFromTheTop) {
    StartFrame();
    ASSERT_TRUE(Show(100));
    ASSERT_TRUE(Show(906));
    ASSERT_TRUE(Show(100));  // still open: shown again, not stacked twice
    EXPECT_EQ(OpenDialogs(), (std::vector<int>{100, 906}));
    ASSERT_EQ(TheScript().showings.size(), 3u);
    EXPECT_FALSE(TheScript().showings[0].second.reshown);
    EXPECT_TRUE(TheScript().showings[2].second.reshown);
    EXPECT_EQ(TheScript().showings[2].second.number, 2);
    EXPECT_TRUE(FKillNDialogs(1));
    EXPECT_EQ(OpenDialogs(), (std::vector<int>{100}));
    ASSERT_TRUE(Show(200));
    EXPECT_TRUE(FKillNDialogs(-1));
    EXPECT_TRUE(OpenDialogs().empty());
    char event[15];
    EXPECT_EQ(CbGetSymbolValue("DLGEVENT", event, sizeof event), 8);
    EXPECT_STREQ(event, "CONTINUE");
}

TEST_F(DialogLibrary, UnknownDialogsLibrariesAndFailingFrontEndsFailTheCall) {
    StartFrame();
    EXPECT_FALSE(Show(12345));
    EXPECT_FALSE(FDoDialogExt(HwndFrame(), "other.dll", 100, "Proc", "other.dll", 0, nullptr));
    TheScript().onDialog = [](const DialogDefinition &, SymbolStore &, const DialogShowing &, std::string &error) {
        error = "the screen is too small";
        return false;
    };
    EXPECT_FALSE(Show(100));
    EXPECT_EQ(LastToolkitError(), "the screen is too small");
    EXPECT_TRUE(OpenDialogs().empty()) << "a dialog that could not be shown is not left open";
}

TEST_F(DialogLibrary, TheFatalDialogShowsTheLastToolkitError) {
    WriteText(disk / "setup.inf", "[Info]\nx = \"open\n");
    StartFrame();
    EXPECT_FALSE(FOpenInf("A:\\setup.inf", 1, 0));
    ASSERT_TRUE(Show(400));
    const DialogShowing &fatal = TheScript().showings.back().second;
    EXPECT_NE(fatal.text.find("A:\\setup.inf, line 2: a quoted field has no closing quote"), std::string::npos) << fatal.text;
    EXPECT_FALSE(FOpenInf("", 1, 0));
    ASSERT_TRUE(Show(400));
    EXPECT_NE(TheScript().showings.back().second.text.find("setup.inf was not found"), std::string::npos);
}

TEST_F(DialogLibrary, TheFatalDialogSaysWhyARunWasStoppedWithoutAnError) {
    StartFrame();
    ClearLastToolkitError();
    orv::host::PostQuitMessage();
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(Show(400));
    EXPECT_NE(TheScript().showings.back().second.text.find("Setup was interrupted"), std::string::npos)
        << "a quit taken from the queue";
    SetStopReason("The copy of the files was stopped.");
    ASSERT_TRUE(Show(400));
    EXPECT_NE(TheScript().showings.back().second.text.find("The copy of the files was stopped."), std::string::npos);
    orv::host::ClearQuitMessage();
}

TEST_F(DialogLibrary, TheConfirmationSummarisesTheLastChoices) {
    StartFrame();
    TheScript().onDialog = [](const DialogDefinition &dialog, SymbolStore &symbols, const DialogShowing &, std::string &) {
        if (dialog.kind == DialogKind::Plotter) {
            symbols.SetValue(kSymModelOut, "ORV InkRay Color 190i");
            symbols.SetList(kSymPortOut, {"COM2:"});
            symbols.SetList(kSymSpoolOut, {"C:\\spool"});
            symbols.SetList(kSymCheckState, {"OFF"});
        } else if (dialog.kind == DialogKind::Radio) {
            symbols.SetValue(kSymButtonChecked, "1");
        }
        symbols.SetValue(kSymEvent, kEventContinue);
        return true;
    };
    ASSERT_TRUE(Show(850));
    ASSERT_TRUE(FKillNDialogs(1));
    ASSERT_TRUE(Show(800));
    ASSERT_TRUE(FKillNDialogs(1));
    ASSERT_TRUE(Show(101));
    const std::string &text = TheScript().showings.back().second.text;
    for (const char *part : {"ORV InkRay Color 190i", "vector driver", "ORV InkRay 190i (412)", "COM2:", "C:\\spool\\",
                             "Default printer:  no"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
}

TEST_F(DialogLibrary, UnattendedAnswersFallBackToThePresets) {
    scripted = false;
    WriteText(root / "answers.ini", "[Plotter]\nPort=com2:\n[InstalledDriver]\nAction=replace\n");
    StartFrame("--answers \"" + (root / "answers.ini").string() + "\"");
    auto &symbols = Symbols();
    symbols.SetList(kSymModelsIn, {"ORV Quillon 2110", "ORV Linecraft 81224", ""});
    symbols.SetValue(kSymModelDefault, "1");
    symbols.SetList(kSymPortsIn, {"LPT1:", "COM2:"});
    symbols.SetValue(kSymPortDefault, "LPT1:");
    symbols.SetList(kSymSpoolIn, {"C:\\WINNT\\spool\\printers"});
    symbols.SetList(kSymCheckState, {"OFF"});
    ASSERT_TRUE(Show(850));
    EXPECT_EQ(symbols.Value(kSymModelOut), "ORV Linecraft 81224");
    EXPECT_EQ(symbols.Item(kSymPortOut, 1), "COM2:") << "the listed spelling of the answer";
    EXPECT_EQ(symbols.Item(kSymSpoolOut, 1), "C:\\WINNT\\spool\\printers");
    EXPECT_EQ(symbols.Item(kSymCheckState, 1), "OFF");

    symbols.SetValue(kSymRadioDefault, "1");
    ASSERT_TRUE(Show(800));
    EXPECT_EQ(symbols.Value(kSymButtonChecked), "1") << "no answer: the preset";
    ASSERT_TRUE(Show(908));
    EXPECT_EQ(symbols.Value(kSymButtonChecked), "2");
    ASSERT_TRUE(Show(200));
    EXPECT_EQ(symbols.Value(kSymEvent), "EXIT");
}

}  // namespace
