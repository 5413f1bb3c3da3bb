// orvalen-machine: makes a machine directory and shows or changes what it keeps:
// facts, ports, drivers, printers and their jobs, the registry, profile files and
// the files of its drives.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "host/profile/profile_file.h"
#include "host/text/ansi_text.h"
#include "host/workstation/machine.h"
#include "host/workstation/registry_tree.h"
#include "host/workstation/spooler_admin.h"

namespace {

namespace fs = std::filesystem;
namespace host = orv::host;

int Fail(const std::string& message)
{
    std::cerr << "orvalen-machine: " << message << "\n";
    return 1;
}

std::vector<std::string> SplitList(const std::string& list)
{
    std::vector<std::string> items;
    std::string item;
    for (char c : list + ",") {
        if (c == ',' || c == ' ') {
            if (!item.empty()) items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    return items;
}

// Text of the machine's ANSI code page as the terminal shows it.
std::string ForTerminal(const std::string& ansi)
{
    std::string out;
    if (orv::text::ConvertCodePage(ansi, orv::text::AnsiCodePage(), 65001, out)) return out;
    return ansi;
}

std::string FromTerminal(const std::string& utf8)
{
    std::string out;
    if (orv::text::ConvertCodePage(utf8, 65001, orv::text::AnsiCodePage(), out)) return out;
    return utf8;
}

bool ResolveExisting(const std::string& windowsPath, fs::path& hostPath, std::string& error)
{
    DWORD code = 0;
    if (!host::ResolvePath(FromTerminal(windowsPath), hostPath, code)) {
        error = "\"" + windowsPath + "\" is not a valid path on this machine (error " + std::to_string(code) + ")";
        return false;
    }
    std::error_code ec;
    if (!fs::exists(hostPath, ec)) {
        error = "\"" + windowsPath + "\" does not exist on this machine";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Makes and inspects an emulated Windows NT workstation for orvalen-setup."};
    app.require_subcommand(1);
    std::string machineOption;
    app.add_option("--machine", machineOption,
                   "Machine directory (default: $ORVALEN_MACHINE, else $XDG_DATA_HOME/orvalen/machine, else "
                   "~/.local/share/orvalen/machine)");

    host::MachineOptions initOptions;
    std::string portList;
    auto* init = app.add_subcommand("init", "Make a new machine");
    init->add_option("--windows-dir", initOptions.windowsDirectory, "Windows directory (C:\\WINNT)");
    init->add_option("--system-dir", initOptions.systemDirectory, "System directory (C:\\WINNT\\system32)");
    init->add_option("--codepage", initOptions.ansiCodePage, "ANSI code page (1252)");
    init->add_option("--oem-codepage", initOptions.oemCodePage, "OEM code page (437)");
    init->add_option("--ports", portList, "Ports, separated by commas (LPT1:,LPT2:,LPT3:,COM1:,...,FILE:)");

    auto* info = app.add_subcommand("info", "Show the machine's facts and drives");
    auto* ports = app.add_subcommand("ports", "List the ports");
    auto* port = app.add_subcommand("port", "Add or remove a port");
    port->require_subcommand(1);
    std::string portName;
    auto* portAdd = port->add_subcommand("add", "Add a port");
    portAdd->add_option("NAME", portName)->required();
    auto* portRemove = port->add_subcommand("remove", "Remove a port no printer uses");
    portRemove->add_option("NAME", portName)->required();

    bool json = false;
    auto* drivers = app.add_subcommand("drivers", "List the printer drivers");
    drivers->add_flag("--json", json, "As a JSON array");
    auto* printers = app.add_subcommand("printers", "List the printers");
    printers->add_flag("--json", json, "As a JSON array");

    auto* jobs = app.add_subcommand("jobs", "Hold or release print jobs");
    jobs->require_subcommand(1);
    std::string printerName;
    std::uint32_t jobCount = 1;
    auto* jobsHold = jobs->add_subcommand("hold", "Queue N more jobs on a printer (default 1)");
    jobsHold->add_option("PRINTER", printerName)->required();
    jobsHold->add_option("N", jobCount)->check(CLI::Range(1u, 1000000u));
    auto* jobsRelease = jobs->add_subcommand("release", "Empty a printer's queue");
    jobsRelease->add_option("PRINTER", printerName)->required();

    auto* reg = app.add_subcommand("reg", "Export or import the registry (REGEDIT4)");
    reg->require_subcommand(1);
    std::string keyPath;
    std::string importFile;
    auto* regExport = reg->add_subcommand("export", "Print a key's tree, or the whole registry");
    regExport->add_option("KEY", keyPath, "e.g. HKEY_LOCAL_MACHINE\\System");
    auto* regImport = reg->add_subcommand("import", "Apply a REGEDIT4 file");
    regImport->add_option("FILE", importFile)->required();

    std::string iniFile;
    std::string iniSection;
    auto* ini = app.add_subcommand("ini", "Show a profile file of the Windows directory, e.g. WIN.INI");
    ini->add_option("FILE", iniFile)->required();
    ini->add_option("SECTION", iniSection);

    std::string windowsPath;
    auto* ls = app.add_subcommand("ls", "List a folder of the machine (Windows path)");
    ls->add_option("PATH", windowsPath)->required();
    auto* cat = app.add_subcommand("cat", "Print a file of the machine (Windows path)");
    cat->add_option("PATH", windowsPath)->required();

    CLI11_PARSE(app, argc, argv);

    fs::path machine = machineOption.empty() ? host::DefaultMachineDirectory() : fs::path(machineOption);
    std::string error;
    try {
        if (init->parsed()) {
            if (!portList.empty()) initOptions.ports = SplitList(portList);
            if (!host::CreateMachine(machine, initOptions, error)) return Fail(error);
            std::cout << "Made the machine " << machine.string() << "\n";
            return 0;
        }
        if (!host::OpenMachine(machine, false, error)) return Fail(error);

        if (info->parsed()) {
            const host::MachineFacts& facts = host::Facts();
            std::cout << "Machine:            " << host::MachineDirectory().string() << "\n"
                      << "Windows directory:  " << ForTerminal(facts.windowsDirectory) << "\n"
                      << "System directory:   " << ForTerminal(facts.systemDirectory) << "\n"
                      << "Version:            " << facts.versionMajor << "." << facts.versionMinor << " (build "
                      << facts.buildNumber << ")\n"
                      << "Code pages:         ANSI " << facts.ansiCodePage << ", OEM " << facts.oemCodePage << "\n"
                      << "Screen:             " << facts.screenWidth << "x" << facts.screenHeight << "\n"
                      << "Processor:          " << facts.processor << "\n"
                      << "Math chip:          " << (facts.mathChip ? "yes" : "no") << "\n"
                      << "Mouse:              " << (facts.mouse ? "yes" : "no") << "\n"
                      << "Monochrome display: " << (facts.monochromeDisplay ? "yes" : "no") << "\n";
            if (!facts.withheldFunctions.empty()) {
                std::cout << "Withheld functions:";
                for (const auto& name : facts.withheldFunctions) std::cout << " " << name;
                std::cout << "\n";
            }
            for (const host::DriveInfo& drive : host::Drives()) {
                std::cout << "Drive " << drive.letter << ":           " << drive.hostDir.string()
                          << (drive.readOnly ? " (read-only)" : "") << (drive.removable ? " (removable)" : "")
                          << (drive.remote ? " (remote)" : "") << "\n";
            }
            for (const auto& [name, value] : facts.environment) std::cout << "%" << name << "% = " << value << "\n";
            return 0;
        }
        if (ports->parsed()) {
            for (const std::string& name : host::spooler::Ports()) std::cout << name << "\n";
            return 0;
        }
        if (portAdd->parsed()) return host::spooler::AddPort(portName, error) ? 0 : Fail(error);
        if (portRemove->parsed()) return host::spooler::RemovePort(portName, error) ? 0 : Fail(error);

        if (drivers->parsed()) {
            auto list = host::spooler::Drivers();
            if (json) {
                nlohmann::json array = nlohmann::json::array();
                for (const auto& d : list)
                    array.push_back({{"name", ForTerminal(d.name)},
                                     {"version", d.version},
                                     {"driverPath", ForTerminal(d.driverPath)},
                                     {"dataFile", ForTerminal(d.dataFile)},
                                     {"configFile", ForTerminal(d.configFile)},
                                     {"inUse", d.inUse}});
                std::cout << array.dump(2) << "\n";
                return 0;
            }
            for (const auto& d : list)
                std::cout << ForTerminal(d.name) << "  version " << d.version << "  " << ForTerminal(d.driverPath)
                          << (d.inUse ? "  (in use)" : "") << "\n";
            return 0;
        }
        if (printers->parsed()) {
            auto list = host::spooler::Printers();
            if (json) {
                nlohmann::json array = nlohmann::json::array();
                for (const auto& p : list)
                    array.push_back({{"name", ForTerminal(p.name)},
                                     {"port", ForTerminal(p.port)},
                                     {"driver", ForTerminal(p.driver)},
                                     {"attributes", p.attributes},
                                     {"priority", p.priority},
                                     {"default", p.isDefault},
                                     {"pendingDeletion", p.pendingDeletion},
                                     {"jobs", p.jobs}});
                std::cout << array.dump(2) << "\n";
                return 0;
            }
            for (const auto& p : list)
                std::cout << ForTerminal(p.name) << "  on " << ForTerminal(p.port) << "  driver "
                          << ForTerminal(p.driver) << (p.isDefault ? "  (default)" : "")
                          << (p.jobs ? "  jobs " + std::to_string(p.jobs) : "")
                          << (p.pendingDeletion ? "  (pending deletion)" : "") << "\n";
            return 0;
        }
        if (jobsHold->parsed())
            return host::spooler::HoldJobs(FromTerminal(printerName), jobCount, error) ? 0 : Fail(error);
        if (jobsRelease->parsed())
            return host::spooler::ReleaseJobs(FromTerminal(printerName), error) ? 0 : Fail(error);

        if (regExport->parsed()) {
            std::string text;
            if (!host::registry::ExportText(FromTerminal(keyPath), text, error)) return Fail(error);
            std::cout << ForTerminal(text);
            return 0;
        }
        if (regImport->parsed()) {
            std::ifstream in(importFile, std::ios::binary);
            if (!in) return Fail("cannot read \"" + importFile + "\"");
            std::stringstream text;
            text << in.rdbuf();
            return host::registry::ImportText(FromTerminal(text.str()), importFile, error) ? 0 : Fail(error);
        }
        if (ini->parsed()) {
            // A bare name is a file of the Windows directory, as the profile calls take it.
            std::string name = FromTerminal(iniFile);
            if (name.find('\\') == std::string::npos && name.find(':') == std::string::npos)
                name = host::WindowsDirectory() + "\\" + name;
            fs::path hostPath;
            if (!ResolveExisting(name, hostPath, error)) return Fail(error);
            orv::profile::Document document;
            if (!orv::profile::Load(hostPath, document, error)) return Fail(error);
            if (!iniSection.empty()) {
                if (!document.HasSection(FromTerminal(iniSection)))
                    return Fail("\"" + iniFile + "\" has no section [" + iniSection + "]");
                for (const auto& [key, value] : document.Entries(FromTerminal(iniSection)))
                    std::cout << ForTerminal(key) << "=" << ForTerminal(value) << "\n";
                return 0;
            }
            std::cout << ForTerminal(document.Serialise());
            return 0;
        }
        if (ls->parsed()) {
            fs::path hostPath;
            if (!ResolveExisting(windowsPath, hostPath, error)) return Fail(error);
            if (!fs::is_directory(hostPath)) {
                std::cout << ForTerminal(host::WindowsPathOf(hostPath)) << "\n";
                return 0;
            }
            std::vector<std::string> lines;
            for (const auto& entry : fs::directory_iterator(hostPath)) {
                std::string name = entry.path().filename().string();
                if (entry.is_directory())
                    lines.push_back(name + "\\");
                else
                    lines.push_back(name + "  " + std::to_string(entry.file_size()));
            }
            std::sort(lines.begin(), lines.end());
            for (const auto& line : lines) std::cout << line << "\n";
            return 0;
        }
        if (cat->parsed()) {
            fs::path hostPath;
            if (!ResolveExisting(windowsPath, hostPath, error)) return Fail(error);
            if (fs::is_directory(hostPath)) return Fail("\"" + windowsPath + "\" is a folder; use ls");
            std::ifstream in(hostPath, std::ios::binary);
            std::cout << in.rdbuf();
            return 0;
        }
    } catch (const std::exception& e) {
        return Fail(std::string("on the machine \"") + machine.string() + "\": " + e.what());
    }
    return 0;
}
