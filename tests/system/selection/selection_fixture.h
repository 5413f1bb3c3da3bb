// What the selection and installation tests share: a fresh fake platform per test,
// answers for the plotter and radio dialogs, and a record of the symbols each
// showing of a dialog found.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "tests/fake/fake_platform.h"

namespace selection_test {

constexpr const char *DefaultSpoolDir = "C:\\WINNT\\spool\\printers";

// The plotter dialog's answer: model, port, spool directory and the default box.
struct PlotterChoice {
    std::string model = "ORV Quillon 2110";
    std::string port = "LPT1:";
    std::string spoolDir = DefaultSpoolDir;
    bool setDefault = true;
    std::string event = "CONTINUE";
};

inline fake::DialogAnswer Plotter(const PlotterChoice &choice) {
    fake::DialogAnswer answer;
    answer.event = choice.event;
    answer.lists["CheckItemsState"] = {choice.setDefault ? "ON" : "OFF"};
    answer.lists["ListItemsOut"] = {choice.port};
    answer.lists["EditTextOut"] = {choice.spoolDir};
    answer.symbols["List2ItemsOut"] = choice.model;
    return answer;
}

inline fake::DialogAnswer PlotterModel(const std::string &model, const std::string &event = "CONTINUE") {
    PlotterChoice choice;
    choice.model = model;
    choice.event = event;
    return Plotter(choice);
}

// A radio dialog's answer: button "1" or "2" and the event.
inline fake::DialogAnswer Radio(const std::string &button, const std::string &event = "CONTINUE") {
    fake::DialogAnswer answer;
    answer.event = event;
    answer.symbols["ButtonChecked"] = button;
    return answer;
}

// The symbols that showings of dialogs found, in the order of the showings.
struct Seen {
    int dialogId;
    std::map<std::string, std::vector<std::string>> symbols;
};

inline std::vector<Seen> &SeenAtShowings() {
    static std::vector<Seen> seen;
    return seen;
}

// `answer`, recording what `names` held when the dialog was shown. The dialog's own
// answers are set before the record is taken, so only input symbols are worth asking.
inline fake::DialogAnswer Watching(int dialogId, fake::DialogAnswer answer, std::vector<std::string> names) {
    answer.action = [dialogId, names] {
        Seen seen{dialogId, {}};
        for (const std::string &name : names) seen.symbols[name] = fake::List(name);
        SeenAtShowings().push_back(seen);
    };
    return answer;
}

// The "Seen" records of one dialog.
inline std::vector<Seen> SeenBy(int dialogId) {
    std::vector<Seen> result;
    for (const Seen &seen : SeenAtShowings()) {
        if (seen.dialogId == dialogId) result.push_back(seen);
    }
    return result;
}

// The state the selection leaves for an installation of catalogue slot `slot` with the
// driver kind `kind`, on the fake machine's directories.
inline void SelectedForInstall(int slot, int kind, const std::string &printerName, int installDriver = 1) {
    g_state.g_modelIndex = slot;
    g_state.g_driverKind = kind;
    g_state.g_installDriver = installDriver;
    std::snprintf(g_state.g_printerName, sizeof g_state.g_printerName, "%s", printerName.c_str());
    std::snprintf(g_state.g_sourceDir, sizeof g_state.g_sourceDir, "%s", "A:\\");
    std::snprintf(g_state.g_systemDir, sizeof g_state.g_systemDir, "%s", "C:\\WINNT\\system32");
    std::snprintf(g_state.g_infDir, sizeof g_state.g_infDir, "%s", "C:\\WINNT\\inf\\");
    std::snprintf(g_state.g_spoolDir, sizeof g_state.g_spoolDir, "%s", "C:\\WINNT\\spool\\printers\\");
}

class Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        SeenAtShowings().clear();
    }
    void TearDown() override { EXPECT_EQ(fake::LiveHeapBuffers(), 0) << "a spooler list buffer was not released"; }
};

using Strings = std::vector<std::string>;

}  // namespace selection_test
