// The selection loop: the plotter dialog, then the driver kind, the printer name, the
// keep-or-replace decision for an installed driver of that name, and for the raster
// driver a spool directory that exists. Every dialog here can lead back to the plotter
// dialog, keeping what the user chose so far as the next presets.
#include "selection/driver_choice.h"

#include <cstring>

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "platform/runtime.h"
#include "platform/spooler.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "selection/bounded_text.h"
#include "selection/plotter_catalog.h"
#include "selection/plotter_dialog.h"
#include "selection/screen_exchange.h"
#include "session/dialog_exchange.h"

namespace {

// How a pass of the selection ends.
enum class PassEnd { Settled, BackToPlotterDialog };

// Reads "ButtonChecked" after a radio dialog: 1 when the first button was chosen.
int FirstButtonChecked() {
    char button[EventBufferSize];
    ReadSymbol("ButtonChecked", button, EventBufferSize);
    return button[0] == '1' ? 1 : 0;
}

// What a radio dialog's event means for the pass: Cancel and Exit ask to quit and, when
// the user stays, go back; Continue goes on; anything else goes back.
PassEnd AfterRadioEvent(int event) {
    if (event == EventContinue) return PassEnd::Settled;
    if (event == EventCancel || event == EventExit) ConfirmQuit();
    return PassEnd::BackToPlotterDialog;
}

PassEnd ChooseDriverKind(const PlotterModel &model) {
    if (model.flags & ModelEitherDriver) {
        FSetSymbolValue("RadioDefault", g_state.g_driverKind == DriverVector ? "1" : "2");
        const int event = ShowScreen(800, "FRadioDlgProc", 901, "FHelpDlgProc");
        // The choice is kept whatever the event, so it is the preset of the next pass.
        g_state.g_driverKind = FirstButtonChecked() ? DriverVector : DriverRaster;
        KillDialogs(1);
        return AfterRadioEvent(event);
    }
    if (model.flags & ModelVector) {
        g_state.g_driverKind = DriverVector;
    } else if (model.flags & ModelRaster) {
        g_state.g_driverKind = DriverRaster;
    } else {
        g_state.g_driverKind = DriverModel;
    }
    return PassEnd::Settled;
}

void SettlePrinterName(const PlotterModel &model) {
    const char *name = model.name;
    if (g_state.g_driverKind == DriverRaster && model.rasterPrinterName[0] != '\0') name = model.rasterPrinterName;
    if (g_state.g_driverKind == DriverVector && model.vectorPrinterName[0] != '\0') name = model.vectorPrinterName;
    CopyIntoField(g_state.g_printerName, name);
}

// Answers whether the spooler has a driver registered under g_printerName: 1 yes,
// 0 no, -1 when no buffer for the list could be had.
int FindInstalledDriver() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrinterDriversA(nullptr, nullptr, 2, nullptr, 0, &needed, &count);
    const DWORD allocated = needed;
    auto *buffer = static_cast<BYTE *>(HeapAllocZeroed(allocated));
    if (buffer == nullptr) return -1;
    int installed = 0;
    count = 0;
    // A list the spooler cannot fill after all counts as no driver installed: the
    // driver is then installed, which is right whether or not one was there.
    if (EnumPrinterDriversA(nullptr, nullptr, 2, buffer, allocated, &needed, &count)) {
        const DWORD fitting = allocated / sizeof(DRIVER_INFO_2);
        if (count > fitting) count = fitting;
        const auto *drivers = reinterpret_cast<const DRIVER_INFO_2 *>(buffer);
        for (DWORD i = 0; i < count && !installed; ++i) {
            if (drivers[i].pName != nullptr && std::strcmp(drivers[i].pName, g_state.g_printerName) == 0) {
                installed = 1;
            }
        }
    }
    // The list is not needed past the comparison; releasing it here frees it on every
    // way out, a quit from the dialog below included.
    HeapRelease(buffer);
    return installed;
}

PassEnd DecideDriverInstall() {
    const int installed = FindInstalledDriver();
    if (installed < 0) return PassEnd::Settled;  // no list: g_installDriver keeps its value
    if (!installed) {
        g_state.g_installDriver = 1;
        return PassEnd::Settled;
    }
    FSetSymbolValue("RadioDefault", g_state.g_installDriver == 0 ? "1" : "2");
    const int event = ShowScreen(908, "FRadioDlgProc", 907, "FHelpDlgProc");
    g_state.g_installDriver = FirstButtonChecked() ? 0 : 1;
    KillDialogs(1);
    return AfterRadioEvent(event);
}

PassEnd EnsureSpoolDir() {
    if (g_state.g_driverKind != DriverRaster) return PassEnd::Settled;
    if (FDirExists(g_state.g_spoolDir)) return PassEnd::Settled;
    return RunCreateSpoolDir() == 0 ? PassEnd::Settled : PassEnd::BackToPlotterDialog;
}

}  // namespace

void RunSelection() {
    g_state.g_driverKind = DriverRaster;
    g_state.g_installDriver = 0;
    g_state.g_printerName[0] = '\0';
    for (;;) {
        // The plotter dialog returns only a listed model; the slot is checked again
        // here all the same, so that the catalogue is never read outside its table.
        int event;
        do {
            event = RunPlotterDialog();
        } while (event != EventContinue || !IsCatalogSlot(g_state.g_modelIndex));
        const PlotterModel &model = PlotterCatalog[g_state.g_modelIndex];
        if (ChooseDriverKind(model) != PassEnd::Settled) continue;
        SettlePrinterName(model);
        if (DecideDriverInstall() != PassEnd::Settled) continue;
        if (EnsureSpoolDir() != PassEnd::Settled) continue;
        return;
    }
}

int RunCreateSpoolDir() {
    for (;;) {
        const int event = ShowScreen(6400, "FInfoDlgProc", 0, nullptr);
        if (event == EventBack) {
            KillDialogs(1);
            return 1;
        }
        if (event == EventContinue) {
            KillDialogs(1);
            SECURITY_ATTRIBUTES attributes{};
            attributes.nLength = 12;  // the size of the record on the workstation
            attributes.lpSecurityDescriptor = nullptr;
            attributes.bInheritHandle = TRUE;
            if (CreateDirectoryA(g_state.g_spoolDir, &attributes)) return 0;
            MessageBoxA(GetActiveWindow(),
                        "Unable to create specified directory. Please specifiy a different directory name.",
                        "Create Directory", MB_ICONWARNING);
            return 1;
        }
        if (event == EventExit) ConfirmQuit();
        // Cancel and any other event show the dialog again, still open.
    }
}
