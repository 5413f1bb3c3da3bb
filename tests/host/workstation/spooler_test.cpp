// The print spooler on a temporary machine: its error codes, the records and
// strings it lays into a caller's buffer, printers mirrored in the registry and in
// WIN.INI, and printers kept by their jobs.
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "host/profile/profile_file.h"
#include "host/workstation/spooler_admin.h"
#include "machine_fixture.h"
#include "platform/registry.h"
#include "platform/runtime.h"
#include "platform/spooler.h"
#include "platform/win32.h"

namespace {

using orv::test::MachineTest;

class SpoolerTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        std::ofstream(DriveC() / "WINNT" / "system32" / "ORV412.drv") << "driver";
    }

    BOOL AddDriver(const char* name, const char* path = "C:\\WINNT\\system32\\ORV412.drv")
    {
        DRIVER_INFO_2 info{1, const_cast<LPSTR>(name), nullptr, const_cast<LPSTR>(path), const_cast<LPSTR>(path),
                           const_cast<LPSTR>(path)};
        return AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }

    HANDLE AddPrinter(const char* name, const char* driver, const char* port, DWORD attributes = 1)
    {
        PRINTER_INFO_2 info{};
        info.pPrinterName = const_cast<LPSTR>(name);
        info.pDriverName = const_cast<LPSTR>(driver);
        info.pPortName = const_cast<LPSTR>(port);
        info.pPrintProcessor = const_cast<LPSTR>("WinPrint");
        info.Attributes = attributes;
        info.Priority = 1;
        info.DefaultPriority = 1;
        return AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }

    static std::string PrinterKey(const std::string& name)
    {
        return "System\\CurrentControlSet\\Control\\Print\\Printers\\" + name;
    }
};

TEST_F(SpoolerTest, EnumPortsFillsRecordsThenStringsAndAsksForMoreWhenSmall)
{
    DWORD needed = 0, count = 77;
    EXPECT_FALSE(EnumPortsA(nullptr, 1, nullptr, 0, &needed, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::size_t strings = 0;
    for (const auto& port : orv::host::DefaultPorts()) strings += port.size() + 1;
    ASSERT_EQ(needed, 8 * sizeof(PORT_INFO_1) + strings);

    std::vector<BYTE> small(needed - 1);
    EXPECT_FALSE(EnumPortsA(nullptr, 1, small.data(), needed - 1, &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(count, 0u);

    auto* buffer = static_cast<LPBYTE>(HeapAllocZeroed(needed));
    ASSERT_TRUE(EnumPortsA(nullptr, 1, buffer, needed, &needed, &count));
    ASSERT_EQ(count, 8u);
    auto* ports = reinterpret_cast<PORT_INFO_1*>(buffer);
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i) {
        names.push_back(ports[i].pName);
        EXPECT_GE(reinterpret_cast<LPBYTE>(ports[i].pName), buffer + count * sizeof(PORT_INFO_1));
        EXPECT_LT(reinterpret_cast<LPBYTE>(ports[i].pName), buffer + needed);
    }
    EXPECT_EQ(names, orv::host::DefaultPorts());
    HeapRelease(buffer);
    EXPECT_FALSE(EnumPortsA(nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
}

TEST_F(SpoolerTest, DriversNeedTheirFilesAndAreListedWithTheirStrings)
{
    SetLastError(0);
    EXPECT_FALSE(AddDriver("Missing", "C:\\WINNT\\system32\\NOPE.drv"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(AddDriver("ORV Plotter", "c:\\winnt\\SYSTEM32\\orv412.DRV"));

    DWORD needed = 0, count = 0;
    EXPECT_FALSE(EnumPrinterDriversA(nullptr, nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(EnumPrinterDriversA(nullptr, nullptr, 2, buffer.data(), needed, &needed, &count));
    ASSERT_EQ(count, 1u);
    const auto* driver = reinterpret_cast<const DRIVER_INFO_2*>(buffer.data());
    EXPECT_EQ(driver->cVersion, 1u);
    EXPECT_STREQ(driver->pName, "ORV Plotter");
    EXPECT_STREQ(driver->pEnvironment, "Windows NT x86");
    EXPECT_STREQ(driver->pDriverPath, "C:\\winnt\\SYSTEM32\\orv412.DRV");
    EXPECT_EQ(reinterpret_cast<const BYTE*>(driver->pConfigFile) + std::strlen(driver->pConfigFile) + 1 -
                  buffer.data() <= static_cast<std::ptrdiff_t>(needed),
              true);

    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverA(nullptr, nullptr, const_cast<LPSTR>("orv plotter")))
        << "driver names are exact";
    EXPECT_EQ(GetLastError(), ERROR_UNKNOWN_PRINTER_DRIVER);
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, nullptr, const_cast<LPSTR>("ORV Plotter")));
    EXPECT_TRUE(EnumPrinterDriversA(nullptr, nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(count, 0u);
}

TEST_F(SpoolerTest, AddPrinterAnswersWindowsErrorCodes)
{
    ASSERT_TRUE(AddDriver("ORV"));
    HANDLE first = AddPrinter("Plot", "ORV", "LPT1:");
    ASSERT_NE(first, nullptr);
    ClosePrinter(first);
    struct Case {
        const char* name;
        const char* driver;
        const char* port;
        DWORD error;
    } cases[] = {
        {"", "ORV", "LPT1:", ERROR_INVALID_PRINTER_NAME},
        {"a,b", "ORV", "LPT1:", ERROR_INVALID_PRINTER_NAME},
        {"a\\b", "ORV", "LPT1:", ERROR_INVALID_PRINTER_NAME},
        {"PLOT", "ORV", "LPT1:", ERROR_PRINTER_ALREADY_EXISTS},
        {"Other", "NoDriver", "LPT1:", ERROR_UNKNOWN_PRINTER_DRIVER},
        {"Other", "ORV", "LPT9:", ERROR_UNKNOWN_PORT},
        {"Other", "ORV", "lpt1:", ERROR_UNKNOWN_PORT},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(AddPrinter(c.name, c.driver, c.port), nullptr) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name << " " << c.driver << " " << c.port;
    }
    std::string longName(221, 'x');
    EXPECT_EQ(AddPrinter(longName.c_str(), "ORV", "LPT1:"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
}

TEST_F(SpoolerTest, PrinterIsKeptInTheRegistryAndDefaultInWinIni)
{
    ASSERT_TRUE(AddDriver("ORV"));
    HANDLE printer = AddPrinter("Plot", "ORV", "LPT2:", PRINTER_ATTRIBUTE_QUEUED | PRINTER_ATTRIBUTE_DEFAULT);
    ASSERT_NE(printer, nullptr);
    ClosePrinter(printer);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, PrinterKey("Plot").c_str(), &key), ERROR_SUCCESS);
    char text[64];
    DWORD size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(key, "Port", nullptr, nullptr, reinterpret_cast<LPBYTE>(text), &size), ERROR_SUCCESS);
    EXPECT_STREQ(text, "LPT2:");
    size = sizeof text;
    ASSERT_EQ(RegQueryValueExA(key, "Printer Driver", nullptr, nullptr, reinterpret_cast<LPBYTE>(text), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "ORV");
    DWORD attributes = 0;
    size = sizeof attributes;
    ASSERT_EQ(RegQueryValueExA(key, "Attributes", nullptr, nullptr, reinterpret_cast<LPBYTE>(&attributes), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(attributes, 5u);
    RegCloseKey(key);
    EXPECT_EQ(orv::profile::ReadKey(DriveC() / "WINNT" / "WIN.INI", "windows", "device"), "Plot,winspool,LPT2:");

    // As on NT, the key cannot be deleted directly while the printer exists.
    EXPECT_NE(RegDeleteKeyA(HKEY_LOCAL_MACHINE, PrinterKey("Plot").c_str()), ERROR_SUCCESS);
    HANDLE opened = nullptr;
    ASSERT_TRUE(OpenPrinterA(const_cast<LPSTR>("plot"), &opened, nullptr));
    EXPECT_TRUE(DeletePrinter(opened));
    EXPECT_TRUE(ClosePrinter(opened));
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, PrinterKey("Plot").c_str()), static_cast<LONG>(ERROR_FILE_NOT_FOUND))
        << "DeletePrinter removed the key";
    EXPECT_FALSE(orv::profile::ReadKey(DriveC() / "WINNT" / "WIN.INI", "windows", "device"));
    EXPECT_FALSE(OpenPrinterA(const_cast<LPSTR>("Plot"), &opened, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_NAME);
}

TEST_F(SpoolerTest, PrinterWithJobsIsOnlyMarkedAndKeepsItsDriverInUse)
{
    ASSERT_TRUE(AddDriver("ORV"));
    ClosePrinter(AddPrinter("Plot", "ORV", "LPT1:"));
    std::string error;
    ASSERT_TRUE(orv::host::spooler::HoldJobs("Plot", 2, error)) << error;

    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverA(nullptr, nullptr, const_cast<LPSTR>("ORV")));
    EXPECT_EQ(GetLastError(), ERROR_PRINTER_DRIVER_IN_USE);

    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(const_cast<LPSTR>("Plot"), &printer, nullptr));
    EXPECT_TRUE(DeletePrinter(printer));
    ClosePrinter(printer);
    auto printers = orv::host::spooler::Printers();
    ASSERT_EQ(printers.size(), 1u);
    EXPECT_TRUE(printers[0].pendingDeletion);
    EXPECT_EQ(printers[0].jobs, 2u);
    EXPECT_FALSE(OpenPrinterA(const_cast<LPSTR>("Plot"), &printer, nullptr));
    EXPECT_EQ(AddPrinter("Plot", "ORV", "LPT1:"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_PRINTER_ALREADY_EXISTS);
    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverA(nullptr, nullptr, const_cast<LPSTR>("ORV")));
    EXPECT_EQ(GetLastError(), ERROR_PRINTER_DRIVER_IN_USE);

    ASSERT_TRUE(orv::host::spooler::ReleaseJobs("Plot", error)) << error;
    EXPECT_TRUE(orv::host::spooler::Printers().empty());
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, PrinterKey("Plot").c_str(), &key), static_cast<LONG>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(DeletePrinterDriverA(nullptr, nullptr, const_cast<LPSTR>("ORV")));
}

TEST_F(SpoolerTest, BadHandlesAndLevelsFailCleanly)
{
    EXPECT_FALSE(ClosePrinter(reinterpret_cast<HANDLE>(std::uintptr_t{0x999})));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(DeletePrinter(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(AddPrinterA(nullptr, 1, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_FALSE(AddPrinterDriverA(nullptr, 3, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
}

}  // namespace
