// The fake print spooler: ports and drivers enumerated into the caller's buffer the
// way the workstation lays them out (records first, their strings after them),
// printers opened, deleted and added, drivers removed and registered.
#include "platform/spooler.h"
#include "tests/fake/fake_state.h"

#include <cstring>

using fake::detail::Enter;
using fake::detail::Num;
using fake::detail::Ptr;
using fake::detail::S;
using fake::detail::Str;

namespace {

std::string Text(LPCSTR text) { return text != nullptr ? text : ""; }

// Lays out `count` records of type Record followed by their strings. `fill` writes one
// record, taking its strings through `place`.
template <typename Record, typename Fill>
BOOL Enumerate(std::size_t count, const std::vector<std::vector<std::string>> &strings, LPBYTE buffer,
               DWORD bufferSize, LPDWORD needed, LPDWORD returned, Fill fill) {
    std::size_t size = count * sizeof(Record);
    for (const auto &recordStrings : strings) {
        for (const std::string &text : recordStrings) size += text.size() + 1;
    }
    if (needed != nullptr) *needed = static_cast<DWORD>(size);
    if (returned != nullptr) *returned = 0;
    if (size == 0) return TRUE;
    if (buffer == nullptr || bufferSize < size) {
        S().lastError = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    char *next = reinterpret_cast<char *>(buffer) + count * sizeof(Record);
    auto place = [&next](const std::string &text) {
        char *start = next;
        std::memcpy(next, text.c_str(), text.size() + 1);
        next += text.size() + 1;
        return start;
    };
    auto *records = reinterpret_cast<Record *>(buffer);
    for (std::size_t i = 0; i < count; ++i) fill(records[i], i, place);
    if (returned != nullptr) *returned = static_cast<DWORD>(count);
    return TRUE;
}

}  // namespace

BOOL EnumPortsA(LPSTR serverName, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed, LPDWORD returned) {
    if (auto r = Enter("EnumPortsA", {Str(serverName), Num(level), Ptr(buffer), Num(bufferSize)})) {
        return static_cast<BOOL>(*r);
    }
    if (level != 1) {
        S().lastError = ERROR_INVALID_LEVEL;
        return FALSE;
    }
    const std::vector<std::string> ports = S().ports;
    std::vector<std::vector<std::string>> strings;
    for (const std::string &port : ports) strings.push_back({port});
    return Enumerate<PORT_INFO_1>(ports.size(), strings, buffer, bufferSize, needed, returned,
                                  [&ports](PORT_INFO_1 &record, std::size_t i, auto &place) {
                                      record.pName = place(ports[i]);
                                  });
}

BOOL EnumPrinterDriversA(LPSTR serverName, LPSTR environment, DWORD level, LPBYTE buffer, DWORD bufferSize,
                         LPDWORD needed, LPDWORD returned) {
    if (auto r = Enter("EnumPrinterDriversA",
                       {Str(serverName), Str(environment), Num(level), Ptr(buffer), Num(bufferSize)})) {
        return static_cast<BOOL>(*r);
    }
    if (level != 2) {
        S().lastError = ERROR_INVALID_LEVEL;
        return FALSE;
    }
    const std::vector<fake::DriverRecord> drivers = S().drivers;
    std::vector<std::vector<std::string>> strings;
    for (const auto &d : drivers) strings.push_back({d.name, d.environment, d.driverPath, d.dataFile, d.configFile});
    return Enumerate<DRIVER_INFO_2>(drivers.size(), strings, buffer, bufferSize, needed, returned,
                                    [&drivers](DRIVER_INFO_2 &record, std::size_t i, auto &place) {
                                        record.cVersion = drivers[i].version;
                                        record.pName = place(drivers[i].name);
                                        record.pEnvironment = place(drivers[i].environment);
                                        record.pDriverPath = place(drivers[i].driverPath);
                                        record.pDataFile = place(drivers[i].dataFile);
                                        record.pConfigFile = place(drivers[i].configFile);
                                    });
}

BOOL OpenPrinterA(LPSTR printerName, HANDLE *printer, LPPRINTER_DEFAULTSA defaults) {
    if (auto r = Enter("OpenPrinterA", {Str(printerName), Ptr(defaults)})) return static_cast<BOOL>(*r);
    if (printer != nullptr) *printer = nullptr;
    bool exists = false;
    for (const std::string &name : S().printers) exists = exists || (printerName != nullptr && name == printerName);
    if (!exists || printer == nullptr) {
        S().lastError = ERROR_INVALID_PRINTER_NAME;
        return FALSE;
    }
    *printer = reinterpret_cast<HANDLE>(fake::detail::NewHandleValue());
    S().printerHandles[*printer] = printerName;
    return TRUE;
}

BOOL ClosePrinter(HANDLE printer) {
    if (auto r = Enter("ClosePrinter", {Ptr(printer)})) return static_cast<BOOL>(*r);
    if (S().printerHandles.erase(printer) == 0) {
        S().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    return TRUE;
}

BOOL DeletePrinter(HANDLE printer) {
    if (auto r = Enter("DeletePrinter", {Ptr(printer)})) return static_cast<BOOL>(*r);
    auto found = S().printerHandles.find(printer);
    if (found == S().printerHandles.end()) {
        S().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    std::vector<std::string> &printers = S().printers;
    for (auto it = printers.begin(); it != printers.end(); ++it) {
        if (*it == found->second) {
            printers.erase(it);
            break;
        }
    }
    return TRUE;
}

BOOL DeletePrinterDriverA(LPSTR serverName, LPSTR environment, LPSTR driverName) {
    if (auto r = Enter("DeletePrinterDriverA", {Str(serverName), Str(environment), Str(driverName)})) {
        return static_cast<BOOL>(*r);
    }
    std::vector<fake::DriverRecord> &drivers = S().drivers;
    for (auto it = drivers.begin(); it != drivers.end(); ++it) {
        if (driverName != nullptr && it->name == driverName) {
            drivers.erase(it);
            return TRUE;
        }
    }
    S().lastError = ERROR_UNKNOWN_PRINTER_DRIVER;
    return FALSE;
}

BOOL AddPrinterDriverA(LPSTR serverName, DWORD level, LPBYTE driverInfo) {
    const auto *info = reinterpret_cast<const DRIVER_INFO_2 *>(driverInfo);
    std::vector<std::string> args{Str(serverName), Num(level)};
    if (level == 2 && info != nullptr) {
        args.insert(args.end(), {Num(info->cVersion), Str(info->pName), Str(info->pEnvironment),
                                 Str(info->pDriverPath), Str(info->pDataFile), Str(info->pConfigFile)});
    }
    if (auto r = Enter("AddPrinterDriverA", std::move(args))) return static_cast<BOOL>(*r);
    if (level != 2 || info == nullptr || info->pName == nullptr) {
        S().lastError = level != 2 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    fake::DriverRecord record{Text(info->pName), Text(info->pEnvironment), Text(info->pDriverPath),
                              Text(info->pDataFile), Text(info->pConfigFile), info->cVersion};
    std::vector<fake::DriverRecord> &drivers = S().drivers;
    for (auto &existing : drivers) {
        if (existing.name == record.name) {
            existing = record;
            return TRUE;
        }
    }
    drivers.push_back(record);
    return TRUE;
}

HANDLE AddPrinterA(LPSTR serverName, DWORD level, LPBYTE printerInfo) {
    const auto *info = reinterpret_cast<const PRINTER_INFO_2 *>(printerInfo);
    std::vector<std::string> args{Str(serverName), Num(level)};
    if (level == 2 && info != nullptr) {
        args.insert(args.end(), {Str(info->pServerName), Str(info->pPrinterName), Str(info->pShareName),
                                 Str(info->pPortName), Str(info->pDriverName), Str(info->pComment),
                                 Str(info->pLocation), Ptr(info->pDevMode), Str(info->pSepFile),
                                 Str(info->pPrintProcessor), Str(info->pDatatype), Str(info->pParameters),
                                 Ptr(info->pSecurityDescriptor), Num(info->Attributes), Num(info->Priority),
                                 Num(info->DefaultPriority), Num(info->StartTime), Num(info->UntilTime),
                                 Num(info->Status), Num(info->cJobs), Num(info->AveragePPM)});
    }
    if (auto r = Enter("AddPrinterA", std::move(args))) {
        return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(*r));
    }
    if (level != 2 || info == nullptr || info->pPrinterName == nullptr) {
        S().lastError = level != 2 ? ERROR_INVALID_LEVEL : ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    for (const std::string &name : S().printers) {
        if (name == info->pPrinterName) {
            S().lastError = ERROR_PRINTER_ALREADY_EXISTS;
            return nullptr;
        }
    }
    fake::PrinterRecord record;
    record.printerName = Text(info->pPrinterName);
    record.shareName = Text(info->pShareName);
    record.portName = Text(info->pPortName);
    record.driverName = Text(info->pDriverName);
    record.comment = Text(info->pComment);
    record.location = Text(info->pLocation);
    record.sepFile = Text(info->pSepFile);
    record.printProcessor = Text(info->pPrintProcessor);
    record.datatype = Text(info->pDatatype);
    record.parameters = Text(info->pParameters);
    record.attributes = info->Attributes;
    record.priority = info->Priority;
    record.defaultPriority = info->DefaultPriority;
    S().addedPrinters.push_back(record);
    S().printers.push_back(record.printerName);
    HANDLE handle = reinterpret_cast<HANDLE>(fake::detail::NewHandleValue());
    S().printerHandles[handle] = record.printerName;
    return handle;
}
