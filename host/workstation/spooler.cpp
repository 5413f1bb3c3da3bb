// The workstation's print spooler: ports, drivers and printers kept in the machine's
// store, each printer mirrored under its registry key as NT keeps it, the default
// printer recorded in WIN.INI [windows] device=.
#include <algorithm>
#include <cstring>

#include "host/profile/profile_file.h"
#include "host/workstation/machine.h"
#include "host/workstation/registry_tree.h"
#include "host/workstation/spooler_admin.h"
#include "host/workstation/store.h"
#include "platform/registry.h"
#include "platform/spooler.h"
#include "platform/win32.h"
#include <sqlite3.h>

namespace orv::host::spooler {
namespace {

using store::Query;
using store::Transaction;

constexpr DWORD ERROR_INVALID_ENVIRONMENT = 1805;
constexpr std::size_t kMaxPrinterName = 220;
constexpr std::uintptr_t kPrinterHandleBase = 0x5000;
constexpr std::uintptr_t kPrinterHandleStep = 4;

// Open printer handles refer to the printer's row, which outlives a rename of
// nothing: printers are never renamed here.
std::vector<std::int64_t> g_printerHandles;

ChangeNotice g_changeNotice;

void Notice(const std::string& change)
{
    if (g_changeNotice) g_changeNotice(change);
}

bool Ready()
{
    if (orv::host::EnsureMachineOpen() && store::IsOpen()) return true;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return false;
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

std::string Text(LPCSTR text) { return text ? std::string(text) : std::string(); }

bool EnvironmentOk(LPCSTR environment)
{
    return !environment || !*environment || orv::profile::NamesEqual(environment, kEnvironment);
}

std::filesystem::path WinIni()
{
    std::filesystem::path host;
    DWORD error = 0;
    orv::host::ResolvePath(orv::host::WindowsDirectory() + "\\WIN.INI", host, error);
    return host;
}

std::string DeviceName(const std::string& device) { return device.substr(0, device.find(',')); }

void ForgetDefaultIf(const std::string& printer)
{
    std::filesystem::path winIni = WinIni();
    auto device = orv::profile::ReadKey(winIni, "windows", "device");
    std::string error;
    if (device && orv::profile::NamesEqual(DeviceName(*device), printer))
        orv::profile::RemoveKey(winIni, "windows", "device", error);
}

// Removes a printer's row and its registry key, inside the caller's transaction.
bool RemovePrinterRow(std::int64_t seq, const std::string& name)
{
    Query remove("DELETE FROM printers WHERE seq = ?");
    if (!remove.Bind(1, seq).Run()) return false;
    if (auto key = registry::FindKey(store::LocalMachineRootId, std::string(kPrintersKey) + "\\" + name))
        registry::DeleteTree(*key);
    return true;
}

std::optional<std::int64_t> PrinterOfHandle(HANDLE printer)
{
    auto value = reinterpret_cast<std::uintptr_t>(printer);
    if (value < kPrinterHandleBase || (value - kPrinterHandleBase) % kPrinterHandleStep != 0) return std::nullopt;
    std::size_t index = (value - kPrinterHandleBase) / kPrinterHandleStep;
    if (index >= g_printerHandles.size() || g_printerHandles[index] == 0) return std::nullopt;
    return g_printerHandles[index];
}

HANDLE NewPrinterHandle(std::int64_t seq)
{
    std::size_t index = 0;
    while (index < g_printerHandles.size() && g_printerHandles[index] != 0) ++index;
    if (index == g_printerHandles.size()) g_printerHandles.push_back(0);
    g_printerHandles[index] = seq;
    return reinterpret_cast<HANDLE>(kPrinterHandleBase + index * kPrinterHandleStep);
}

bool FileExists(LPCSTR windowsPath)
{
    if (!windowsPath || !*windowsPath) return false;
    std::filesystem::path host;
    DWORD error = 0;
    std::error_code ec;
    return orv::host::ResolvePath(windowsPath, host, error) && std::filesystem::is_regular_file(host, ec);
}

// Lays out enumeration records as the spooler does: the records from the start of
// the caller's buffer, their strings packed from its end.
class RecordWriter {
public:
    RecordWriter(LPBYTE buffer, DWORD size) : buffer_(buffer), end_(buffer + size) {}
    LPSTR Put(const std::string& text)
    {
        end_ -= text.size() + 1;
        std::memcpy(end_, text.c_str(), text.size() + 1);
        return reinterpret_cast<LPSTR>(end_);
    }
    template <typename Record>
    Record* RecordAt(std::size_t index)
    {
        return reinterpret_cast<Record*>(buffer_) + index;
    }

private:
    LPBYTE buffer_;
    LPBYTE end_;
};

bool SetPrinterValues(std::int64_t key, const PRINTER_INFO_2& info, const std::string& name)
{
    auto text = [&](const char* valueName, LPCSTR value) {
        std::string data = Text(value);
        return registry::SetValue(key, valueName, REG_SZ, data.c_str(), data.size() + 1);
    };
    auto number = [&](const char* valueName, DWORD value) {
        return registry::SetValue(key, valueName, REG_DWORD, &value, sizeof value);
    };
    return text("Name", name.c_str()) && text("Share Name", info.pShareName) && text("Port", info.pPortName) &&
           text("Printer Driver", info.pDriverName) && text("Description", info.pComment) &&
           text("Location", info.pLocation) && text("Separator File", info.pSepFile) &&
           text("Print Processor", info.pPrintProcessor ? info.pPrintProcessor : "WinPrint") &&
           text("Datatype", info.pDatatype ? info.pDatatype : "RAW") && text("Parameters", info.pParameters) &&
           number("Attributes", info.Attributes) && number("Priority", info.Priority) &&
           number("Default Priority", info.DefaultPriority) && number("StartTime", info.StartTime) &&
           number("UntilTime", info.UntilTime) && number("Status", 0);
}

}  // namespace

void SetChangeNotice(ChangeNotice notice) { g_changeNotice = std::move(notice); }

void ResetHandles() { g_printerHandles.clear(); }

std::vector<std::string> Ports()
{
    std::vector<std::string> ports;
    if (!Ready()) return ports;
    Query query("SELECT name FROM ports ORDER BY seq");
    while (query.Step()) ports.push_back(query.Text(0));
    return ports;
}

bool AddPort(const std::string& name, std::string& error)
{
    if (!Ready()) {
        error = "no machine is open";
        return false;
    }
    if (name.empty() || name.find_first_of(",\\") != std::string::npos) {
        error = "\"" + name + "\" is not a port name";
        return false;
    }
    Transaction transaction;
    {
        Query exists("SELECT 1 FROM ports WHERE name = ?");
        if (exists.Bind(1, name).Step()) {
            error = "the port \"" + name + "\" exists already";
            return false;
        }
    }
    Query insert("INSERT INTO ports(name) VALUES (?)");
    if (!transaction.Ok() || !insert.Bind(1, name).Run() || !transaction.Commit()) {
        error = "cannot add the port \"" + name + "\": " + store::LastError();
        return false;
    }
    return true;
}

bool RemovePort(const std::string& name, std::string& error)
{
    if (!Ready()) {
        error = "no machine is open";
        return false;
    }
    Transaction transaction;
    Query used("SELECT name FROM printers WHERE port = ?");
    if (used.Bind(1, name).Step()) {
        error = "the port \"" + name + "\" is used by the printer \"" + used.Text(0) + "\"";
        return false;
    }
    {
        Query exists("SELECT 1 FROM ports WHERE name = ?");
        if (!exists.Bind(1, name).Step()) {
            error = "there is no port \"" + name + "\"";
            return false;
        }
    }
    Query remove("DELETE FROM ports WHERE name = ?");
    if (!transaction.Ok() || !remove.Bind(1, name).Run() || !transaction.Commit()) {
        error = "cannot remove the port \"" + name + "\": " + store::LastError();
        return false;
    }
    return true;
}

std::vector<DriverRecord> Drivers()
{
    std::vector<DriverRecord> drivers;
    if (!Ready()) return drivers;
    Query query(
        "SELECT d.name, d.version, d.environment, d.driver_path, d.data_file, d.config_file, "
        "EXISTS (SELECT 1 FROM printers p WHERE p.driver = d.name) FROM drivers d ORDER BY d.seq");
    while (query.Step())
        drivers.push_back(DriverRecord{query.Text(0), static_cast<std::uint32_t>(query.Int(1)), query.Text(2),
                                       query.Text(3), query.Text(4), query.Text(5), query.Int(6) != 0});
    return drivers;
}

std::optional<std::string> DefaultPrinterName()
{
    if (!Ready()) return std::nullopt;
    auto device = orv::profile::ReadKey(WinIni(), "windows", "device");
    if (!device || device->empty()) return std::nullopt;
    return DeviceName(*device);
}

std::vector<PrinterRecord> Printers()
{
    std::vector<PrinterRecord> printers;
    if (!Ready()) return printers;
    auto defaultName = DefaultPrinterName();
    Query query(
        "SELECT name, port, driver, attributes, priority, default_priority, jobs, pending_deletion "
        "FROM printers ORDER BY seq");
    while (query.Step()) {
        PrinterRecord record{query.Text(0),
                             query.Text(1),
                             query.Text(2),
                             static_cast<std::uint32_t>(query.Int(3)),
                             static_cast<std::uint32_t>(query.Int(4)),
                             static_cast<std::uint32_t>(query.Int(5)),
                             static_cast<std::uint32_t>(query.Int(6)),
                             query.Int(7) != 0,
                             false};
        record.isDefault = defaultName && orv::profile::NamesEqual(*defaultName, record.name);
        printers.push_back(record);
    }
    return printers;
}

bool HoldJobs(const std::string& printer, std::uint32_t count, std::string& error)
{
    if (!Ready()) {
        error = "no machine is open";
        return false;
    }
    Transaction transaction;
    Query hold("UPDATE printers SET jobs = jobs + ? WHERE name = ?");
    if (!transaction.Ok() || !hold.Bind(1, std::int64_t{count}).Bind(2, printer).Run()) {
        error = "cannot hold jobs on \"" + printer + "\": " + store::LastError();
        return false;
    }
    if (sqlite3_changes(store::Database()) == 0) {
        error = "there is no printer \"" + printer + "\"";
        return false;
    }
    return transaction.Commit();
}

bool ReleaseJobs(const std::string& printer, std::string& error)
{
    if (!Ready()) {
        error = "no machine is open";
        return false;
    }
    Transaction transaction;
    std::int64_t seq = 0;
    std::string name;
    bool pending = false;
    {
        Query find("SELECT seq, name, pending_deletion FROM printers WHERE name = ?");
        if (!find.Bind(1, printer).Step()) {
            error = "there is no printer \"" + printer + "\"";
            return false;
        }
        seq = find.Int(0);
        name = find.Text(1);
        pending = find.Int(2) != 0;
    }
    Query release("UPDATE printers SET jobs = 0 WHERE seq = ?");
    bool ok = transaction.Ok() && release.Bind(1, seq).Run();
    // A printer deleted while it held jobs goes once its queue is empty.
    if (ok && pending) ok = RemovePrinterRow(seq, name);
    if (!ok || !transaction.Commit()) {
        registry::ForgetCache();
        error = "cannot release the jobs of \"" + printer + "\": " + store::LastError();
        return false;
    }
    if (pending) ForgetDefaultIf(name);
    return true;
}

}  // namespace orv::host::spooler

using namespace orv::host::spooler;
using orv::host::store::Query;
using orv::host::store::Transaction;
namespace registry = orv::host::registry;
namespace store = orv::host::store;

BOOL EnumPortsA(LPSTR, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed, LPDWORD returned)
{
    try {
        if (returned) *returned = 0;
        if (level != 1) return Fail(ERROR_INVALID_LEVEL);
        if (!needed) return Fail(ERROR_INVALID_PARAMETER);
        if (!Ready()) return FALSE;
        std::vector<std::string> ports = Ports();
        std::size_t total = ports.size() * sizeof(PORT_INFO_1);
        for (const std::string& port : ports) total += port.size() + 1;
        *needed = static_cast<DWORD>(total);
        if (total > 0 && (!buffer || bufferSize < total)) return Fail(ERROR_INSUFFICIENT_BUFFER);
        RecordWriter writer(buffer, bufferSize);
        for (std::size_t i = 0; i < ports.size(); ++i) writer.RecordAt<PORT_INFO_1>(i)->pName = writer.Put(ports[i]);
        if (returned) *returned = static_cast<DWORD>(ports.size());
        return TRUE;
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL EnumPrinterDriversA(LPSTR, LPSTR environment, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed,
                         LPDWORD returned)
{
    try {
        if (returned) *returned = 0;
        if (level != 2) return Fail(ERROR_INVALID_LEVEL);
        if (!needed) return Fail(ERROR_INVALID_PARAMETER);
        if (!EnvironmentOk(environment)) return Fail(ERROR_INVALID_ENVIRONMENT);
        if (!Ready()) return FALSE;
        std::vector<DriverRecord> drivers = Drivers();
        std::size_t total = drivers.size() * sizeof(DRIVER_INFO_2);
        for (const DriverRecord& d : drivers)
            total += d.name.size() + d.environment.size() + d.driverPath.size() + d.dataFile.size() +
                     d.configFile.size() + 5;
        *needed = static_cast<DWORD>(total);
        if (total > 0 && (!buffer || bufferSize < total)) return Fail(ERROR_INSUFFICIENT_BUFFER);
        RecordWriter writer(buffer, bufferSize);
        for (std::size_t i = 0; i < drivers.size(); ++i) {
            DRIVER_INFO_2* record = writer.RecordAt<DRIVER_INFO_2>(i);
            record->cVersion = drivers[i].version;
            record->pName = writer.Put(drivers[i].name);
            record->pEnvironment = writer.Put(drivers[i].environment);
            record->pDriverPath = writer.Put(drivers[i].driverPath);
            record->pDataFile = writer.Put(drivers[i].dataFile);
            record->pConfigFile = writer.Put(drivers[i].configFile);
        }
        if (returned) *returned = static_cast<DWORD>(drivers.size());
        return TRUE;
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL OpenPrinterA(LPSTR printerName, HANDLE* printer, LPPRINTER_DEFAULTSA)
{
    try {
        if (!printer) return Fail(ERROR_INVALID_PARAMETER);
        *printer = nullptr;
        if (!printerName || !*printerName) return Fail(ERROR_INVALID_PRINTER_NAME);
        if (!Ready()) return FALSE;
        // A printer marked for deletion is no longer offered, though its name stays
        // taken until its jobs are gone.
        Query find("SELECT seq FROM printers WHERE name = ? AND pending_deletion = 0");
        if (!find.Bind(1, std::string(printerName)).Step()) return Fail(ERROR_INVALID_PRINTER_NAME);
        *printer = NewPrinterHandle(find.Int(0));
        return TRUE;
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL ClosePrinter(HANDLE printer)
{
    auto value = reinterpret_cast<std::uintptr_t>(printer);
    if (!PrinterOfHandle(printer)) return Fail(ERROR_INVALID_HANDLE);
    g_printerHandles[(value - kPrinterHandleBase) / kPrinterHandleStep] = 0;
    return TRUE;
}

BOOL DeletePrinter(HANDLE printer)
{
    try {
        auto seq = PrinterOfHandle(printer);
        if (!seq) return Fail(ERROR_INVALID_HANDLE);
        if (!Ready()) return FALSE;
        Transaction transaction;
        if (!transaction.Ok()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
        std::string name;
        std::int64_t jobs = 0;
        {
            Query find("SELECT name, jobs FROM printers WHERE seq = ?");
            if (!find.Bind(1, *seq).Step()) return Fail(ERROR_INVALID_PRINTER_NAME);
            name = find.Text(0);
            jobs = find.Int(1);
        }
        bool ok;
        if (jobs > 0) {
            // Its jobs keep it, and its driver in use, until they are released.
            Query mark("UPDATE printers SET pending_deletion = 1 WHERE seq = ?");
            ok = mark.Bind(1, *seq).Run();
        } else {
            ok = RemovePrinterRow(*seq, name);
        }
        if (!ok || !transaction.Commit()) {
            registry::ForgetCache();
            return Fail(ERROR_NOT_ENOUGH_MEMORY);
        }
        if (jobs == 0) ForgetDefaultIf(name);
        Notice(jobs > 0 ? "printer " + name + " marked for deletion (" + std::to_string(jobs) + " jobs held)"
                        : "printer " + name + " deleted");
        return TRUE;
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL DeletePrinterDriverA(LPSTR, LPSTR environment, LPSTR driverName)
{
    try {
        if (!driverName || !*driverName) return Fail(ERROR_INVALID_PARAMETER);
        if (!EnvironmentOk(environment)) return Fail(ERROR_INVALID_ENVIRONMENT);
        if (!Ready()) return FALSE;
        Transaction transaction;
        if (!transaction.Ok()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
        {
            Query exists("SELECT 1 FROM drivers WHERE name = ?");
            if (!exists.Bind(1, std::string(driverName)).Step()) return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
        }
        {
            Query used("SELECT 1 FROM printers WHERE driver = ?");
            if (used.Bind(1, std::string(driverName)).Step()) return Fail(ERROR_PRINTER_DRIVER_IN_USE);
        }
        Query remove("DELETE FROM drivers WHERE name = ?");
        if (!remove.Bind(1, std::string(driverName)).Run() || !transaction.Commit())
            return Fail(ERROR_NOT_ENOUGH_MEMORY);
        Notice("driver " + std::string(driverName) + " deleted");
        return TRUE;
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL AddPrinterDriverA(LPSTR, DWORD level, LPBYTE driverInfo)
{
    try {
        if (level != 2) return Fail(ERROR_INVALID_LEVEL);
        if (!driverInfo) return Fail(ERROR_INVALID_PARAMETER);
        const auto* info = reinterpret_cast<const DRIVER_INFO_2*>(driverInfo);
        if (!info->pName || !*info->pName || !info->pDriverPath || !info->pDataFile || !info->pConfigFile)
            return Fail(ERROR_INVALID_PARAMETER);
        if (!EnvironmentOk(info->pEnvironment)) return Fail(ERROR_INVALID_ENVIRONMENT);
        if (!Ready()) return FALSE;
        for (LPCSTR file : {info->pDriverPath, info->pDataFile, info->pConfigFile})
            if (!FileExists(file)) return Fail(ERROR_FILE_NOT_FOUND);
        Transaction transaction;
        if (!transaction.Ok()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
        // A driver of the same name is brought up to date in place, as NT 4 does.
        Query upsert(
            "INSERT INTO drivers(name, version, environment, driver_path, data_file, config_file) "
            "VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT(name) DO UPDATE SET version = excluded.version, "
            "driver_path = excluded.driver_path, data_file = excluded.data_file, config_file = excluded.config_file");
        upsert.Bind(1, std::string(info->pName))
            .Bind(2, std::int64_t{info->cVersion})
            .Bind(3, std::string(kEnvironment))
            .Bind(4, orv::host::FullWindowsPath(info->pDriverPath))
            .Bind(5, orv::host::FullWindowsPath(info->pDataFile))
            .Bind(6, orv::host::FullWindowsPath(info->pConfigFile));
        if (!upsert.Run() || !transaction.Commit()) return Fail(ERROR_NOT_ENOUGH_MEMORY);
        Notice("driver " + std::string(info->pName) + " added: " + orv::host::FullWindowsPath(info->pDriverPath) +
               ", data file " + orv::host::FullWindowsPath(info->pDataFile) + ", configuration file " +
               orv::host::FullWindowsPath(info->pConfigFile));
        return TRUE;
    } catch (...) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

HANDLE AddPrinterA(LPSTR, DWORD level, LPBYTE printerInfo)
{
    try {
        if (level != 2) {
            SetLastError(ERROR_INVALID_LEVEL);
            return nullptr;
        }
        if (!printerInfo) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        const auto& info = *reinterpret_cast<const PRINTER_INFO_2*>(printerInfo);
        std::string name = Text(info.pPrinterName);
        auto fail = [](DWORD error) -> HANDLE {
            SetLastError(error);
            return nullptr;
        };
        if (name.empty() || name.size() > kMaxPrinterName || name.find_first_of(",\\") != std::string::npos)
            return fail(ERROR_INVALID_PRINTER_NAME);
        if (!Ready()) return nullptr;
        Transaction transaction;
        if (!transaction.Ok()) return fail(ERROR_NOT_ENOUGH_MEMORY);
        {
            Query taken("SELECT 1 FROM printers WHERE name = ?");
            if (taken.Bind(1, name).Step()) return fail(ERROR_PRINTER_ALREADY_EXISTS);
        }
        {
            Query driver("SELECT 1 FROM drivers WHERE name = ?");
            if (!driver.Bind(1, Text(info.pDriverName)).Step()) return fail(ERROR_UNKNOWN_PRINTER_DRIVER);
        }
        {
            Query port("SELECT 1 FROM ports WHERE name = ?");
            if (!port.Bind(1, Text(info.pPortName)).Step()) return fail(ERROR_UNKNOWN_PORT);
        }
        Query insert(
            "INSERT INTO printers(name, port, driver, share_name, comment, location, sep_file, print_processor, "
            "datatype, parameters, attributes, priority, default_priority, start_time, until_time) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, name)
            .Bind(2, Text(info.pPortName))
            .Bind(3, Text(info.pDriverName))
            .Bind(4, Text(info.pShareName))
            .Bind(5, Text(info.pComment))
            .Bind(6, Text(info.pLocation))
            .Bind(7, Text(info.pSepFile))
            .Bind(8, info.pPrintProcessor ? std::string(info.pPrintProcessor) : std::string("WinPrint"))
            .Bind(9, info.pDatatype ? std::string(info.pDatatype) : std::string("RAW"))
            .Bind(10, Text(info.pParameters))
            .Bind(11, std::int64_t{info.Attributes})
            .Bind(12, std::int64_t{info.Priority})
            .Bind(13, std::int64_t{info.DefaultPriority})
            .Bind(14, std::int64_t{info.StartTime})
            .Bind(15, std::int64_t{info.UntilTime});
        if (!insert.Run()) return fail(ERROR_NOT_ENOUGH_MEMORY);
        std::int64_t seq = store::LastInsertId();
        // The printer's key, as NT keeps it: its settings as values and a
        // PrinterDriverData subkey, which is why a plain RegDeleteKeyA of it fails
        // while the printer exists.
        std::string keyPath = std::string(kPrintersKey) + "\\" + name;
        if (auto stale = registry::FindKey(store::LocalMachineRootId, keyPath)) registry::DeleteTree(*stale);
        std::int64_t key = 0;
        std::int64_t driverData = 0;
        DWORD error = 0;
        if (!registry::CreateKey(store::LocalMachineRootId, keyPath, key, error) ||
            !registry::CreateKey(key, "PrinterDriverData", driverData, error) || !SetPrinterValues(key, info, name) ||
            !transaction.Commit()) {
            registry::ForgetCache();
            return fail(ERROR_NOT_ENOUGH_MEMORY);
        }
        if (info.Attributes & PRINTER_ATTRIBUTE_DEFAULT) {
            std::string profileError;
            orv::profile::WriteKey(WinIni(), "windows", "device", name + ",winspool," + Text(info.pPortName),
                                   profileError);
        }
        Notice("printer " + name + " added on " + Text(info.pPortName) + " with driver " + Text(info.pDriverName) +
               ((info.Attributes & PRINTER_ATTRIBUTE_DEFAULT) ? ", the default printer" : ""));
        return NewPrinterHandle(seq);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}
