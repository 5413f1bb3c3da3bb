// The selection loop: driver kind, printer name, the keep-or-replace decision, the
// spool directory, and the ways back to the plotter dialog with their presets.
#include <cstring>
#include <string>
#include <vector>

#include "selection/driver_choice.h"
#include "tests/system/selection/selection_fixture.h"

namespace {

using namespace selection_test;

class Selection : public Fixture {};

fake::DriverRecord Driver(const std::string &name) {
    fake::DriverRecord record;
    record.name = name;
    return record;
}

TEST_F(Selection, KindAndPrinterNameFollowTheModelAndTheDriverChosen) {
    struct Case {
        const char *model;
        const char *button;  // nullptr: no driver-kind dialog expected
        int kind;
        const char *printerName;
    } cases[] = {
        {"ORV Quillon 2110", nullptr, DriverVector, "ORV Quillon 2110"},
        {"ORV Penline 207X", nullptr, DriverVector, "ORV Penline 207X"},
        {"ORV Linecraft 81224", "1", DriverVector, "ORV Linecraft 81224 (412)"},
        {"ORV Linecraft 81224", "2", DriverRaster, "ORV Linecraft 81224"},
        {"ORV Statora 46436", "1", DriverVector, "ORV Statora 46436 (412)"},
        {"ORV Statora 47436", "1", DriverVector, "ORV Statora 47436"},
        {"ORV InkRay Color 190i", "1", DriverVector, "ORV InkRay 190i (412)"},
        {"ORV InkRay Color 190i", "2", DriverRaster, "ORV InkRay Color 190i"},
        {"ORV InkRay 640c 8636", "", DriverRaster, "ORV InkRay 640c 8636"},  // anything but "1" is button 2
        {"", nullptr, DriverModel, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.model) + " / " + (c.button ? c.button : "-"));
        fake::Reset();
        fake::ScriptDialog(850, {PlotterModel(c.model)});
        if (c.button) fake::ScriptDialog(800, {Radio(c.button)});
        RunSelection();
        EXPECT_EQ(fake::ShowCount(800), c.button ? 1 : 0);
        EXPECT_EQ(g_state.g_driverKind, c.kind);
        EXPECT_STREQ(g_state.g_printerName, c.printerName);
        EXPECT_EQ(g_state.g_installDriver, 1);  // the fake spooler has no drivers
        EXPECT_EQ(fake::ShowCount(908), 0);
    }
}

TEST_F(Selection, NameOutsideTheListIsNoChoice) {
    fake::ScriptDialog(850, {PlotterModel("ORV Quillon"), PlotterModel("ORV Quillon 2115")});
    RunSelection();
    EXPECT_EQ(fake::ShowCount(850), 2);
    EXPECT_EQ(g_state.g_modelIndex, 1);
    EXPECT_STREQ(g_state.g_printerName, "ORV Quillon 2115");
}

TEST_F(Selection, DriverKindDialogExchange) {
    fake::ScriptDialog(850, {PlotterModel("ORV Linecraft 81236")});
    fake::ScriptDialog(800, {Watching(800, Radio("1"), {"RadioDefault"})});
    RunSelection();
    EXPECT_EQ(SeenBy(800).at(0).symbols.at("RadioDefault"), Strings{"2"});  // raster first
    Strings after800;
    bool seen = false;
    for (const std::string &text :
         fake::CallTexts({"FSetSymbolValue", "FDoDialogExt", "CbGetSymbolValue", "FKillNDialogs"})) {
        if (text.rfind("FSetSymbolValue(RadioDefault", 0) == 0) seen = true;
        if (seen) after800.push_back(text);
    }
    EXPECT_EQ(after800, (Strings{"FSetSymbolValue(RadioDefault,2)",
                                 "FDoDialogExt(mscuistf.dll,800,FRadioDlgProc,mscuistf.dll,901,FHelpDlgProc)",
                                 "CbGetSymbolValue(DLGEVENT,15)", "CbGetSymbolValue(ButtonChecked,15)",
                                 "FKillNDialogs(1)"}));
    EXPECT_EQ(g_state.g_driverKind, DriverVector);
}

TEST_F(Selection, LeavingTheDriverKindDialogGoesBackToThePlotterDialogKeepingTheChoice) {
    struct Case {
        const char *event;
        int quitShowings;
    } cases[] = {{"BACK", 0}, {"ZZ", 0}, {"CANCEL", 1}, {"EXIT", 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.event);
        fake::Reset();
        SeenAtShowings().clear();
        fake::ScriptDialog(850, {PlotterModel("ORV Monad 4 64424")});
        fake::ScriptDialog(800, {Radio("1", c.event), Watching(800, Radio("2"), {"RadioDefault"})});
        fake::ScriptEvents(200, {"CONTINUE"});
        RunSelection();
        EXPECT_EQ(fake::ShowCount(850), 2);
        EXPECT_EQ(fake::ShowCount(200), c.quitShowings);
        EXPECT_EQ(SeenBy(800).at(0).symbols.at("RadioDefault"), Strings{"1"});
        EXPECT_EQ(g_state.g_driverKind, DriverRaster);
        EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{});
        if (c.quitShowings) {
            // The quit dialog comes after the driver-kind dialog has been closed.
            const std::vector<int> shown = fake::ShownDialogs();
            EXPECT_EQ(shown, (std::vector<int>{850, 800, 200, 850, 800}));
        }
    }
}

TEST_F(Selection, ExitConfirmedInTheDriverKindDialogEndsTheRun) {
    fake::ScriptDialog(850, {PlotterModel("ORV Monad 4 64424")});
    fake::ScriptDialog(800, {Radio("1", "EXIT")});
    fake::ScriptEvents(200, {"EXIT"});
    EXPECT_EQ(fake::RunUntilExit([] { RunSelection(); }), 0);
    EXPECT_EQ(fake::ShowCount(850), 1);
}

TEST_F(Selection, InstalledDriverOfTheSameNameAsksWhetherToKeepIt) {
    struct Case {
        const char *button;
        int installDriver;
    } cases[] = {{"1", 0}, {"2", 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        fake::Reset();
        SeenAtShowings().clear();
        fake::SetDrivers({Driver("ORV Quillon 2110 "), Driver("orv quillon 2110"), Driver("ORV Quillon 2110")});
        fake::ScriptDialog(850, {PlotterModel("ORV Quillon 2110")});
        fake::ScriptDialog(908, {Watching(908, Radio(c.button), {"RadioDefault"})});
        RunSelection();
        EXPECT_EQ(SeenBy(908).at(0).symbols.at("RadioDefault"), Strings{"1"});
        EXPECT_EQ(g_state.g_installDriver, c.installDriver);
        EXPECT_EQ(fake::CallTexts({"FDoDialogExt"}).back(),
                  "FDoDialogExt(mscuistf.dll,908,FRadioDlgProc,mscuistf.dll,907,FHelpDlgProc)");
        EXPECT_EQ(fake::CallNames({"EnumPrinterDriversA", "HeapAllocZeroed", "HeapRelease", "FDoDialogExt"}),
                  (Strings{"HeapAllocZeroed", "HeapRelease",  // the port list
                           "FDoDialogExt", "EnumPrinterDriversA", "HeapAllocZeroed", "EnumPrinterDriversA",
                           "HeapRelease", "FDoDialogExt"}));
    }
}

TEST_F(Selection, OnlyAnExactNameCountsAsInstalled) {
    fake::SetDrivers({Driver("ORV Quillon 2110 (412)"), Driver("ORV QUILLON 2110"), Driver("ORV Quillon 211")});
    fake::ScriptDialog(850, {PlotterModel("ORV Quillon 2110")});
    RunSelection();
    EXPECT_EQ(fake::ShowCount(908), 0);
    EXPECT_EQ(g_state.g_installDriver, 1);
}

TEST_F(Selection, LeavingTheKeepOrReplaceDialogGoesBackKeepingTheDecision) {
    fake::SetDrivers({Driver("ORV Quillon 2110")});
    fake::ScriptDialog(850, {PlotterModel("ORV Quillon 2110")});
    fake::ScriptDialog(908, {Radio("2", "BACK"), Watching(908, Radio("2", "CANCEL"), {"RadioDefault"}),
                             Watching(908, Radio("1"), {"RadioDefault"})});
    fake::ScriptEvents(200, {"CONTINUE"});
    RunSelection();
    EXPECT_EQ(fake::ShownDialogs(), (std::vector<int>{850, 908, 850, 908, 200, 850, 908}));
    EXPECT_EQ(SeenBy(908).at(0).symbols.at("RadioDefault"), Strings{"2"});
    EXPECT_EQ(SeenBy(908).at(1).symbols.at("RadioDefault"), Strings{"2"});
    EXPECT_EQ(g_state.g_installDriver, 0);
}

TEST_F(Selection, NoDriverFoundInAnEarlierPassPresetsReplace) {
    // Pass 1: a raster model without an installed driver and a missing spool
    // directory; the user goes back. Pass 2: a model whose driver is installed.
    fake::SetDrivers({Driver("ORV Quillon 2115")});
    fake::SetDirExistsDefault(false);
    fake::ScriptDialog(850, {PlotterModel("ORV Linecraft 81224"), PlotterModel("ORV Quillon 2115")});
    fake::ScriptDialog(800, {Radio("2")});
    fake::ScriptEvents(6400, {"BACK"});
    fake::ScriptDialog(908, {Watching(908, Radio("1"), {"RadioDefault"})});
    RunSelection();
    EXPECT_EQ(fake::ShownDialogs(), (std::vector<int>{850, 800, 6400, 850, 908}));
    EXPECT_EQ(SeenBy(908).at(0).symbols.at("RadioDefault"), Strings{"2"});
    EXPECT_EQ(g_state.g_driverKind, DriverVector);
    EXPECT_STREQ(g_state.g_printerName, "ORV Quillon 2115");
}

TEST_F(Selection, DriverListThatCannotBeHad) {
    // No buffer: the check is skipped and the decision stays as it was (0 at first).
    fake::SetDrivers({Driver("ORV Quillon 2110")});
    fake::FailCall("HeapAllocZeroed");
    fake::ScriptDialog(850, {PlotterModel("ORV Quillon 2110")});
    RunSelection();
    EXPECT_EQ(fake::ShowCount(908), 0);
    EXPECT_EQ(g_state.g_installDriver, 0);
    EXPECT_EQ(fake::CountCalls("EnumPrinterDriversA"), 1);

    // A list the spooler cannot fill counts as no driver installed: install it.
    fake::Reset();
    fake::SetDrivers({Driver("ORV Quillon 2110")});
    fake::FailCall("EnumPrinterDriversA", {.result = 0, .times = 1});
    fake::ScriptDialog(850, {PlotterModel("ORV Quillon 2110")});
    RunSelection();
    EXPECT_EQ(fake::ShowCount(908), 0);
    EXPECT_EQ(g_state.g_installDriver, 1);
    EXPECT_EQ(fake::LiveHeapBuffers(), 0);
}

TEST_F(Selection, SpoolDirectoryIsTestedOnlyForTheRasterDriver) {
    struct Case {
        const char *model;
        const char *button;
        bool exists;
        int createShowings;
    } cases[] = {
        {"ORV Quillon 2110", nullptr, false, 0},
        {"", nullptr, false, 0},
        {"ORV Linecraft 81224", "1", false, 0},
        {"ORV Linecraft 81224", "2", true, 0},
        {"ORV Linecraft 81224", "2", false, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.model) + (c.button ? c.button : "") + (c.exists ? " exists" : " missing"));
        fake::Reset();
        fake::SetDirExistsDefault(c.exists);
        fake::ScriptDialog(850, {Plotter({.model = c.model, .spoolDir = ""})});
        if (c.button) fake::ScriptDialog(800, {Radio(c.button)});
        RunSelection();
        const bool raster = c.button && std::string(c.button) == "2";
        // An empty entry reaches the test as a single backslash.
        EXPECT_EQ(fake::CallTexts({"FDirExists"}), raster ? Strings{"FDirExists(\\)"} : Strings{});
        EXPECT_EQ(fake::ShowCount(6400), c.createShowings);
    }
}

TEST_F(Selection, MissingSpoolDirectoryIsCreatedOnRequest) {
    fake::SetDirExistsDefault(false);
    fake::ScriptDialog(850, {Plotter({.model = "ORV Linecraft 81224", .spoolDir = "C:\\WINNT\\SPOOL\\PLOT"})});
    fake::ScriptDialog(800, {Radio("2")});
    RunSelection();
    const Strings names = fake::CallTexts({"FDoDialogExt", "FKillNDialogs", "CreateDirectoryA"});
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[names.size() - 3], "FDoDialogExt(mscuistf.dll,6400,FInfoDlgProc,mscuistf.dll,0,NULL)");
    EXPECT_EQ(names[names.size() - 2], "FKillNDialogs(1)");
    const fake::Call &create = fake::Calls().back();
    EXPECT_EQ(create.name, "CreateDirectoryA");
    EXPECT_EQ(create.args.at(0), "C:\\WINNT\\SPOOL\\PLOT\\");
    EXPECT_NE(create.args.at(1), "NULL");
    EXPECT_EQ(fake::CountCalls("MessageBoxA"), 0);
    EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{});
}

TEST_F(Selection, FailedCreationWarnsAndGoesBackToThePlotterDialog) {
    fake::SetDirExistsDefault(false);
    fake::FailCall("CreateDirectoryA", {.result = 0, .lastError = ERROR_PATH_NOT_FOUND, .times = 1});
    fake::ScriptDialog(850, {Plotter({.model = "ORV Linecraft 81224", .spoolDir = "Q:\\NOWHERE"}),
                             Plotter({.model = "ORV Linecraft 81224", .spoolDir = "C:\\SPOOL"})});
    fake::ScriptDialog(800, {Radio("2")});
    RunSelection();
    EXPECT_EQ(fake::ShownDialogs(), (std::vector<int>{850, 800, 6400, 850, 800, 6400}));
    const Strings boxes = fake::CallTexts({"MessageBoxA"});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(",Unable to create specified directory. Please specifiy a different directory name."
                            ",Create Directory,48)"),
              std::string::npos)
        << boxes[0];
    EXPECT_STREQ(g_state.g_spoolDir, "C:\\SPOOL\\");
}

TEST_F(Selection, CreateSpoolDirectoryDialogEvents) {
    struct Case {
        Strings events;
        Strings quitEvents;
        int result;
        std::vector<int> shown;
        int closes;  // FKillNDialogs(1) calls made by the exchange
    } cases[] = {
        {{"CONTINUE"}, {}, 0, {6400}, 1},
        {{"BACK"}, {}, 1, {6400}, 1},
        // Cancel shows the dialog again, still open, without asking to quit.
        {{"CANCEL", "CANCEL", "BACK"}, {}, 1, {6400, 6400, 6400}, 1},
        {{"EXIT", "CONTINUE"}, {"CONTINUE"}, 0, {6400, 200, 6400}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.events.front() + " ...");
        fake::Reset();
        fake::ScriptEvents(6400, c.events);
        if (!c.quitEvents.empty()) fake::ScriptEvents(200, c.quitEvents);
        EXPECT_EQ(RunCreateSpoolDir(), c.result);
        EXPECT_EQ(fake::ShownDialogs(), c.shown);
        EXPECT_EQ(fake::CountCalls("FKillNDialogs"), c.closes);
        EXPECT_EQ(fake::CountCalls("CreateDirectoryA"), c.result == 0 ? 1 : 0);
        EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{});
    }
}

TEST_F(Selection, EverySelectionStartsFromTheRasterDriverAndKeep) {
    fake::ScriptDialog(850, {PlotterModel("ORV Linecraft 81224")});
    fake::ScriptDialog(800, {Watching(800, Radio("1"), {"RadioDefault"})});
    RunSelection();
    EXPECT_EQ(g_state.g_driverKind, DriverVector);
    RunSelection();
    EXPECT_EQ(SeenBy(800).at(1).symbols.at("RadioDefault"), Strings{"2"});
}

}  // namespace
