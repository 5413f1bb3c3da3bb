// The plotter dialog: the lists and presets it is given, the answers it stores, the
// way Cancel and Exit are handled, and the answers it refuses.
#include <cstring>
#include <string>
#include <vector>

#include "host/text/ansi_text.h"
#include "selection/plotter_dialog.h"
#include "session/dialog_exchange.h"
#include "tests/system/selection/selection_fixture.h"

namespace {

using namespace selection_test;

class PlotterDialog : public Fixture {};

const Strings kInputSymbols = {"CheckItemsState", "ListItemsIn", "EditTextIn", "List2ItemsIn",
                               "List2Default",    "ListDefault", "Edit2Default"};

TEST_F(PlotterDialog, FillsTheSymbolsThenShowsClosesAndReadsInOrder) {
    fake::ScriptDialog(850, {Plotter({})});
    EXPECT_EQ(RunPlotterDialog(), EventContinue);
    const Strings expected = {
        "FRemoveSymbol(CheckItemsState)",
        "FAddListItem(CheckItemsState,ON)",
        "FRemoveSymbol(ListItemsIn)",
        "EnumPortsA",
        "HeapAllocZeroed",
        "EnumPortsA",
        "FAddListItem(ListItemsIn,LPT1:)",
        "FAddListItem(ListItemsIn,LPT2:)",
        "FAddListItem(ListItemsIn,LPT3:)",
        "FAddListItem(ListItemsIn,COM1:)",
        "FAddListItem(ListItemsIn,COM2:)",
        "FAddListItem(ListItemsIn,FILE:)",
        "HeapRelease",
        "FRemoveSymbol(EditTextIn)",
        "FAddListItem(EditTextIn,c:\\windows\\spool\\printers)",
        "FRemoveSymbol(List2ItemsIn)",
    };
    Strings calls;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == "FAddListItem" && !call.args.empty() && call.args[0] == "List2ItemsIn") continue;
        const bool byName = call.name == "EnumPortsA" || call.name == "HeapAllocZeroed" || call.name == "HeapRelease";
        calls.push_back(byName ? call.name : call.Text());
    }
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(Strings(calls.begin(), calls.begin() + static_cast<long>(expected.size())), expected);
    const Strings rest(calls.begin() + static_cast<long>(expected.size()), calls.end());
    const Strings expectedRest = {
        "FRemoveSymbol(List2Default)",
        "FSetSymbolValue(List2Default,0)",
        "FRemoveSymbol(ListDefault)",
        "FSetSymbolValue(ListDefault,LPT1:)",
        "FRemoveSymbol(Edit2Default)",
        "HwndFrame()",
        "FDoDialogExt(mscuistf.dll,850,FCustInstDlgProc,mscuistf.dll,903,FHelpDlgProc)",
        "PeekMessageA(NULL,0,0,1)",
        "CbGetSymbolValue(DLGEVENT,15)",
        "FKillNDialogs(1)",
        "PeekMessageA(NULL,0,0,1)",
        "CbGetListItem(CheckItemsState,1,1024)",
        "CbGetListItem(ListItemsOut,1,1024)",
        "CbGetListItem(EditTextOut,1,300)",
        "CbGetSymbolValue(List2ItemsOut,1024)",
        "FRemoveSymbol(ListItemsIn)",
    };
    ASSERT_GE(rest.size(), expectedRest.size());
    EXPECT_EQ(Strings(rest.begin(), rest.begin() + static_cast<long>(expectedRest.size())), expectedRest);
    // The input and preset symbols go on the way out; the answers stay.
    const Strings removals = fake::CallTexts({"FRemoveSymbol"});
    const Strings lastRemovals(removals.end() - 7, removals.end());
    Strings expectedRemovals;
    for (const std::string &name : kInputSymbols) expectedRemovals.push_back("FRemoveSymbol(" + name + ")");
    std::swap(expectedRemovals[0], expectedRemovals[1]);  // ListItemsIn goes first
    EXPECT_EQ(lastRemovals, expectedRemovals);
    for (const std::string &name : kInputSymbols) EXPECT_FALSE(fake::HasSymbol(name)) << name;
    for (const char *name : {"ListItemsOut", "EditTextOut", "List2ItemsOut"}) EXPECT_TRUE(fake::HasSymbol(name)) << name;
    EXPECT_EQ(fake::OpenDialogs(), std::vector<int>{});
}

TEST_F(PlotterDialog, ListsEveryCatalogueNameAndTheSpoolersPortsButPubAndFax) {
    fake::SetPorts({"COM3:", "PUB:", "LPT1:", "FAX:", "pub:", "\\\\server\\plotter", "FILE:"});
    fake::ScriptDialog(850, {Watching(850, Plotter({}), {"ListItemsIn", "List2ItemsIn", "EditTextIn"})});
    RunPlotterDialog();
    const Seen seen = SeenBy(850).at(0);
    EXPECT_EQ(seen.symbols.at("ListItemsIn"), (Strings{"COM3:", "LPT1:", "pub:", "\\\\server\\plotter", "FILE:"}));
    const Strings models = seen.symbols.at("List2ItemsIn");
    ASSERT_EQ(models.size(), 60u);
    EXPECT_EQ(models.front(), "ORV Quillon 2110");
    EXPECT_EQ(models[9], "ORV Linecraft 81224");
    EXPECT_EQ(models[50], "ORV InkRay 640c 8636");
    for (std::size_t i = 51; i < 60; ++i) EXPECT_EQ(models[i], "") << i;
    EXPECT_EQ(seen.symbols.at("EditTextIn"), Strings{"c:\\windows\\spool\\printers"});
}

TEST_F(PlotterDialog, OffersTheFixedPortsWhenTheSpoolerListCannotBeHad) {
    const Strings fixed = {"LPT1:", "LPT2:", "LPT3:", "FILE:", "COM1:", "COM2:", "COM3:", "COM4:"};
    struct Case {
        const char *what;
        void (*script)();
    } cases[] = {
        {"no buffer", [] { fake::FailCall("HeapAllocZeroed"); }},
        // The size query answers nothing, so the second call gets too small a buffer.
        {"second call fails", [] { fake::FailCall("EnumPortsA", {.result = 0, .times = 1}); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        SeenAtShowings().clear();
        c.script();
        fake::ScriptDialog(850, {Watching(850, Plotter({}), {"ListItemsIn"})});
        RunPlotterDialog();
        EXPECT_EQ(SeenBy(850).at(0).symbols.at("ListItemsIn"), fixed);
        EXPECT_EQ(fake::LiveHeapBuffers(), 0);
    }
}

TEST_F(PlotterDialog, LeavesOutPortsTooLongToBeHeld) {
    const std::string longest(23, 'P');
    fake::SetPorts({"LPT1:", longest, longest + "Q"});
    fake::ScriptDialog(850, {Watching(850, Plotter({}), {"ListItemsIn"})});
    RunPlotterDialog();
    EXPECT_EQ(SeenBy(850).at(0).symbols.at("ListItemsIn"), (Strings{"LPT1:", longest}));
}

TEST_F(PlotterDialog, StoresTheAnswersWhateverTheEvent) {
    for (const char *event : {"CONTINUE", "BACK", "ZZ"}) {
        SCOPED_TRACE(event);
        fake::Reset();
        fake::ScriptDialog(850, {Plotter({.model = "ORV Linecraft 81236",
                                          .port = "COM2:",
                                          .spoolDir = "D:\\SPOOL",
                                          .setDefault = false,
                                          .event = event})});
        EXPECT_EQ(RunPlotterDialog(), EventCode(event));
        EXPECT_EQ(g_state.g_setDefault, 0);
        EXPECT_STREQ(g_state.g_portName, "COM2:");
        EXPECT_STREQ(g_state.g_spoolDir, "D:\\SPOOL\\");
        EXPECT_STREQ(g_state.g_printerName, "ORV Linecraft 81236");
        EXPECT_EQ(g_state.g_modelIndex, 10);
        EXPECT_EQ(g_state.g_modelListPos, 10);
    }
}

TEST_F(PlotterDialog, DefaultBoxIsOnOnlyForExactlyOn) {
    struct Case {
        const char *item;
        int setDefault;
    } cases[] = {{"ON", 1}, {"OFF", 0}, {"on", 0}, {"", 0}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        fake::Reset();
        fake::DialogAnswer answer = Plotter({});
        answer.lists["CheckItemsState"] = {c.item};
        fake::ScriptDialog(850, {answer});
        RunPlotterDialog();
        EXPECT_EQ(g_state.g_setDefault, c.setDefault);
    }
}

TEST_F(PlotterDialog, SpoolDirectoryAlwaysEndsInOneBackslash) {
    struct Case {
        std::string entered;
        std::string stored;
    } cases[] = {
        {"c:\\windows\\spool\\printers", "c:\\windows\\spool\\printers\\"},
        {"C:\\SPOOL\\", "C:\\SPOOL\\"},
        {"", "\\"},
        {"C:\\", "C:\\"},
        {std::string(298, 'd'), std::string(298, 'd') + "\\"},
        {std::string(298, 'd') + "\\", std::string(298, 'd') + "\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entered);
        fake::Reset();
        fake::ScriptDialog(850, {Plotter({.spoolDir = c.entered})});
        RunPlotterDialog();
        EXPECT_EQ(std::string(g_state.g_spoolDir), c.stored);
        EXPECT_EQ(fake::CountCalls("MessageBoxA"), 0);
    }
}

TEST_F(PlotterDialog, ModelLookupGivesSlotAndListPosition) {
    struct Case {
        std::string model;
        int slot;
        int position;
    } cases[] = {
        {"ORV Quillon 2110", 0, 0},
        {"ORV InkRay 640c 8636", 50, 50},
        {"", 51, 51},  // every empty entry is the first empty slot
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.model);
        fake::Reset();
        fake::ScriptDialog(850, {PlotterModel(c.model)});
        RunPlotterDialog();
        EXPECT_EQ(g_state.g_modelIndex, c.slot);
        EXPECT_EQ(g_state.g_modelListPos, c.position);
        EXPECT_STREQ(g_state.g_printerName, c.model.c_str());
    }
}

TEST_F(PlotterDialog, CancelAndStayShowsTheDialogAgainWithTheAnswersJustGiven) {
    fake::DialogAnswer cancelled = Plotter({.model = "ORV Quillon 2110",
                                            .port = "FILE:",
                                            .spoolDir = "E:\\JOBS",
                                            .setDefault = false,
                                            .event = "CANCEL"});
    // The second showing leaves the box alone, so its preset can be seen.
    fake::DialogAnswer second = Plotter({.model = "ORV Hueline 4413"});
    second.lists.erase("CheckItemsState");
    fake::ScriptDialog(850, {cancelled, Watching(850, second, kInputSymbols)});
    fake::ScriptEvents(200, {"CONTINUE"});
    EXPECT_EQ(RunPlotterDialog(), EventContinue);
    EXPECT_EQ(fake::ShownDialogs(), (std::vector<int>{850, 200, 850}));
    const Seen presets = SeenBy(850).at(0);
    EXPECT_EQ(presets.symbols.at("CheckItemsState"), Strings{"OFF"});
    EXPECT_EQ(presets.symbols.at("ListDefault"), Strings{"FILE:"});
    EXPECT_EQ(presets.symbols.at("EditTextIn"), Strings{"E:\\JOBS\\"});
    EXPECT_EQ(presets.symbols.at("List2Default"), Strings{"0"});
    EXPECT_EQ(presets.symbols.at("Edit2Default"), Strings{});
    EXPECT_EQ(g_state.g_modelIndex, 6);
    EXPECT_EQ(g_state.g_setDefault, 0);
}

TEST_F(PlotterDialog, ExitConfirmedEndsTheRun) {
    fake::ScriptDialog(850, {PlotterModel("ORV Quillon 2110", "EXIT")});
    fake::ScriptEvents(200, {"EXIT"});
    EXPECT_EQ(fake::RunUntilExit([] { RunPlotterDialog(); }), 0);
    EXPECT_EQ(fake::ShownDialogs(), (std::vector<int>{850, 200}));
    EXPECT_EQ(fake::ShowCount(400), 0);
}

TEST_F(PlotterDialog, ListPositionIsThePresetOfTheNextCall) {
    fake::ScriptDialog(850, {PlotterModel("ORV Statora 3325", "BACK"),
                             Watching(850, PlotterModel("ORV Statora 3325"), {"List2Default", "ListDefault"})});
    EXPECT_EQ(RunPlotterDialog(), EventBack);
    RunPlotterDialog();
    EXPECT_EQ(SeenBy(850).at(0).symbols.at("List2Default"), Strings{"15"});
}

// Answers that cannot be used are refused with a warning naming what is wrong, and
// the dialog comes back preset with what could be kept.
TEST_F(PlotterDialog, RefusesAnswersThatCannotBeUsed) {
    const std::string tooLongPort(24, 'P');
    const std::string fullSpoolDir(299, 'd');
    const std::string tooLongModel(300, 'M');
    struct Case {
        const char *what;
        PlotterChoice refused;
        const char *caption;
        std::string textPart;
    } cases[] = {
        {"port", {.port = tooLongPort}, "Plotter Port", "\"" + tooLongPort + "\" is too long"},
        {"spool directory without room for its backslash", {.spoolDir = fullSpoolDir}, "Spool Directory",
         "spool directory name is too long"},
        {"spool directory longer than its field", {.spoolDir = fullSpoolDir + "dd"}, "Spool Directory",
         "spool directory name is too long"},
        {"unknown model", {.model = "ORV Quillon 2111"}, "Plotter Model", "\"ORV Quillon 2111\" is not a plotter model"},
        {"model longer than the printer name", {.model = tooLongModel}, "Plotter Model",
         "\"" + tooLongModel + "\" is not a plotter model"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        SeenAtShowings().clear();
        std::strcpy(g_state.g_portName, "LPT2:");
        std::strcpy(g_state.g_spoolDir, "C:\\KEEP\\");
        fake::ScriptDialog(850, {Plotter(c.refused),
                                 Watching(850, Plotter({.model = "ORV Quillon 2116", .port = "LPT3:",
                                                        .spoolDir = "C:\\NEW"}),
                                          {"ListDefault", "EditTextIn", "List2Default"})});
        EXPECT_EQ(RunPlotterDialog(), EventContinue);
        EXPECT_EQ(fake::ShowCount(850), 2);
        const Strings boxes = fake::CallTexts({"MessageBoxA"});
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(c.textPart), std::string::npos) << boxes[0];
        EXPECT_NE(boxes[0].find(std::string(",") + c.caption + ",48)"), std::string::npos) << boxes[0];
        const Seen again = SeenBy(850).at(0);
        if (std::string(c.what) == "port") {
            EXPECT_EQ(again.symbols.at("ListDefault"), Strings{"LPT2:"});
        }
        if (std::string(c.what).rfind("spool", 0) == 0) {
            EXPECT_EQ(again.symbols.at("EditTextIn"), Strings{"C:\\KEEP\\"});
        }
        if (std::string(c.what).find("model") != std::string::npos) {
            EXPECT_EQ(again.symbols.at("List2Default"), Strings{"60"});  // matched no listed entry
        }
        EXPECT_STREQ(g_state.g_portName, "LPT3:");
        EXPECT_STREQ(g_state.g_spoolDir, "C:\\NEW\\");
        EXPECT_EQ(g_state.g_modelIndex, 2);
    }
}

TEST(EnsureTrailingBackslash, AppendsOnlyWhereNeededAndWhereItFits) {
    fake::Reset();
    struct Case {
        std::string path;
        std::size_t size;
        int result;
        std::string after;
    } cases[] = {
        {"C:\\DIR", 10, 1, "C:\\DIR\\"},
        {"C:\\DIR\\", 10, 1, "C:\\DIR\\"},
        {"", 10, 1, "\\"},
        {"C:\\DIR", 8, 1, "C:\\DIR\\"},   // exactly room for the backslash and terminator
        {"C:\\DIR", 7, 0, "C:\\DIR"},     // no room: left as it is
        {"C:\\DIR\\", 8, 1, "C:\\DIR\\"}, // already ends in one: no room needed
        {"", 1, 0, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path + " in " + std::to_string(c.size));
        std::vector<char> buffer(c.size + 4, 'x');
        std::memcpy(buffer.data(), c.path.c_str(), c.path.size() + 1);
        EXPECT_EQ(EnsureTrailingBackslash(buffer.data(), c.size), c.result);
        EXPECT_EQ(std::string(buffer.data()), c.after);
        EXPECT_EQ(buffer[c.size], 'x') << "wrote past the buffer";
    }
}

TEST(EnsureTrailingBackslash, SecondByteOfADoubleByteCharacterIsNoBackslash) {
    fake::Reset();
    orv::text::SetCodePages(932, 437);
    char path[16] = "C:\\\x95\x5C";  // the last character is one double-byte character
    EXPECT_EQ(EnsureTrailingBackslash(path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\\x95\x5C\\");
    char single[16] = "C:\\\x95\x5C\\";
    EXPECT_EQ(EnsureTrailingBackslash(single, sizeof single), 1);
    EXPECT_STREQ(single, "C:\\\x95\x5C\\");
    orv::text::SetCodePages(1252, 437);
    char western[16] = "C:\\\x95\x5C";  // two single-byte characters: ends in a backslash
    EXPECT_EQ(EnsureTrailingBackslash(western, sizeof western), 1);
    EXPECT_STREQ(western, "C:\\\x95\x5C");
}

}  // namespace
