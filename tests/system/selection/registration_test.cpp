// Registration with the spooler: the driver and printer records, the removal of an
// old printer, the three messages and the order of the steps.
#include <string>
#include <vector>

#include "install/registration.h"
#include "tests/system/selection/selection_fixture.h"

namespace {

using namespace selection_test;

class Registration : public Fixture {};

const std::string kPrintersKey = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Print\\Printers\\";

// The arguments AddPrinterDriverA was given: level, version, name, environment,
// driver path, data file, configuration file.
Strings DriverArgs() {
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == "AddPrinterDriverA") return Strings(call.args.begin() + 1, call.args.end());
    }
    return {};
}

const fake::Call *FindCall(const std::string &name) {
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == name) return &call;
    }
    return nullptr;
}

Strings MessageBoxes() {
    Strings boxes;
    for (const fake::Call &call : fake::Calls()) {
        if (call.name == "MessageBoxA") boxes.push_back(call.args.at(1) + " | " + call.args.at(2) + " | " + call.args.at(3));
    }
    return boxes;
}

TEST_F(Registration, DriverRecordOfEachKind) {
    struct Case {
        const char *what;
        int slot;
        int kind;
        const char *selectedName;
        const char *printerName;
        const char *driverPath;
        const char *dataFile;
    } cases[] = {
        {"raster", 9, DriverRaster, "ORV Linecraft 81224", "ORV Linecraft 81224", "C:\\WINNT\\system32\\IRCOL_RS.drv",
         "C:\\WINNT\\system32\\IRCOL_RS.drv"},
        {"vector", 9, DriverVector, "ORV Linecraft 81224 (412)", "ORV Linecraft 81224 (412)",
         "C:\\WINNT\\system32\\ORV412.drv", "C:\\WINNT\\system32\\ORV412.drv"},
        // The model-data kind takes the vector driver and its printer name too.
        {"model data", 27, DriverModel, "ORV Statora 46436", "ORV Statora 46436 (412)",
         "C:\\WINNT\\system32\\ORV412.drv", "C:\\WINNT\\system32\\STA46436"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        SelectedForInstall(c.slot, c.kind, c.selectedName);
        InstallPlotter();
        EXPECT_EQ(DriverArgs(), (Strings{"2", "1", c.printerName, "NULL", c.driverPath, c.dataFile, c.driverPath}));
        EXPECT_STREQ(g_state.g_printerName, c.printerName);
        ASSERT_EQ(fake::AddedPrinters().size(), 1u);
        EXPECT_EQ(fake::AddedPrinters()[0].printerName, c.printerName);
        EXPECT_EQ(fake::AddedPrinters()[0].driverName, c.printerName);
        EXPECT_EQ(MessageBoxes(), Strings{});  // the first driver delete fails silently
    }
}

TEST_F(Registration, PrinterRecord) {
    struct Case {
        int setDefault;
        const char *attributes;
    } cases[] = {{1, "5"}, {0, "1"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setDefault);
        fake::Reset();
        SelectedForInstall(0, DriverVector, "ORV Quillon 2110");
        std::snprintf(g_state.g_portName, sizeof g_state.g_portName, "COM2:");
        g_state.g_setDefault = c.setDefault;
        InstallPlotter();
        const fake::Call *add = FindCall("AddPrinterA");
        ASSERT_NE(add, nullptr);
        EXPECT_EQ(add->args,
                  (Strings{"NULL", "2", "NULL", "ORV Quillon 2110", "NULL", "COM2:", "ORV Quillon 2110", "NULL", "NULL",
                           "NULL", "NULL", "WinPrint", "NULL", "NULL", "NULL", c.attributes, "1", "1", "0", "0", "0",
                           "0", "0"}));
        EXPECT_EQ(fake::OpenPrinterHandles(), 0);
    }
}

TEST_F(Registration, StepsInOrderForAFirstInstallation) {
    SelectedForInstall(9, DriverVector, "ORV Linecraft 81224 (412)");
    fake::FailCall("HShowWaitCursor", {.result = 0x1234});
    InstallPlotter();
    const Strings names = fake::CallNames({"GrcCopyFilesInCopyList", "HShowWaitCursor", "OpenPrinterA", "DeletePrinter",
                                           "RegDeleteKeyA", "SetLastError", "DeletePrinterDriverA", "GetLastError",
                                           "AddPrinterDriverA", "AddPrinterA", "ClosePrinter", "FCreateIniKeyValue",
                                           "FRestoreCursor"});
    EXPECT_EQ(names, (Strings{"GrcCopyFilesInCopyList", "HShowWaitCursor", "OpenPrinterA", "SetLastError",
                              "DeletePrinterDriverA", "GetLastError", "SetLastError", "AddPrinterDriverA", "AddPrinterA",
                              "ClosePrinter", "FCreateIniKeyValue", "FRestoreCursor"}));
    EXPECT_EQ(fake::CallTexts({"SetLastError"}), (Strings{"SetLastError(0)", "SetLastError(0)"}));
    EXPECT_EQ(fake::CallTexts({"FRestoreCursor"}), Strings{"FRestoreCursor(0x1234)"});
    EXPECT_EQ(fake::Printers(), Strings{"ORV Linecraft 81224 (412)"});
}

TEST_F(Registration, KeptDriverIsNeitherCopiedNorTouched) {
    fake::SetDrivers({fake::DriverRecord{.name = "ORV Quillon 2110", .driverPath = "old"}});
    SelectedForInstall(0, DriverVector, "ORV Quillon 2110", 0);
    InstallPlotter();
    EXPECT_EQ(fake::CountCalls("GrcCopyFilesInCopyList"), 0);
    EXPECT_EQ(fake::CountCalls("DeletePrinterDriverA"), 0);
    EXPECT_EQ(fake::CountCalls("AddPrinterDriverA"), 0);
    EXPECT_EQ(fake::Drivers().at(0).driverPath, "old");
    ASSERT_EQ(fake::AddedPrinters().size(), 1u);
    EXPECT_EQ(fake::AddedPrinters()[0].driverName, "ORV Quillon 2110");
}

TEST_F(Registration, PrinterOfTheSameNameIsRemovedWithItsKeyFirst) {
    const std::string name = "ORV Linecraft 81224";
    fake::SetPrinters({name, "Other"});
    fake::AddRegistryKey(kPrintersKey + name);
    fake::AddRegistryKey(kPrintersKey + "Other");
    fake::SetDrivers({fake::DriverRecord{.name = name}});
    SelectedForInstall(9, DriverRaster, name);
    InstallPlotter();
    EXPECT_EQ(fake::CallNames({"OpenPrinterA", "DeletePrinter", "ClosePrinter", "RegDeleteKeyA", "DeletePrinterDriverA",
                               "AddPrinterDriverA", "AddPrinterA"}),
              (Strings{"OpenPrinterA", "DeletePrinter", "ClosePrinter", "RegDeleteKeyA", "DeletePrinterDriverA",
                       "AddPrinterDriverA", "AddPrinterA", "ClosePrinter"}));
    EXPECT_EQ(fake::CallTexts({"RegDeleteKeyA"}),
              Strings{"RegDeleteKeyA(HKEY_LOCAL_MACHINE,System\\CurrentControlSet\\Control\\Print\\Printers\\" + name + ")"});
    EXPECT_FALSE(fake::RegistryKeyExists(kPrintersKey + name));
    EXPECT_TRUE(fake::RegistryKeyExists(kPrintersKey + "Other"));
    EXPECT_EQ(fake::AddedPrinters().size(), 1u);
    EXPECT_EQ(MessageBoxes(), Strings{});
    EXPECT_EQ(fake::OpenPrinterHandles(), 0);
}

TEST_F(Registration, SpoolerFailuresAreReportedAndTheInstallationGoesOn) {
    struct Case {
        const char *what;
        const char *failing;
        DWORD error;
        Strings boxes;
    } cases[] = {
        {"driver in use", "DeletePrinterDriverA", 3001,
         {"Error 3001 occured while deleting the plotter driver. Try rebooting the system, and re-installing. | "
          "Deleting Plotter Driver | 64"}},
        {"driver not deleted for another reason", "DeletePrinterDriverA", 5, {}},
        {"driver not added", "AddPrinterDriverA", 1797,
         {"Error 1797 occured while adding the plotter driver to your setup. Try rebooting the system, and "
          "re-installing. | Add Plotter Driver | 64"}},
        {"printer not added", "AddPrinterA", 1796,
         {"Error 1796 occured while changing the configuration on your system. | Add Plotter | 48"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        fake::Reset();
        SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
        fake::FailCall(c.failing, {.result = 0, .lastError = c.error});
        InstallPlotter();
        EXPECT_EQ(MessageBoxes(), c.boxes);
        // Every later step still runs.
        EXPECT_EQ(fake::CountCalls("AddPrinterDriverA"), 1);
        EXPECT_EQ(fake::CountCalls("AddPrinterA"), 1);
        EXPECT_EQ(fake::CallTexts({"FCreateIniKeyValue"}).size(), 4u);
        EXPECT_EQ(fake::CountCalls("FRestoreCursor"), 1);
        EXPECT_EQ(fake::OpenPrinterHandles(), 0);
        if (!c.boxes.empty()) {
            const fake::Call *box = FindCall("MessageBoxA");
            EXPECT_NE(box->args.at(0), "NULL");  // owned by the active window
        }
    }
}

TEST_F(Registration, CursorThatCannotBeRestoredIsAFatalStop) {
    SelectedForInstall(0, DriverVector, "ORV Quillon 2110");
    fake::FailCall("FRestoreCursor", {.result = 0});
    EXPECT_EQ(fake::RunUntilExit([] { InstallPlotter(); }), 0);
    EXPECT_EQ(fake::ShowCount(400), 1);
    EXPECT_EQ(fake::AddedPrinters().size(), 1u);  // nothing is rolled back
}

TEST_F(Registration, FailedCopyStopsBeforeAnySpoolerCall) {
    SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
    fake::SetCopyResult(48);
    EXPECT_EQ(fake::RunUntilExit([] { InstallPlotter(); }), 0);
    EXPECT_EQ(fake::CountCalls("HShowWaitCursor"), 0);
    EXPECT_EQ(fake::CountCalls("OpenPrinterA"), 0);
    EXPECT_EQ(fake::CountCalls("AddPrinterDriverA"), 0);
}

TEST_F(Registration, NamesTooLongForTheirFieldsAreNeverCutShort) {
    // Driver files whose paths do not fit: the installed driver stays, the user is
    // told, and the printer is still added.
    SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
    std::snprintf(g_state.g_systemDir, sizeof g_state.g_systemDir, "C:\\%s", std::string(243, 's').c_str());
    InstallPlotter();
    EXPECT_EQ(fake::CountCalls("DeletePrinterDriverA"), 0);
    EXPECT_EQ(fake::CountCalls("AddPrinterDriverA"), 0);
    EXPECT_EQ(MessageBoxes(),
              Strings{"Error 122 occured while adding the plotter driver to your setup. Try rebooting the system, and "
                      "re-installing. | Add Plotter Driver | 64"});
    EXPECT_EQ(fake::AddedPrinters().size(), 1u);

    // A driver path of exactly 255 characters still fits its field.
    fake::Reset();
    SelectedForInstall(9, DriverRaster, "ORV Linecraft 81224");
    std::snprintf(g_state.g_systemDir, sizeof g_state.g_systemDir, "C:\\%s", std::string(239, 's').c_str());
    InstallPlotter();
    ASSERT_EQ(DriverArgs().size(), 7u);
    EXPECT_EQ(DriverArgs()[4].size(), 255u);

    // A printer name too long for the key path: the old printer goes, no key is
    // deleted in its place.
    fake::Reset();
    const std::string longName(232, 'n');
    fake::SetPrinters({longName});
    fake::AddRegistryKey(kPrintersKey + longName.substr(0, 231));
    SelectedForInstall(51, DriverModel, longName);  // an empty slot: no name override
    InstallPlotter();
    EXPECT_EQ(fake::CountCalls("DeletePrinter"), 1);
    EXPECT_EQ(fake::CountCalls("RegDeleteKeyA"), 0);
    EXPECT_TRUE(fake::RegistryKeyExists(kPrintersKey + longName.substr(0, 231)));
}

TEST_F(Registration, SlotOutsideTheCatalogueIsAFatalStop) {
    for (int slot : {-1, 60}) {
        SCOPED_TRACE(slot);
        fake::Reset();
        SelectedForInstall(slot, DriverVector, "x");
        EXPECT_EQ(fake::RunUntilExit([] { InstallPlotter(); }), 0);
        EXPECT_EQ(fake::CountCalls("AddPrinterA"), 0);
    }
}

}  // namespace
