// The print spooler's records as the machine tool and tests read and change them:
// ports, drivers, printers and their held jobs.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orv::host::spooler {

// The environment of every driver of this workstation.
constexpr const char* kEnvironment = "Windows NT x86";
// Where NT keeps each printer under HKEY_LOCAL_MACHINE.
constexpr const char* kPrintersKey = "System\\CurrentControlSet\\Control\\Print\\Printers";

struct DriverRecord {
    std::string name;
    std::uint32_t version = 0;
    std::string environment;
    std::string driverPath;
    std::string dataFile;
    std::string configFile;
    bool inUse = false;
};

struct PrinterRecord {
    std::string name;
    std::string port;
    std::string driver;
    std::uint32_t attributes = 0;
    std::uint32_t priority = 0;
    std::uint32_t defaultPriority = 0;
    std::uint32_t jobs = 0;
    bool pendingDeletion = false;
    bool isDefault = false;
};

std::vector<std::string> Ports();
bool AddPort(const std::string& name, std::string& error);
// Refused while a printer prints to the port.
bool RemovePort(const std::string& name, std::string& error);
std::vector<DriverRecord> Drivers();
std::vector<PrinterRecord> Printers();
// Adds `count` jobs to a printer's queue.
bool HoldJobs(const std::string& printer, std::uint32_t count, std::string& error);
// Empties a printer's queue; a printer marked for deletion then goes.
bool ReleaseJobs(const std::string& printer, std::string& error);
// The printer named by WIN.INI [windows] device=, if any.
std::optional<std::string> DefaultPrinterName();
// Drops every open printer handle, when the machine is closed.
void ResetHandles();

// Told of each change the spooler calls make, in words ("printer X added on LPT1:"),
// right after it is committed; the setup log records them. Empty: nobody is told.
using ChangeNotice = std::function<void(const std::string& change)>;
void SetChangeNotice(ChangeNotice notice);

}  // namespace orv::host::spooler
