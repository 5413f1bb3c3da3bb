// orv-newt-tour: shows chosen dialogs of the library, message boxes and the copy
// gauge on the terminal front end, one after the other, and prints each answer once
// the terminal is given back (on stderr). For looking at the screens and capturing them.
//
//   orv-newt-tour --machine DIR STEP...
//   STEP: a dialog id (100, 850, 800, ...), "stop", "warning", "info", "question"
//         (message boxes) or "copy" (the copy gauge, slowly)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "host/toolkit/frontend.h"
#include "host/toolkit/symbols.h"
#include "platform/toolkit.h"
#include "platform/win32.h"

namespace {

using namespace orv::toolkit;

void PresetPlotterSymbols() {
    SymbolStore &symbols = Symbols();
    symbols.SetList(kSymCheckState, {"ON"});
    symbols.SetList(kSymPortsIn, {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "FILE:"});
    symbols.SetValue(kSymPortDefault, "LPT1:");
    symbols.SetList(kSymSpoolIn, {"c:\\windows\\spool\\printers"});
    symbols.SetList(kSymModelsIn, {"ORV Quillon 2110", "ORV Quillon 2120", "ORV Linecraft 81224", "ORV Linecraft 81236",
                                   "ORV InkRay Color 190i", "ORV Statora 47436", "ORV Monarch 644", ""});
    symbols.SetValue(kSymModelDefault, "0");
}

std::string Answer(int id) {
    std::string text = "dialog " + std::to_string(id) + ": " + Symbols().Value(kSymEvent);
    const DialogDefinition *dialog = FindDialog(id);
    if (dialog != nullptr && dialog->kind == DialogKind::Radio) text += " button=" + Symbols().Value(kSymButtonChecked);
    if (dialog != nullptr && dialog->kind == DialogKind::Plotter) {
        text += " model=" + Symbols().Value(kSymModelOut) + " port=" + Symbols().Item(kSymPortOut, 1).value_or("") +
                " spool=" + Symbols().Item(kSymSpoolOut, 1).value_or("") +
                " default=" + Symbols().Item(kSymCheckState, 1).value_or("");
    }
    return text;
}

void ShowCopy() {
    FrontEnd *frontEnd = ActiveFrontEnd();
    if (frontEnd == nullptr) return;
    const char *files[] = {"C:\\WINNT\\inf\\ORVPLOT.INF", "C:\\WINNT\\system32\\IRCOL_RS.DRV",
                           "C:\\WINNT\\system32\\IRCOL_RS.HLP", "C:\\WINNT\\system32\\LC81224.PCF"};
    const std::uint64_t total = 400;
    frontEnd->BeginCopy(4, total);
    for (std::uint64_t done = 0; done <= total; done += 10) {
        if (!frontEnd->CopyProgress(files[std::min<std::uint64_t>(done / 100, 3)], done, total)) {
            std::fprintf(stderr, "copy: stopped\n");
            frontEnd->EndCopy();
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    frontEnd->EndCopy();
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 4 || std::strcmp(argv[1], "--machine") != 0) {
        std::fprintf(stderr, "usage: orv-newt-tour --machine DIR STEP...\n");
        return 2;
    }
    std::string tail = std::string("--machine \"") + argv[2] + "\"";
    if (InitializeFrame(tail.c_str()) <= 0) return 1;
    SetWindowTextA(HwndFrame(), "Orvalen Plotter Driver Setup");
    FSetBitmap("mscuistf.dll", 1);
    PresetPlotterSymbols();
    FSetSymbolValue("RadioDefault", "2");

    std::vector<std::string> answers;
    for (int i = 3; i < argc; ++i) {
        std::string step = argv[i];
        if (step == "stop") {
            MessageBoxA(GetActiveWindow(), "Unable to add the printer driver.", "Setup Error", MB_ICONSTOP);
        } else if (step == "warning") {
            MessageBoxA(GetActiveWindow(),
                        "Unable to create specified directory. Please specifiy a different directory name.",
                        "Create Directory", 0x30);
        } else if (step == "info") {
            MessageBoxA(GetActiveWindow(), "Installation complete.", "Setup complete", MB_ICONINFORMATION);
        } else if (step == "question") {
            MessageBoxA(GetActiveWindow(), "Is the plotter switched on?", "Plotter", MB_ICONQUESTION);
        } else if (step == "copy") {
            ShowCopy();
        } else {
            int id = std::atoi(step.c_str());
            const DialogDefinition *dialog = FindDialog(id);
            if (dialog == nullptr) {
                answers.push_back("dialog " + step + ": not in the library");
                continue;
            }
            if (!FDoDialogExt(HwndFrame(), "mscuistf.dll", id, dialog->procedure, "mscuistf.dll", dialog->helpId,
                              "FHelpDlgProc")) {
                answers.push_back("dialog " + step + ": failed");
                continue;
            }
            answers.push_back(Answer(id));
            FKillNDialogs(1);
            MSG message{};
            if (PeekMessageA(&message, nullptr, 0, 0, 1)) answers.push_back("quit message");
        }
    }
    TerminateFrame();
    // On stderr, so that stdout stays the terminal while the answers go to a file.
    for (const auto &answer : answers) std::fprintf(stderr, "%s\n", answer.c_str());
    std::fprintf(stderr, "tour done\n");
    return 0;
}
