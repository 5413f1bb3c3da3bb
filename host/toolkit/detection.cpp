// Detection calls: drives, ports, environment, files and their dates and versions,
// and the machine's facts (processor, math chip, mouse, display).
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sys/stat.h>

#include "host/toolkit/symbols.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "host/workstation/machine.h"
#include "platform/spooler.h"
#include "platform/toolkit.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace fs = std::filesystem;
using namespace orv::toolkit;

namespace {

// How far into a file CbGetVersionOfFile looks for its "VERSION=" line.
constexpr std::size_t kVersionWindow = 4096;
constexpr int kTreeSearchLimit = 100000;
constexpr std::size_t kConfigSysLimit = 1 << 20;

std::optional<orv::host::DriveInfo> DriveNumber(int drive) {
    if (drive < 1 || drive > 26) return std::nullopt;
    return orv::host::Drive(static_cast<char>('A' + drive - 1));
}

bool ValidText(LPCSTR text) { return text != nullptr && text[0] != '\0'; }

template <typename Predicate>
BOOL DriveList(const char *call, LPCSTR symbol, Predicate keep) {
    if (!ValidText(symbol)) {
        SetLastToolkitError(std::string(call) + ": no list symbol given");
        return FALSE;
    }
    if (!orv::host::MachineIsOpen()) {
        SetLastToolkitError(std::string(call) + ": no workstation is open");
        return FALSE;
    }
    try {
        std::vector<std::string> letters;
        for (const auto &drive : orv::host::Drives()) {
            if (keep(drive)) letters.emplace_back(1, drive.letter);
        }
        Symbols().SetList(symbol, std::move(letters));
        return TRUE;
    } catch (...) {
        SetLastToolkitError(std::string(call) + ": out of memory");
        return FALSE;
    }
}

// The machine's ports whose names are the prefix and a digit ("LPT1:" gives "LPT1"),
// as the spooler lists them.
BOOL PortList(const char *call, LPCSTR symbol, const char *prefix) {
    if (!ValidText(symbol)) {
        SetLastToolkitError(std::string(call) + ": no list symbol given");
        return FALSE;
    }
    try {
        DWORD needed = 0;
        DWORD count = 0;
        if (!EnumPortsA(nullptr, 1, nullptr, 0, &needed, &count) && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            SetLastToolkitError(std::string(call) + ": the spooler cannot list the ports: " + Win32ErrorText(GetLastError()));
            return FALSE;
        }
        std::vector<BYTE> buffer(needed > 0 ? needed : 1);
        std::vector<std::string> ports;
        if (needed > 0 && !EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &count)) {
            SetLastToolkitError(std::string(call) + ": the spooler cannot list the ports: " + Win32ErrorText(GetLastError()));
            return FALSE;
        }
        if (needed > 0) {
            auto *records = reinterpret_cast<PORT_INFO_1 *>(buffer.data());
            for (DWORD i = 0; i < count; ++i) {
                std::string name = records[i].pName != nullptr ? records[i].pName : "";
                if (name.size() > 3 && EqualNoCase(std::string_view(name).substr(0, 3), prefix) &&
                    std::isdigit(static_cast<unsigned char>(name[3]))) {
                    if (name.back() == ':') name.pop_back();
                    ports.push_back(name);
                }
            }
        }
        Symbols().SetList(symbol, std::move(ports));
        return TRUE;
    } catch (...) {
        SetLastToolkitError(std::string(call) + ": out of memory");
        return FALSE;
    }
}

bool ResolveFile(LPCSTR path, fs::path &host) {
    std::string error;
    std::error_code ec;
    return ValidText(path) && ResolveWindowsPath(path, host, error) && fs::is_regular_file(host, ec);
}

}  // namespace

BOOL FIsValidDrive(int drive) { return DriveNumber(drive) ? TRUE : FALSE; }

BOOL FIsLocalHardDrive(int drive) {
    auto info = DriveNumber(drive);
    return info && !info->removable && !info->remote ? TRUE : FALSE;
}

BOOL FIsRemoveDrive(int drive) {
    auto info = DriveNumber(drive);
    return info && info->removable ? TRUE : FALSE;
}

BOOL FIsRemoteDrive(int drive) {
    auto info = DriveNumber(drive);
    return info && info->remote ? TRUE : FALSE;
}

LONGLONG LcbTotalDrive(int drive) {
    std::int64_t total = 0;
    std::int64_t free = 0;
    if (drive < 1 || drive > 26 || !orv::host::DriveSpace(static_cast<char>('A' + drive - 1), total, free)) return 0;
    return total;
}

LONGLONG LcbFreeDrive(int drive) {
    std::int64_t total = 0;
    std::int64_t free = 0;
    if (drive < 1 || drive > 26 || !orv::host::DriveSpace(static_cast<char>('A' + drive - 1), total, free)) return 0;
    return free;
}

BOOL FGetValidDrivesList(LPCSTR symbol) {
    return DriveList("FGetValidDrivesList", symbol, [](const orv::host::DriveInfo &) { return true; });
}

BOOL FGetLocalHardDrivesList(LPCSTR symbol) {
    return DriveList("FGetLocalHardDrivesList", symbol, [](const orv::host::DriveInfo &drive) { return !drive.removable && !drive.remote; });
}

BOOL FGetRemovableDrivesList(LPCSTR symbol) {
    return DriveList("FGetRemovableDrivesList", symbol, [](const orv::host::DriveInfo &drive) { return drive.removable; });
}

BOOL FGetNetworkDrivesList(LPCSTR symbol) {
    return DriveList("FGetNetworkDrivesList", symbol, [](const orv::host::DriveInfo &drive) { return drive.remote; });
}

BOOL FGetParallelPortsList(LPCSTR symbol) { return PortList("FGetParallelPortsList", symbol, "LPT"); }

BOOL FGetSerialPortsList(LPCSTR symbol) { return PortList("FGetSerialPortsList", symbol, "COM"); }

LONG CbGetEnvVariableValue(LPCSTR name, LPSTR buffer, LONG size) {
    if (!ValidText(name)) return 0;
    try {
        auto value = orv::host::EnvironmentVariable(name);
        if (!value) {
            if (buffer != nullptr && size > 0) buffer[0] = '\0';
            return 0;
        }
        return CopyOut(*value, buffer, size);
    } catch (...) {
        return 0;
    }
}

LONG CbGetDateOfFile(LPCSTR path, LPSTR buffer, LONG size) {
    try {
        fs::path host;
        if (!ResolveFile(path, host)) return 0;
        struct stat info {};
        if (::stat(host.c_str(), &info) != 0) return 0;
        std::tm local {};
        ::localtime_r(&info.st_mtime, &local);
        char text[96];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d-%02d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
        return CopyOut(text, buffer, size);
    } catch (...) {
        return 0;
    }
}

// A file's version is the value of a "VERSION=" line in its first 4 KB: the driver
// files of a setup disk carry one, as their INF line's field 19 names it.
LONG CbGetVersionOfFile(LPCSTR path, LPSTR buffer, LONG size) {
    try {
        fs::path host;
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        if (!ResolveFile(path, host)) return 0;
        std::ifstream stream(host, std::ios::binary);
        std::string head(kVersionWindow, '\0');
        stream.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(stream.gcount()));
        std::size_t start = 0;
        while (start < head.size()) {
            std::size_t end = head.find('\n', start);
            std::string line = head.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? head.size() : end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.size() > 8 && EqualNoCase(std::string_view(line).substr(0, 8), "VERSION=")) {
                return CopyOut(line.substr(8), buffer, size);
            }
        }
        return 0;
    } catch (...) {
        return 0;
    }
}

LONG CbFindTargetOnEnvVar(LPCSTR name, LPCSTR variable, LPSTR buffer, LONG size) {
    if (!ValidText(name) || !ValidText(variable)) return 0;
    try {
        std::string list = orv::host::EnvironmentVariable(variable).value_or("");
        std::size_t start = 0;
        while (start < list.size()) {
            std::size_t end = list.find(';', start);
            std::string entry = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? list.size() : end + 1;
            if (entry.empty()) continue;
            std::string candidate = JoinWindowsPath(entry, name);
            fs::path host;
            if (ResolveFile(candidate.c_str(), host)) return CopyOut(orv::host::FullWindowsPath(candidate), buffer, size);
        }
        if (buffer != nullptr && size > 0) buffer[0] = '\0';
        return 0;
    } catch (...) {
        return 0;
    }
}

LONG CbFindFileInTree(LPCSTR name, LPCSTR root, LPSTR buffer, LONG size) {
    if (!ValidText(name) || !ValidText(root)) return 0;
    try {
        fs::path host;
        std::string error;
        std::error_code ec;
        if (!ResolveWindowsPath(root, host, error) || !fs::is_directory(host, ec)) return 0;
        int visited = 0;
        for (fs::recursive_directory_iterator it(host, fs::directory_options::skip_permission_denied, ec), end;
             !ec && it != end && visited < kTreeSearchLimit; it.increment(ec), ++visited) {
            if (!it->is_regular_file(ec) || !EqualNoCase(it->path().filename().string(), name)) continue;
            std::string found = orv::host::WindowsPathOf(it->path());
            if (!found.empty()) return CopyOut(found, buffer, size);
        }
        return 0;
    } catch (...) {
        return 0;
    }
}

LONG LGetVersionNthField(LPCSTR version, int field) {
    if (version == nullptr || field < 1) return 0;
    std::string_view text = version;
    for (int n = 1; n < field; ++n) {
        std::size_t dot = text.find('.');
        if (dot == std::string_view::npos) return 0;
        text.remove_prefix(dot + 1);
    }
    LONG value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        if (value > 214748363) return 0x7FFFFFFF;
        value = value * 10 + (c - '0');
    }
    return value;
}

LONGLONG LcbGetSizeOfFile(LPCSTR path) {
    try {
        fs::path host;
        std::error_code ec;
        if (!ResolveFile(path, host)) return 0;
        auto size = fs::file_size(host, ec);
        return ec ? 0 : static_cast<LONGLONG>(size);
    } catch (...) {
        return 0;
    }
}

namespace {

std::string Lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FileNamePart(std::string_view path) {
    std::size_t cut = path.find_last_of("\\/:");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// The driver file of a "DEVICE=" or "DEVICEHIGH [options]=" line, or empty.
std::string DeviceLineDriver(std::string_view line) {
    line = Trim(line);
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return {};
    std::string_view left = Trim(line.substr(0, equals));
    std::string_view word = left.substr(0, left.find_first_of(" \t/"));
    if (!EqualNoCase(word, "DEVICE") && !EqualNoCase(word, "DEVICEHIGH")) return {};
    std::string_view right = line.substr(equals + 1);
    while (true) {
        right = Trim(right);
        if (right.empty()) return {};
        std::size_t end = right.find_first_of(" \t");
        std::string_view token = right.substr(0, end);
        if (token.front() != '/') return FileNamePart(token);
        if (end == std::string_view::npos) return {};
        right.remove_prefix(end);
    }
}

}  // namespace

// Whether CONFIG.SYS on the boot drive C: loads the driver: a DEVICE= or DEVICEHIGH=
// line whose file name is the driver's, compared without regard to case (a driver
// named without an extension matches any extension). No CONFIG.SYS: no driver.
BOOL FIsDriverInConfig(LPCSTR driver) {
    if (!ValidText(driver)) return FALSE;
    try {
        fs::path host;
        std::string error;
        std::error_code ec;
        if (!ResolveWindowsPath("C:\\CONFIG.SYS", host, error) || !fs::exists(host, ec)) return FALSE;
        std::string text;
        if (!ReadSmallFile(host, kConfigSysLimit, text, error)) {
            SetLastToolkitError("FIsDriverInConfig: C:\\CONFIG.SYS: " + error);
            return FALSE;
        }
        std::string wanted = Lower(FileNamePart(driver));
        bool anyExtension = wanted.find('.') == std::string::npos;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            std::string named = Lower(DeviceLineDriver(std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start)));
            start = end == std::string::npos ? text.size() : end + 1;
            if (named.empty()) continue;
            if (named == wanted || (anyExtension && named.substr(0, named.find('.')) == wanted)) return TRUE;
        }
        return FALSE;
    } catch (...) {
        SetLastToolkitError("FIsDriverInConfig: out of memory");
        return FALSE;
    }
}

BOOL FHas87MathChip() { return orv::host::MachineIsOpen() && orv::host::Facts().mathChip ? TRUE : FALSE; }

BOOL FHasMonochromeDisplay() { return orv::host::MachineIsOpen() && orv::host::Facts().monochromeDisplay ? TRUE : FALSE; }

BOOL FHasMouseInstalled() { return orv::host::MachineIsOpen() && orv::host::Facts().mouse ? TRUE : FALSE; }

BOOL FDoesFileExist(LPCSTR path, int mode) {
    (void)mode;
    try {
        fs::path host;
        return ResolveFile(path, host) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

// The processor named by machine.ini [Machine] Processor=.
BOOL FGetProcessorType(LONG *state, int reserved, LPSTR buffer, LONG size) {
    (void)reserved;
    if (state != nullptr) *state = 0;
    if (!orv::host::MachineIsOpen()) {
        SetLastToolkitError("FGetProcessorType: no workstation is open");
        return FALSE;
    }
    try {
        const std::string &name = orv::host::Facts().processor;
        if (name.empty()) {
            SetLastToolkitError("FGetProcessorType: " + orv::host::MachineIniPath().string() + " names no processor");
            return FALSE;
        }
        LONG length = CopyOut(name, buffer, size);
        if (length >= size) {
            if (buffer != nullptr && size > 0) buffer[0] = '\0';
            SetLastToolkitError("FGetProcessorType: the processor name " + name + " does not fit the caller's buffer of " +
                                std::to_string(size) + " bytes");
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        SetLastToolkitError("FGetProcessorType: out of memory");
        return FALSE;
    }
}
