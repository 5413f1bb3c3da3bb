// orvalen-machine on a temporary machine: a printer installed through the spooler
// calls shows in `printers --json` and in `reg export`; bad input names the machine,
// file or value at fault and exits non-zero.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <sys/wait.h>

#include "host/workstation/machine.h"
#include "platform/spooler.h"
#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

class MachineToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/orv-tool-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        machine_ = root_ / "machine";
    }
    void TearDown() override
    {
        orv::host::CloseMachine();
        fs::remove_all(root_);
    }

    ToolRun Tool(const std::string& arguments)
    {
        std::string command = std::string("'") + ORVALEN_MACHINE_PATH + "' --machine '" + machine_.string() + "' " +
                              arguments + " 2>&1";
        ToolRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
        int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return run;
    }

    fs::path root_;
    fs::path machine_;
};

TEST_F(MachineToolTest, PrinterInstalledThroughTheSpoolerShowsInJsonAndRegistryExport)
{
    ToolRun init = Tool("init");
    ASSERT_EQ(init.status, 0) << init.output;

    std::string error;
    ASSERT_TRUE(orv::host::OpenMachine(machine_, false, error)) << error;
    std::ofstream(machine_ / "drives" / "C" / "WINNT" / "system32" / "ORV412.drv") << "driver";
    char driverPath[] = "C:\\WINNT\\system32\\ORV412.drv";
    char name[] = "ORV Linecraft 81224 (412)";
    DRIVER_INFO_2 driver{1, name, nullptr, driverPath, driverPath, driverPath};
    ASSERT_TRUE(AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&driver))) << GetLastError();
    PRINTER_INFO_2 printer{};
    printer.pPrinterName = name;
    printer.pDriverName = name;
    printer.pPortName = const_cast<LPSTR>("LPT1:");
    printer.pPrintProcessor = const_cast<LPSTR>("WinPrint");
    printer.Attributes = PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_DEFAULT;
    printer.Priority = 1;
    printer.DefaultPriority = 1;
    HANDLE handle = AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&printer));
    ASSERT_NE(handle, nullptr);
    ClosePrinter(handle);
    orv::host::CloseMachine();

    ToolRun printers = Tool("printers --json");
    ASSERT_EQ(printers.status, 0) << printers.output;
    auto json = nlohmann::json::parse(printers.output);
    ASSERT_EQ(json.size(), 1u);
    EXPECT_EQ(json[0]["name"], name);
    EXPECT_EQ(json[0]["port"], "LPT1:");
    EXPECT_EQ(json[0]["driver"], name);
    EXPECT_EQ(json[0]["attributes"], 5);
    EXPECT_EQ(json[0]["priority"], 1);
    EXPECT_EQ(json[0]["default"], true);
    EXPECT_EQ(json[0]["pendingDeletion"], false);
    EXPECT_EQ(json[0]["jobs"], 0);

    ToolRun drivers = Tool("drivers --json");
    ASSERT_EQ(drivers.status, 0) << drivers.output;
    auto driverJson = nlohmann::json::parse(drivers.output);
    ASSERT_EQ(driverJson.size(), 1u);
    EXPECT_EQ(driverJson[0]["driverPath"], driverPath);
    EXPECT_EQ(driverJson[0]["version"], 1);
    EXPECT_EQ(driverJson[0]["inUse"], true);

    ToolRun exported = Tool("reg export 'hklm\\system\\currentcontrolset\\control\\print\\printers'");
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_NE(exported.output.find("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\"
                                   "ORV Linecraft 81224 (412)]"),
              std::string::npos)
        << exported.output;
    EXPECT_NE(exported.output.find("\"Port\"=\"LPT1:\""), std::string::npos);
    EXPECT_NE(exported.output.find("\"Attributes\"=dword:00000005"), std::string::npos);
    EXPECT_NE(exported.output.find("(412)\\PrinterDriverData]"), std::string::npos);

    ToolRun ini = Tool("ini win.ini windows");
    ASSERT_EQ(ini.status, 0) << ini.output;
    EXPECT_EQ(ini.output, "device=ORV Linecraft 81224 (412),winspool,LPT1:\n");

    ToolRun ls = Tool("ls 'c:\\winnt\\system32'");
    EXPECT_NE(ls.output.find("ORV412.drv  6"), std::string::npos) << ls.output;
    ToolRun cat = Tool("cat 'C:\\WINNT\\SYSTEM32\\orv412.drv'");
    EXPECT_EQ(cat.output, "driver");

    ASSERT_EQ(Tool("jobs hold '" + std::string(name) + "' 3").status, 0);
    EXPECT_EQ(nlohmann::json::parse(Tool("printers --json").output)[0]["jobs"], 3);
}

TEST_F(MachineToolTest, ExportImportRoundTripAndPorts)
{
    ASSERT_EQ(Tool("init --ports 'LPT1:,COM1:' --codepage 932 --oem-codepage 932 --windows-dir 'C:\\WINDOWS'").status,
              0);
    EXPECT_EQ(Tool("ports").output, "LPT1:\nCOM1:\n");
    EXPECT_EQ(Tool("port add 'NUL:'").status, 0);
    EXPECT_EQ(Tool("ports").output, "LPT1:\nCOM1:\nNUL:\n");
    EXPECT_EQ(Tool("port remove COM1:").status, 0);
    ToolRun missing = Tool("port remove COM7:");
    EXPECT_NE(missing.status, 0);
    EXPECT_NE(missing.output.find("COM7:"), std::string::npos);
    EXPECT_NE(Tool("info").output.find("C:\\WINDOWS"), std::string::npos);

    std::ofstream(root_ / "in.reg") << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvalen]\r\n"
                                       "@=\"default\"\r\n\"Path\"=\"C:\\\\ORV\"\r\n\"Count\"=dword:0000002a\r\n"
                                       "\"Bytes\"=hex:00,01,\\\r\n  02\r\n\"Multi\"=hex(7):61,00,00\r\n";
    ToolRun import = Tool("reg import '" + (root_ / "in.reg").string() + "'");
    ASSERT_EQ(import.status, 0) << import.output;
    ToolRun exported = Tool("reg export 'HKEY_CURRENT_USER\\Software\\Orvalen'");
    EXPECT_EQ(exported.output,
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Orvalen]\r\n@=\"default\"\r\n\"Bytes\"=hex:00,01,02\r\n"
              "\"Count\"=dword:0000002a\r\n\"Multi\"=hex(7):61,00,00\r\n\"Path\"=\"C:\\\\ORV\"\r\n\r\n");
}

TEST_F(MachineToolTest, ErrorsNameWhatIsAtFault)
{
    ToolRun none = Tool("info");
    EXPECT_NE(none.status, 0);
    EXPECT_NE(none.output.find(machine_.string()), std::string::npos) << none.output;

    ASSERT_EQ(Tool("init").status, 0);
    ToolRun again = Tool("init");
    EXPECT_NE(again.status, 0);
    EXPECT_NE(again.output.find("already"), std::string::npos) << again.output;

    std::ofstream(root_ / "bad.reg") << "REGEDIT4\n[HKEY_CURRENT_USER\\X]\n\"v\"=dword:xyz\n";
    ToolRun import = Tool("reg import '" + (root_ / "bad.reg").string() + "'");
    EXPECT_NE(import.status, 0);
    EXPECT_NE(import.output.find("bad.reg:3"), std::string::npos) << import.output;
    EXPECT_NE(Tool("reg export 'HKEY_CURRENT_USER\\X'").status, 0) << "a failed import leaves nothing";

    ToolRun hold = Tool("jobs hold Nobody");
    EXPECT_NE(hold.status, 0);
    EXPECT_NE(hold.output.find("Nobody"), std::string::npos);

    std::ofstream(machine_ / "machine.ini") << "[Machine]\nScreenWidth=wide\n";
    ToolRun badFacts = Tool("info");
    EXPECT_NE(badFacts.status, 0);
    EXPECT_NE(badFacts.output.find("ScreenWidth=wide"), std::string::npos) << badFacts.output;
}

}  // namespace
