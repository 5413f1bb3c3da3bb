// Registration with the print spooler. No spooler failure stops the installation: each
// is reported in a message box and the next step follows.
#include "install/registration.h"

#include <cstdio>

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "install/copy_list.h"
#include "install/install_checks.h"
#include "install/profile_entries.h"
#include "platform/registry.h"
#include "platform/spooler.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "selection/bounded_text.h"
#include "session/fatal_stop.h"

namespace {

constexpr int PathFieldSize = 256;
constexpr int KeyPathFieldSize = 280;
constexpr const char *PrintersKey = "System\\CurrentControlSet\\Control\\Print\\Printers\\";

char g_printProcessor[] = "WinPrint";

void ReportDriverInUse(DWORD error) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "Error %ld occured while deleting the plotter driver. Try rebooting the system, and re-installing.",
                  static_cast<long>(error));
    MessageBoxA(GetActiveWindow(), text, "Deleting Plotter Driver", MB_ICONINFORMATION);
}

void ReportDriverNotAdded(DWORD error) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "Error %ld occured while adding the plotter driver to your setup. Try rebooting the system, and "
                  "re-installing.",
                  static_cast<long>(error));
    MessageBoxA(GetActiveWindow(), text, "Add Plotter Driver", MB_ICONINFORMATION);
}

void ReportPrinterNotAdded(DWORD error) {
    char text[256];
    std::snprintf(text, sizeof text, "Error %ld occured while changing the configuration on your system.",
                  static_cast<long>(error));
    MessageBoxA(GetActiveWindow(), text, "Add Plotter", MB_ICONWARNING);
}

void FillPrinterRecord(PRINTER_INFO_2 &printer) {
    printer = PRINTER_INFO_2{};
    printer.pPrinterName = g_state.g_printerName;
    printer.pPortName = g_state.g_portName;
    printer.pDriverName = g_state.g_printerName;
    printer.pPrintProcessor = g_printProcessor;
    printer.Attributes = PRINTER_ATTRIBUTE_QUEUED | (g_state.g_setDefault == 1 ? PRINTER_ATTRIBUTE_DEFAULT : 0);
    printer.Priority = 1;
    printer.DefaultPriority = 1;
}

void RemoveExistingPrinter() {
    HANDLE old = nullptr;
    if (!OpenPrinterA(g_state.g_printerName, &old, nullptr)) return;
    DeletePrinter(old);
    ClosePrinter(old);
    // A key path that does not fit its field is not deleted at all: a shortened one
    // would name another printer's key.
    char keyPath[KeyPathFieldSize];
    if (FormatIntoField(keyPath, sizeof keyPath, "%s%s", PrintersKey, g_state.g_printerName)) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath);
    }
}

void ReplaceDriver(const PlotterModel &model, const char *driverBase) {
    char driverPath[PathFieldSize];
    char dataPath[PathFieldSize];
    int pathsFit = FormatIntoField(driverPath, sizeof driverPath, "%s\\%s.drv", g_state.g_systemDir, driverBase);
    if (g_state.g_driverKind == DriverModel) {
        pathsFit = pathsFit && FormatIntoField(dataPath, sizeof dataPath, "%s\\%s", g_state.g_systemDir, model.dataName);
    }
    // Driver files whose paths do not fit cannot be registered. The installed driver,
    // if any, is then left alone rather than deleted with nothing to replace it, and
    // the user hears why as for any driver that could not be added.
    if (!pathsFit) {
        ReportDriverNotAdded(ERROR_INSUFFICIENT_BUFFER);
        return;
    }

    SetLastError(0);
    if (!DeletePrinterDriverA(nullptr, nullptr, g_state.g_printerName)) {
        const DWORD error = GetLastError();
        // A driver that is not installed yet fails here too; only one still in use
        // is worth telling.
        if (error == ERROR_PRINTER_DRIVER_IN_USE) {
            ReportDriverInUse(error);
        }
    }

    DRIVER_INFO_2 driver{};
    driver.cVersion = 1;
    driver.pName = g_state.g_printerName;
    driver.pEnvironment = nullptr;
    driver.pDriverPath = driverPath;
    driver.pDataFile = g_state.g_driverKind == DriverModel ? dataPath : driverPath;
    driver.pConfigFile = driverPath;
    SetLastError(0);
    if (!AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&driver))) {
        ReportDriverNotAdded(GetLastError());
    }
}

}  // namespace

void InstallPlotter() {
    const PlotterModel &model = SelectedModel();
    if (g_state.g_installDriver == 1) CopyQueuedFiles();
    HCURSOR cursor = HShowWaitCursor();

    char driverBase[ModelTextSize];
    if (g_state.g_driverKind == DriverRaster) {
        CopyIntoField(driverBase, model.rasterDriver);
        if (model.rasterPrinterName[0] != '\0') CopyIntoField(g_state.g_printerName, model.rasterPrinterName);
    } else {
        CopyIntoField(driverBase, model.vectorDriver);
        if (model.vectorPrinterName[0] != '\0') CopyIntoField(g_state.g_printerName, model.vectorPrinterName);
    }

    PRINTER_INFO_2 printer;
    FillPrinterRecord(printer);
    RemoveExistingPrinter();
    if (g_state.g_installDriver == 1) ReplaceDriver(model, driverBase);

    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    if (added == nullptr) {
        ReportPrinterNotAdded(GetLastError());
    } else {
        ClosePrinter(added);
    }

    WriteProfileEntries(driverBase);
    if (!FRestoreCursor(cursor)) FatalStop(StopError);
}
