// The machine directory: creation, machine.ini facts, drive map, Windows paths
// mapped onto host folders, the current directory and the environment.
#include "host/workstation/machine.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/statvfs.h>
#include <unistd.h>

#include "host/profile/profile_file.h"
#include "host/text/ansi_text.h"
#include "host/workstation/registry_tree.h"
#include "host/workstation/spooler_admin.h"
#include "host/workstation/store.h"

namespace orv::host {
namespace {

constexpr const char* kFactsSection = "Machine";
constexpr const char* kDrivesSection = "Drives";
constexpr const char* kEnvironmentSection = "Environment";
constexpr std::size_t kMaxPath = 260;  // including the terminator
constexpr std::size_t kMaxComponent = 255;

struct MachineState {
    bool open = false;
    path directory;
    MachineFacts facts;
    std::map<char, DriveInfo> drives;
    std::string currentDirectory = "C:\\";
};

MachineState& State()
{
    static MachineState state;
    return state;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool EqualsNoCase(std::string_view a, std::string_view b) { return orv::profile::NamesEqual(a, b); }

// Splits a Windows path into its components at "\" and "/", stepping over
// double-byte characters so that a trail byte of 0x5C is never taken for a separator.
std::vector<std::string> SplitComponents(std::string_view text)
{
    std::vector<std::string> parts;
    std::string current;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (orv::text::IsDbcsLeadByte(byte) && i + 1 < text.size()) {
            current += text[i];
            current += text[++i];
            continue;
        }
        if (text[i] == '\\' || text[i] == '/') {
            parts.push_back(current);
            current.clear();
            continue;
        }
        current += text[i];
    }
    parts.push_back(current);
    return parts;
}

bool IsReservedDeviceName(std::string_view component)
{
    std::string base(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = UpperAscii(c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    if (base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' && base[3] <= '9')
        return true;
    return false;
}

// Windows refuses the characters < > : " | ? * and control characters in names.
bool HasForbiddenCharacter(std::string_view component)
{
    for (std::size_t i = 0; i < component.size(); ++i) {
        auto byte = static_cast<unsigned char>(component[i]);
        if (orv::text::IsDbcsLeadByte(byte) && i + 1 < component.size()) {
            ++i;
            continue;
        }
        if (byte < 0x20 || std::strchr("<>:\"|?*", byte) != nullptr) return true;
    }
    return false;
}

// Folds a name of the ANSI code page for comparison without regard to case.
std::string FoldAnsi(std::string_view name) { return store::FoldName(name); }

bool AnsiToHost(const std::string& ansi, std::string& host)
{
    bool ascii = std::all_of(ansi.begin(), ansi.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        host = ansi;
        return true;
    }
    return orv::text::ConvertCodePage(ansi, orv::text::AnsiCodePage(), 65001, host);
}

bool HostToAnsi(const std::string& host, std::string& ansi)
{
    bool ascii = std::all_of(host.begin(), host.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        ansi = host;
        return true;
    }
    return orv::text::ConvertCodePage(host, 65001, orv::text::AnsiCodePage(), ansi);
}

// The host entry of `folder` whose name equals `ansiName` without regard to case,
// or the name as given (converted) when there is none.
std::string MatchEntry(const path& folder, const std::string& ansiName, const std::string& hostName)
{
    std::error_code ec;
    if (std::filesystem::exists(folder / hostName, ec)) return hostName;
    std::string wanted = FoldAnsi(ansiName);
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        std::string candidateAnsi;
        if (!HostToAnsi(candidate, candidateAnsi)) continue;
        if (FoldAnsi(candidateAnsi) == wanted) return candidate;
    }
    return hostName;
}

bool IsWithin(const path& inner, const path& outer)
{
    auto o = outer.begin();
    auto i = inner.begin();
    for (; o != outer.end(); ++o, ++i) {
        if (o->empty() && std::next(o) == outer.end()) break;  // trailing separator
        if (i == inner.end() || *i != *o) return false;
    }
    return true;
}

// Parses a Windows path into its drive letter and normalised components.
bool Normalise(const std::string& windowsPath, char& drive, std::vector<std::string>& components, DWORD& error)
{
    MachineState& state = State();
    std::string text = windowsPath;
    if (text.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    if (text.size() >= 2 && (text[0] == '\\' || text[0] == '/') && (text[1] == '\\' || text[1] == '/')) {
        error = ERROR_BAD_NETPATH;  // no network on this workstation
        return false;
    }
    std::string rest;
    bool absolute = false;
    if (text.size() >= 2 && IsAsciiLetter(text[0]) && text[1] == ':') {
        drive = UpperAscii(text[0]);
        rest = text.substr(2);
        absolute = !rest.empty() && (rest[0] == '\\' || rest[0] == '/');
    } else {
        drive = state.currentDirectory.empty() ? 'C' : UpperAscii(state.currentDirectory[0]);
        rest = text;
        if (!rest.empty() && (rest[0] == '\\' || rest[0] == '/')) absolute = true;
    }
    components.clear();
    if (!absolute && !state.currentDirectory.empty() && UpperAscii(state.currentDirectory[0]) == drive) {
        for (std::string& part : SplitComponents(std::string_view(state.currentDirectory).substr(2)))
            if (!part.empty()) components.push_back(part);
    }
    for (std::string part : SplitComponents(rest)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!components.empty()) components.pop_back();  // ".." at the root stays at the root
            continue;
        }
        // Windows drops trailing dots and spaces of a name.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part.empty()) continue;
        if (HasForbiddenCharacter(part) || IsReservedDeviceName(part)) {
            error = ERROR_INVALID_NAME;
            return false;
        }
        if (part.size() > kMaxComponent) {
            error = ERROR_FILENAME_EXCED_RANGE;
            return false;
        }
        components.push_back(part);
    }
    std::size_t length = 3;  // "C:\"
    for (const std::string& part : components) length += part.size() + 1;
    if (length >= kMaxPath) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    return true;
}

std::string JoinWindows(char drive, const std::vector<std::string>& components)
{
    std::string result{drive, ':', '\\'};
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i) result += '\\';
        result += components[i];
    }
    return result;
}

bool ParseUnsigned(const std::string& text, unsigned& value)
{
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseBool(const std::string& text, bool& value)
{
    if (EqualsNoCase(text, "1") || EqualsNoCase(text, "yes") || EqualsNoCase(text, "true")) {
        value = true;
        return true;
    }
    if (EqualsNoCase(text, "0") || EqualsNoCase(text, "no") || EqualsNoCase(text, "false")) {
        value = false;
        return true;
    }
    return false;
}

bool CodePageUsable(unsigned codePage)
{
    std::string out;
    return orv::text::ConvertCodePage("A", codePage, 65001, out);
}

// A directory path of the machine: drive letter, colon, backslash, then names.
bool ValidWindowsDirectory(const std::string& text)
{
    return text.size() >= 3 && IsAsciiLetter(text[0]) && text[1] == ':' && text[2] == '\\' &&
           text.find('/') == std::string::npos;
}

bool WriteFileAtomically(const path& file, const std::string& content, std::string& error)
{
    path temp = file.parent_path() / ("." + file.filename().string() + ".new");
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    for (std::size_t done = 0; ok && done < content.size();) {
        ssize_t written = ::write(fd, content.data() + done, content.size() - done);
        if (written < 0 && errno == EINTR) continue;
        ok = written > 0;
        if (ok) done += static_cast<std::size_t>(written);
    }
    ok = ok && ::fsync(fd) == 0;
    if (fd >= 0) ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) {
        error = "cannot write \"" + file.string() + "\": " + std::strerror(errno);
        ::unlink(temp.c_str());
    }
    return ok;
}

std::string DefaultSystemDirectory(const std::string& windowsDirectory)
{
    return windowsDirectory + (windowsDirectory.back() == '\\' ? "" : "\\") + "system32";
}

bool LoadFacts(const path& directory, MachineFacts& facts, std::map<char, DriveInfo>& drives, std::string& error)
{
    path iniPath = directory / "machine.ini";
    orv::profile::Document ini;
    if (!orv::profile::Load(iniPath, ini, error)) return false;
    std::string where = iniPath.string() + ": ";
    auto bad = [&](const std::string& section, const std::string& key, const std::string& value,
                   const std::string& why) {
        error = where + "[" + section + "] " + key + "=" + value + ": " + why;
        return false;
    };
    facts = MachineFacts{};
    facts.windowsDirectory = "C:\\WINNT";
    for (const auto& [key, value] : ini.Entries(kFactsSection)) {
        if (EqualsNoCase(key, "WindowsDirectory")) {
            if (!ValidWindowsDirectory(value)) return bad(kFactsSection, key, value, "not a directory such as C:\\WINNT");
            facts.windowsDirectory = value;
        } else if (EqualsNoCase(key, "SystemDirectory")) {
            if (!ValidWindowsDirectory(value))
                return bad(kFactsSection, key, value, "not a directory such as C:\\WINNT\\system32");
            facts.systemDirectory = value;
        } else if (EqualsNoCase(key, "AnsiCodePage") || EqualsNoCase(key, "OemCodePage")) {
            unsigned codePage = 0;
            if (!ParseUnsigned(value, codePage) || !CodePageUsable(codePage))
                return bad(kFactsSection, key, value, "not a code page this host can convert");
            (EqualsNoCase(key, "AnsiCodePage") ? facts.ansiCodePage : facts.oemCodePage) = codePage;
        } else if (EqualsNoCase(key, "Version")) {
            std::size_t dot = value.find('.');
            if (dot == std::string::npos || !ParseUnsigned(value.substr(0, dot), facts.versionMajor) ||
                !ParseUnsigned(value.substr(dot + 1), facts.versionMinor) || facts.versionMajor > 255 ||
                facts.versionMinor > 255)
                return bad(kFactsSection, key, value, "not a version such as 4.0");
        } else if (EqualsNoCase(key, "Build")) {
            if (!ParseUnsigned(value, facts.buildNumber) || facts.buildNumber > 0x7FFF)
                return bad(kFactsSection, key, value, "not a build number from 0 to 32767");
        } else if (EqualsNoCase(key, "ScreenWidth") || EqualsNoCase(key, "ScreenHeight")) {
            unsigned pixels = 0;
            if (!ParseUnsigned(value, pixels) || pixels == 0 || pixels > 65535)
                return bad(kFactsSection, key, value, "not a number of pixels");
            (EqualsNoCase(key, "ScreenWidth") ? facts.screenWidth : facts.screenHeight) = static_cast<int>(pixels);
        } else if (EqualsNoCase(key, "Processor")) {
            facts.processor = value;
        } else if (EqualsNoCase(key, "MathChip") || EqualsNoCase(key, "Mouse") ||
                   EqualsNoCase(key, "MonochromeDisplay")) {
            bool flag = false;
            if (!ParseBool(value, flag)) return bad(kFactsSection, key, value, "not 1 or 0");
            (EqualsNoCase(key, "MathChip") ? facts.mathChip
                                           : EqualsNoCase(key, "Mouse") ? facts.mouse : facts.monochromeDisplay) = flag;
        } else if (EqualsNoCase(key, "WithheldFunctions")) {
            std::string name;
            for (char c : value + ",") {
                if (c == ',' || c == ' ') {
                    if (!name.empty()) facts.withheldFunctions.push_back(name);
                    name.clear();
                } else {
                    name += c;
                }
            }
        } else {
            return bad(kFactsSection, key, value, "unknown key");
        }
    }
    if (facts.systemDirectory.empty()) facts.systemDirectory = DefaultSystemDirectory(facts.windowsDirectory);
    facts.environment = ini.Entries(kEnvironmentSection);

    drives.clear();
    for (const auto& [key, value] : ini.Entries(kDrivesSection)) {
        if (key.size() != 1 || !IsAsciiLetter(key[0])) return bad(kDrivesSection, key, value, "not a drive letter");
        DriveInfo drive;
        drive.letter = UpperAscii(key[0]);
        std::string folder = value;
        for (;;) {
            std::size_t comma = folder.rfind(',');
            if (comma == std::string::npos) break;
            std::string flag = folder.substr(comma + 1);
            if (EqualsNoCase(flag, "readonly"))
                drive.readOnly = true;
            else if (EqualsNoCase(flag, "removable"))
                drive.removable = true;
            else if (EqualsNoCase(flag, "remote"))
                drive.remote = true;
            else
                break;
            folder.erase(comma);
        }
        if (folder.empty()) return bad(kDrivesSection, key, value, "no host folder");
        path hostDir = path(folder).is_absolute() ? path(folder) : directory / folder;
        std::error_code ec;
        if (!std::filesystem::is_directory(hostDir, ec))
            return bad(kDrivesSection, key, value, "the host folder \"" + hostDir.string() + "\" does not exist");
        drive.hostDir = std::filesystem::canonical(hostDir, ec);
        if (ec) return bad(kDrivesSection, key, value, ec.message());
        drives[drive.letter] = drive;
    }
    if (!drives.count('C')) {
        path hostDir = directory / "drives" / "C";
        std::error_code ec;
        if (!std::filesystem::is_directory(hostDir, ec)) {
            error = where + "drive C: has no folder (expected \"" + hostDir.string() + "\")";
            return false;
        }
        drives['C'] = DriveInfo{'C', std::filesystem::canonical(hostDir, ec)};
    }
    for (const std::string* dir : {&facts.windowsDirectory, &facts.systemDirectory}) {
        if (!drives.count(UpperAscii((*dir)[0]))) {
            error = where + "the directory " + *dir + " is on a drive the machine does not have";
            return false;
        }
    }
    return true;
}

std::string MachineIniText(const MachineOptions& options, const std::string& windowsDirectory,
                           const std::string& systemDirectory)
{
    std::string ini;
    ini += "; The facts of this emulated Windows NT workstation. See docs/machine.md.\r\n";
    ini += "[Machine]\r\n";
    ini += "WindowsDirectory=" + windowsDirectory + "\r\n";
    ini += "SystemDirectory=" + systemDirectory + "\r\n";
    ini += "AnsiCodePage=" + std::to_string(options.ansiCodePage ? options.ansiCodePage : 1252) + "\r\n";
    ini += "OemCodePage=" + std::to_string(options.oemCodePage ? options.oemCodePage : 437) + "\r\n";
    ini += "Version=4.0\r\nBuild=1381\r\nScreenWidth=1024\r\nScreenHeight=768\r\n";
    ini += "Processor=PENTIUM\r\nMathChip=1\r\nMouse=1\r\nMonochromeDisplay=0\r\nWithheldFunctions=\r\n";
    ini += "\r\n[Drives]\r\nC=drives/C\r\n";
    ini += "\r\n[Environment]\r\n";
    ini += "PATH=" + systemDirectory + ";" + windowsDirectory + "\r\n";
    ini += "SystemRoot=" + windowsDirectory + "\r\n";
    ini += "windir=" + windowsDirectory + "\r\n";
    ini += "TEMP=C:\\TEMP\r\n";
    return ini;
}

}  // namespace

std::vector<std::string> DefaultPorts()
{
    return {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"};
}

path DefaultMachineDirectory()
{
    if (const char* machine = std::getenv("ORVALEN_MACHINE"); machine && *machine) return path(machine);
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) return path(data) / "orvalen" / "machine";
    const char* home = std::getenv("HOME");
    return path(home && *home ? home : ".") / ".local" / "share" / "orvalen" / "machine";
}

bool CreateMachine(const path& dir, const MachineOptions& options, std::string& error)
{
    try {
        std::error_code ec;
        if (std::filesystem::exists(dir / "machine.ini", ec)) {
            error = "\"" + dir.string() + "\" already holds a machine (machine.ini exists)";
            return false;
        }
        std::string windowsDirectory = options.windowsDirectory.empty() ? "C:\\WINNT" : options.windowsDirectory;
        while (windowsDirectory.size() > 3 && windowsDirectory.back() == '\\') windowsDirectory.pop_back();
        std::string systemDirectory =
            options.systemDirectory.empty() ? DefaultSystemDirectory(windowsDirectory) : options.systemDirectory;
        while (systemDirectory.size() > 3 && systemDirectory.back() == '\\') systemDirectory.pop_back();
        for (const std::string* dirText : {&windowsDirectory, &systemDirectory}) {
            if (!ValidWindowsDirectory(*dirText) || UpperAscii((*dirText)[0]) != 'C') {
                error = "the directory \"" + *dirText + "\" is not a directory of drive C: such as C:\\WINNT";
                return false;
            }
        }
        for (unsigned codePage : {options.ansiCodePage, options.oemCodePage}) {
            if (codePage && !CodePageUsable(codePage)) {
                error = "the code page " + std::to_string(codePage) + " is not one this host can convert";
                return false;
            }
        }
        std::vector<std::string> ports = options.ports.empty() ? DefaultPorts() : options.ports;
        for (const std::string& port : ports) {
            if (port.empty() || port.find_first_of(",\\") != std::string::npos) {
                error = "the port name \"" + port + "\" is not valid";
                return false;
            }
        }

        std::filesystem::create_directories(dir / "drives" / "C", ec);
        if (ec) {
            error = "cannot create \"" + (dir / "drives" / "C").string() + "\": " + ec.message();
            return false;
        }
        path db = dir / "machine.db";
        for (const char* suffix : {"", "-wal", "-shm"}) std::filesystem::remove(db.string() + suffix, ec);
        if (!store::Initialise(db, ports, error)) return false;

        // The folders of a new workstation are made through the same path mapping the
        // programs use, so their host names follow the Windows names given.
        MachineState saved = State();
        unsigned savedAnsi = orv::text::AnsiCodePage();
        unsigned savedOem = orv::text::OemCodePage();
        orv::text::SetCodePages(options.ansiCodePage ? options.ansiCodePage : 1252,
                                options.oemCodePage ? options.oemCodePage : 437);
        MachineState& state = State();
        state = MachineState{};
        state.drives['C'] = DriveInfo{'C', std::filesystem::canonical(dir / "drives" / "C")};
        std::vector<std::string> folders = {windowsDirectory,
                                            systemDirectory,
                                            windowsDirectory + "\\inf",
                                            systemDirectory + "\\spool\\printers",
                                            windowsDirectory + "\\spool",
                                            "C:\\TEMP"};
        bool ok = true;
        for (const std::string& folder : folders) {
            std::vector<std::string> components;
            char drive = 'C';
            DWORD code = 0;
            path host = state.drives['C'].hostDir;
            if (!Normalise(folder, drive, components, code)) {
                error = "the directory \"" + folder + "\" is not a valid Windows path";
                ok = false;
                break;
            }
            for (const std::string& component : components) {
                std::string hostName;
                if (!AnsiToHost(component, hostName)) {
                    error = "the directory \"" + folder + "\" has a name outside the code page";
                    ok = false;
                    break;
                }
                host /= MatchEntry(host, component, hostName);
            }
            if (!ok) break;
            std::filesystem::create_directories(host, ec);
            if (ec) {
                error = "cannot create \"" + host.string() + "\": " + ec.message();
                ok = false;
                break;
            }
            if (folder == windowsDirectory && !WriteFileAtomically(host / "WIN.INI", "", error)) {
                ok = false;
                break;
            }
        }
        state = saved;
        orv::text::SetCodePages(savedAnsi, savedOem);
        if (!ok) return false;
        // machine.ini comes last: a machine whose creation was cut short has none and
        // is not taken for a machine.
        return WriteFileAtomically(dir / "machine.ini", MachineIniText(options, windowsDirectory, systemDirectory),
                                   error);
    } catch (const std::exception& e) {
        error = "cannot create a machine in \"" + dir.string() + "\": " + e.what();
        return false;
    }
}

bool OpenMachine(const path& dir, bool createIfMissing, std::string& error)
{
    try {
        CloseMachine();
        std::error_code ec;
        if (!std::filesystem::exists(dir / "machine.ini", ec)) {
            if (!createIfMissing) {
                error = "\"" + dir.string() + "\" is not a machine (no machine.ini); make one with orvalen-machine init";
                return false;
            }
            if (!CreateMachine(dir, MachineOptions{}, error)) return false;
        }
        path directory = std::filesystem::canonical(dir, ec);
        if (ec) {
            error = "cannot open the machine \"" + dir.string() + "\": " + ec.message();
            return false;
        }
        MachineFacts facts;
        std::map<char, DriveInfo> drives;
        if (!LoadFacts(directory, facts, drives, error)) return false;
        if (!store::Open(directory / "machine.db", error)) return false;
        MachineState& state = State();
        state.open = true;
        state.directory = directory;
        state.facts = facts;
        state.drives = drives;
        state.currentDirectory = "C:\\";
        orv::text::SetCodePages(facts.ansiCodePage, facts.oemCodePage);
        return true;
    } catch (const std::exception& e) {
        error = "cannot open the machine \"" + dir.string() + "\": " + e.what();
        return false;
    }
}

void CloseMachine()
{
    store::Close();
    registry::ResetHandles();
    spooler::ResetHandles();
    State() = MachineState{};
}

void AbandonMachineAfterFork()
{
    store::Abandon();
    registry::ResetHandles();
    spooler::ResetHandles();
    State() = MachineState{};
}

bool EnsureMachineOpen()
{
    if (State().open) return true;
    static bool reported = false;
    std::string error;
    if (OpenMachine(DefaultMachineDirectory(), true, error)) return true;
    if (!reported) std::fprintf(stderr, "orvalen: %s\n", error.c_str());
    reported = true;
    return false;
}

bool MachineIsOpen() { return State().open; }
path MachineDirectory() { return State().directory; }
path MachineIniPath() { return State().directory / "machine.ini"; }
path MachineDatabasePath() { return State().directory / "machine.db"; }
const MachineFacts& Facts() { return State().facts; }

bool MapDrive(char letter, const path& hostDir, bool readOnly, std::string& error)
{
    if (!IsAsciiLetter(letter)) {
        error = std::string("\"") + letter + "\" is not a drive letter";
        return false;
    }
    std::error_code ec;
    path canonical = std::filesystem::canonical(hostDir, ec);
    if (ec || !std::filesystem::is_directory(canonical, ec)) {
        error = "cannot map drive " + std::string(1, UpperAscii(letter)) + ": to \"" + hostDir.string() +
                "\": not a folder";
        return false;
    }
    DriveInfo drive;
    drive.letter = UpperAscii(letter);
    drive.hostDir = canonical;
    drive.readOnly = readOnly;
    drive.removable = drive.letter == 'A' || drive.letter == 'B';
    drive.mappedInProcess = true;
    State().drives[drive.letter] = drive;
    return true;
}

std::optional<DriveInfo> Drive(char letter)
{
    auto found = State().drives.find(UpperAscii(letter));
    if (found == State().drives.end()) return std::nullopt;
    return found->second;
}

std::vector<DriveInfo> Drives()
{
    std::vector<DriveInfo> drives;
    for (const auto& [letter, drive] : State().drives) drives.push_back(drive);
    return drives;
}

bool DriveSpace(char letter, std::int64_t& totalBytes, std::int64_t& freeBytes)
{
    auto drive = Drive(letter);
    struct statvfs info {};
    if (!drive || ::statvfs(drive->hostDir.c_str(), &info) != 0) return false;
    totalBytes = static_cast<std::int64_t>(info.f_blocks) * static_cast<std::int64_t>(info.f_frsize);
    freeBytes = static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
    return true;
}

bool ResolvePath(const std::string& windowsPath, path& hostPath, DWORD& error, bool* readOnly)
{
    try {
        char drive = 'C';
        std::vector<std::string> components;
        if (!Normalise(windowsPath, drive, components, error)) return false;
        auto info = Drive(drive);
        if (!info) {
            error = ERROR_PATH_NOT_FOUND;
            return false;
        }
        path host = info->hostDir;
        for (const std::string& component : components) {
            std::string hostName;
            if (!AnsiToHost(component, hostName)) {
                error = ERROR_INVALID_NAME;
                return false;
            }
            host /= MatchEntry(host, component, hostName);
        }
        // A host link must not lead out of the drive's folder.
        std::error_code ec;
        path real = std::filesystem::weakly_canonical(host, ec);
        if (ec || !IsWithin(real, info->hostDir)) {
            error = ERROR_ACCESS_DENIED;
            return false;
        }
        hostPath = host;
        if (readOnly) *readOnly = info->readOnly;
        error = ERROR_SUCCESS;
        return true;
    } catch (const std::exception&) {
        error = ERROR_INVALID_NAME;
        return false;
    }
}

std::string FullWindowsPath(const std::string& windowsPath)
{
    char drive = 'C';
    std::vector<std::string> components;
    DWORD error = 0;
    if (!Normalise(windowsPath, drive, components, error)) return {};
    return JoinWindows(drive, components);
}

std::string WindowsPathOf(const path& hostPath)
{
    std::error_code ec;
    path real = std::filesystem::weakly_canonical(hostPath, ec);
    if (ec) return {};
    for (const auto& [letter, drive] : State().drives) {
        if (!IsWithin(real, drive.hostDir)) continue;
        std::vector<std::string> components;
        path relative = real.lexically_relative(drive.hostDir);
        for (const path& part : relative) {
            std::string name = part.string();
            if (name.empty() || name == ".") continue;
            std::string ansi;
            if (!HostToAnsi(name, ansi)) return {};
            components.push_back(ansi);
        }
        return JoinWindows(letter, components);
    }
    return {};
}

bool SetCurrentDirectoryWin(const std::string& windowsPath, DWORD& error)
{
    path host;
    if (!ResolvePath(windowsPath, host, error)) return false;
    std::error_code ec;
    if (!std::filesystem::is_directory(host, ec)) {
        error = std::filesystem::is_directory(host.parent_path(), ec) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        return false;
    }
    State().currentDirectory = FullWindowsPath(windowsPath);
    error = ERROR_SUCCESS;
    return true;
}

std::string CurrentDirectoryWin() { return State().currentDirectory; }
std::string WindowsDirectory() { return State().facts.windowsDirectory; }
std::string SystemDirectory() { return State().facts.systemDirectory; }

std::optional<std::string> EnvironmentVariable(const std::string& name)
{
    for (const auto& [key, value] : State().facts.environment)
        if (EqualsNoCase(key, name)) return value;
    return std::nullopt;
}

}  // namespace orv::host
