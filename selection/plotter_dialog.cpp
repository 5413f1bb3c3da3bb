// The plotter dialog (850): fills the symbols of its lists and presets from the setup
// state, shows it, and stores the answers back into the state.
#include "selection/plotter_dialog.h"

#include <cstdio>
#include <cstring>

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "platform/runtime.h"
#include "platform/spooler.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "selection/bounded_text.h"
#include "selection/plotter_catalog.h"
#include "selection/screen_exchange.h"
#include "session/dialog_exchange.h"

const char *const FixedPorts[FixedPortCount] = {"LPT1:", "LPT2:", "LPT3:", "FILE:",
                                                "COM1:", "COM2:", "COM3:", "COM4:"};

namespace {

constexpr int AnswerSize = 1024;

void AddFixedPorts() {
    for (const char *port : FixedPorts) FAddListItem("ListItemsIn", port);
}

// A port whose name does not fit g_portName is left out of the list: chosen, it could
// not be held, and a cut-down name would create the printer on a port that does not
// exist.
int IsOfferedPort(const char *name) {
    if (name == nullptr || name[0] == '\0') return 0;
    if (std::strcmp(name, "PUB:") == 0 || std::strcmp(name, "FAX:") == 0) return 0;
    return std::strlen(name) < sizeof g_state.g_portName ? 1 : 0;
}

void FillPortList() {
    FRemoveSymbol("ListItemsIn");
    DWORD needed = 0;
    EnumPortsA(nullptr, 1, nullptr, 0, &needed, nullptr);
    const DWORD allocated = needed;
    auto *buffer = static_cast<BYTE *>(HeapAllocZeroed(allocated));
    if (buffer == nullptr) {
        AddFixedPorts();
        return;
    }
    DWORD count = 0;
    // When the spooler cannot fill the list after all, the user still gets the
    // standard ports to choose from rather than an empty list.
    if (!EnumPortsA(nullptr, 1, buffer, allocated, &needed, &count)) {
        AddFixedPorts();
    } else {
        // The records lie at the start of our buffer; never walk past it, whatever
        // count the spooler answered.
        const DWORD fitting = allocated / sizeof(PORT_INFO_1);
        if (count > fitting) count = fitting;
        const auto *ports = reinterpret_cast<const PORT_INFO_1 *>(buffer);
        for (DWORD i = 0; i < count; ++i) {
            if (IsOfferedPort(ports[i].pName)) FAddListItem("ListItemsIn", ports[i].pName);
        }
    }
    HeapRelease(buffer);
}

void FillSymbols() {
    FRemoveSymbol("CheckItemsState");
    FAddListItem("CheckItemsState", g_state.g_setDefault == 1 ? "ON" : "OFF");

    FillPortList();

    FRemoveSymbol("EditTextIn");
    FAddListItem("EditTextIn", g_state.g_spoolDir);

    FRemoveSymbol("List2ItemsIn");
    for (const PlotterModel &model : PlotterCatalog) {
        if ((model.flags & ModelHidden) == 0) FAddListItem("List2ItemsIn", model.name);
    }

    char position[16];
    std::snprintf(position, sizeof position, "%d", g_state.g_modelListPos);
    FRemoveSymbol("List2Default");
    FSetSymbolValue("List2Default", position);

    FRemoveSymbol("ListDefault");
    FSetSymbolValue("ListDefault", g_state.g_portName);

    FRemoveSymbol("Edit2Default");
}

void RemoveSymbols() {
    static const char *const symbols[] = {"ListItemsIn", "CheckItemsState", "EditTextIn", "List2ItemsIn",
                                          "List2Default", "ListDefault", "Edit2Default"};
    for (const char *symbol : symbols) FRemoveSymbol(symbol);
}

// Reads item 1 of `list` into `buffer`. A failed read leaves the empty text, never
// what an earlier read left there. Returns the toolkit's count.
LONG ReadFirstItem(const char *list, char *buffer, LONG size) {
    buffer[0] = '\0';
    const LONG count = CbGetListItem(list, 1, buffer, size);
    buffer[size - 1] = '\0';
    return count;
}

// Sets g_modelIndex to the first slot named `answer` (-1 when none is) and
// g_modelListPos to its position among the listed entries. The whole answer is
// compared, so one too long for g_printerName can never match a slot by its
// shortened copy.
void LookUpModel(const char *answer) {
    g_state.g_modelIndex = -1;
    g_state.g_modelListPos = 0;
    for (int slot = 0; slot < PlotterCatalogSlots; ++slot) {
        if (std::strcmp(answer, PlotterCatalog[slot].name) == 0) {
            g_state.g_modelIndex = slot;
            return;
        }
        if ((PlotterCatalog[slot].flags & ModelHidden) == 0) ++g_state.g_modelListPos;
    }
}

// Reads the dialog's answers into the setup state. Returns 1 when every answer could
// be stored and names a model; 0 when the port or the spool directory did not fit its
// field (that field keeps its earlier value) or the model name is not one of the
// catalogue's (g_modelIndex stays -1). The user is told why after all the reads.
int StoreAnswers() {
    char answer[AnswerSize];

    ReadFirstItem("CheckItemsState", answer, AnswerSize);
    g_state.g_setDefault = std::strcmp(answer, "ON") == 0 ? 1 : 0;

    char port[AnswerSize];
    ReadFirstItem("ListItemsOut", port, AnswerSize);
    char fittedPort[sizeof g_state.g_portName];
    const int portFits = CopyIntoField(fittedPort, port);
    if (portFits) CopyIntoField(g_state.g_portName, fittedPort);

    // A directory too long for g_spoolDir, or one that fills it so that the final
    // backslash no longer fits, is refused whole: a shortened path would name some
    // other directory.
    char spoolDir[sizeof g_state.g_spoolDir];
    const LONG spoolLength = ReadFirstItem("EditTextOut", spoolDir, sizeof spoolDir);

    ReadSymbol("List2ItemsOut", answer, AnswerSize);
    CopyIntoField(g_state.g_printerName, answer);

    const int spoolFits = spoolLength < static_cast<LONG>(sizeof spoolDir) &&
                          EnsureTrailingBackslash(spoolDir, sizeof spoolDir) == 1;
    if (spoolFits) CopyIntoField(g_state.g_spoolDir, spoolDir);

    LookUpModel(answer);

    if (!portFits) {
        char text[AnswerSize + 96];
        std::snprintf(text, sizeof text, "The port name \"%s\" is too long. Please choose a different port.", port);
        ShowWarning(text, "Plotter Port");
    }
    if (!spoolFits) {
        ShowWarning("The spool directory name is too long. Please specify a shorter directory name.",
                    "Spool Directory");
    }
    // Only the listed names can be installed; any other answer is no choice at all.
    const int modelFound = g_state.g_modelIndex >= 0 ? 1 : 0;
    if (!modelFound) {
        char text[AnswerSize + 96];
        std::snprintf(text, sizeof text,
                      "\"%s\" is not a plotter model of this setup. Please choose a model from the list.", answer);
        ShowWarning(text, "Plotter Model");
    }
    return portFits && spoolFits && modelFound ? 1 : 0;
}

}  // namespace

int EnsureTrailingBackslash(char *path, std::size_t size) {
    if (path == nullptr || size == 0) return 0;
    const char *last = nullptr;
    const char *cursor = path;
    while (*cursor != '\0') {
        last = cursor;
        const char *next = CharNextA(cursor);
        cursor = next > cursor ? next : cursor + 1;
    }
    // Only a one-byte character counts: the second byte of a double-byte character
    // may carry the backslash's code without being one.
    if (last != nullptr && cursor - last == 1 && *last == '\\') return 1;
    const std::size_t length = static_cast<std::size_t>(cursor - path);
    if (length + 2 > size) return 0;
    path[length] = '\\';
    path[length + 1] = '\0';
    return 1;
}

int RunPlotterDialog() {
    for (;;) {
        FillSymbols();
        const int event = ShowScreen(850, "FCustInstDlgProc", 903, "FHelpDlgProc");
        KillDialogs(1);
        const int accepted = StoreAnswers();
        if (event == EventCancel || event == EventExit) {
            ConfirmQuit();
            continue;
        }
        // Refused answers bring the dialog back, preset with what could be kept.
        if (!accepted) continue;
        RemoveSymbols();
        return event;
    }
}
