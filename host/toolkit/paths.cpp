// Path and directory calls of the toolkit, the file search, file removal and backup,
// the restart list, Program Manager groups, resource stamping and the program's own
// log file.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "host/profile/profile_file.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "host/workstation/machine.h"
#include "platform/toolkit.h"

namespace fs = std::filesystem;
using namespace orv::toolkit;

namespace {

bool ValidText(LPCSTR text) { return text != nullptr && text[0] != '\0'; }

bool HasDrive(std::string_view path) {
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           (path[2] == '\\' || path[2] == '/');
}

bool Resolve(LPCSTR path, fs::path &host, bool *readOnly = nullptr) {
    std::string error;
    return ValidText(path) && ResolveWindowsPath(path, host, error, readOnly);
}

bool Writable(const fs::path &host) { return ::access(host.c_str(), W_OK) == 0; }

}  // namespace

BOOL FValidPath(LPCSTR path) {
    try {
        fs::path host;
        return Resolve(path, host) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FValidDir(LPCSTR path) {
    // A directory the setup can use: a full path whose names Windows accepts, on a
    // drive the workstation has. It need not exist yet; the copy creates it.
    try {
        fs::path host;
        return ValidText(path) && HasDrive(path) && Resolve(path, host) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FDirExists(LPCSTR path) {
    try {
        fs::path host;
        std::error_code ec;
        return Resolve(path, host) && fs::is_directory(host, ec) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FCreateDir(LPCSTR path, int mode) {
    (void)mode;
    try {
        fs::path host;
        bool readOnly = false;
        if (!Resolve(path, host, &readOnly) || readOnly) return FALSE;
        std::error_code ec;
        fs::create_directories(host, ec);
        if (ec || !fs::is_directory(host, ec)) return FALSE;
        LogLine("directory created: " + std::string(path));
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FRemoveDir(LPCSTR path) {
    try {
        fs::path host;
        bool readOnly = false;
        if (!Resolve(path, host, &readOnly) || readOnly) return FALSE;
        std::error_code ec;
        if (!fs::is_directory(host, ec)) return FALSE;
        return fs::remove(host, ec) && !ec ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FIsDirWritable(LPCSTR path) {
    try {
        fs::path host;
        bool readOnly = false;
        std::error_code ec;
        return Resolve(path, host, &readOnly) && !readOnly && fs::is_directory(host, ec) && Writable(host) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FIsFileWritable(LPCSTR path) {
    try {
        fs::path host;
        bool readOnly = false;
        if (!Resolve(path, host, &readOnly) || readOnly) return FALSE;
        std::error_code ec;
        if (fs::exists(host, ec)) return fs::is_regular_file(host, ec) && Writable(host) ? TRUE : FALSE;
        return fs::is_directory(host.parent_path(), ec) && Writable(host.parent_path()) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FParsePathIntoPieces(LPCSTR path, LPSTR volume, LONG volumeSize, LPSTR directory, LONG directorySize,
                          LPSTR fileName, LONG fileNameSize) {
    if (!ValidText(path)) return FALSE;
    try {
        std::string full = orv::host::FullWindowsPath(path);
        if (full.size() < 2 || full[1] != ':') return FALSE;
        std::string drive = full.substr(0, 2);
        std::string rest = full.substr(2);
        std::size_t slash = rest.find_last_of('\\');
        std::string folder = slash == std::string::npos ? std::string("\\") : rest.substr(0, slash + 1);
        std::string name = slash == std::string::npos ? rest : rest.substr(slash + 1);
        bool fits = CopyOut(drive, volume, volumeSize) < volumeSize && CopyOut(folder, directory, directorySize) < directorySize &&
                    CopyOut(name, fileName, fileNameSize) < fileNameSize;
        return fits ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FPrependToPath(LPCSTR pathList, LPCSTR directory, LPSTR result, LONG size) {
    if (!ValidText(directory) || result == nullptr || size <= 0) return FALSE;
    try {
        std::string joined = directory;
        std::string list = pathList != nullptr ? pathList : "";
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t end = list.find(';', start);
            std::string entry = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? list.size() + 1 : end + 1;
            if (entry.empty() || EqualNoCase(entry, directory)) continue;
            joined += ';' + entry;
        }
        return CopyOut(joined, result, size) < size ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

namespace {
std::string g_restartDir;
}

BOOL FSetRestartDir(LPCSTR path) {
    if (!ValidText(path)) return FALSE;
    g_restartDir = path;
    return TRUE;
}

// Files are replaced by rename while the setup runs, so nothing ever waits for a restart.
BOOL FRestartListEmpty() { return TRUE; }

BOOL FExitExecRestart() { return FALSE; }

int YnrcRemoveFile(LPCSTR path, LPCSTR name) {
    try {
        std::string windowsPath = ValidText(name) ? JoinWindowsPath(path != nullptr ? path : "", name) : std::string(path != nullptr ? path : "");
        fs::path host;
        bool readOnly = false;
        if (!Resolve(windowsPath.c_str(), host, &readOnly) || readOnly) return 0;
        std::error_code ec;
        if (fs::is_directory(host, ec)) return 0;
        fs::remove(host, ec);
        if (ec) return 0;
        LogLine("file removed: " + windowsPath);
        return 1;
    } catch (...) {
        return 0;
    }
}

int YnrcBackupFile(LPCSTR path, LPCSTR backup, int mode) {
    (void)mode;
    if (!ValidText(path) || !ValidText(backup)) return 0;
    try {
        fs::path host;
        bool readOnly = false;
        if (!Resolve(path, host, &readOnly) || readOnly) return 0;
        std::error_code ec;
        if (!fs::exists(host, ec)) return 1;  // nothing to keep
        std::string backupPath = std::string(backup).find('\\') == std::string::npos
                                     ? orv::host::FullWindowsPath(path).substr(0, orv::host::FullWindowsPath(path).find_last_of('\\') + 1) + backup
                                     : std::string(backup);
        fs::path target;
        if (!Resolve(backupPath.c_str(), target, &readOnly) || readOnly) return 0;
        fs::rename(host, target, ec);
        if (ec) return 0;
        LogLine("file backed up: " + std::string(path) + " -> " + backupPath);
        return 1;
    } catch (...) {
        return 0;
    }
}

BOOL FStampResource(LPCSTR section, LPCSTR key, LPCSTR destination, int resourceType, int resourceId, LPCSTR data,
                    int dataSize) {
    (void)section;
    (void)key;
    (void)destination;
    (void)resourceType;
    (void)resourceId;
    (void)data;
    (void)dataSize;
    SetLastToolkitError("stamping resources is not supported: the workstation's files carry no resources");
    return FALSE;
}

int WFindFileUsingFileOpen(LPCSTR name, LPSTR buffer, int size) {
    if (!ValidText(name) || buffer == nullptr || size <= 0) return 2;
    try {
        std::vector<std::string> candidates;
        std::string text = name;
        if (text.find('\\') != std::string::npos || text.find(':') != std::string::npos) {
            candidates.push_back(text);
        } else {
            candidates.push_back(JoinWindowsPath(orv::host::CurrentDirectoryWin(), text));
            candidates.push_back(JoinWindowsPath(orv::host::WindowsDirectory(), text));
            candidates.push_back(JoinWindowsPath(orv::host::SystemDirectory(), text));
            std::string path = orv::host::EnvironmentVariable("PATH").value_or("");
            std::size_t start = 0;
            while (start <= path.size()) {
                std::size_t end = path.find(';', start);
                std::string entry = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
                start = end == std::string::npos ? path.size() + 1 : end + 1;
                if (!entry.empty()) candidates.push_back(JoinWindowsPath(entry, text));
            }
        }
        for (const auto &candidate : candidates) {
            fs::path host;
            std::error_code ec;
            if (!Resolve(candidate.c_str(), host) || !fs::is_regular_file(host, ec)) continue;
            std::string full = orv::host::FullWindowsPath(candidate);
            if (CopyOut(full, buffer, size) >= size) {
                buffer[0] = '\0';
                SetLastToolkitError("the path " + full + " is too long for the caller");
                return 2;
            }
            return 0;
        }
        buffer[0] = '\0';
        return 1;
    } catch (...) {
        return 2;
    }
}

// Program Manager groups and items are kept in PROGMAN.INI in the Windows directory:
// [Groups] lists the groups, and each group's section "[Group <name>]" its items.
namespace {

bool ProgManWrite(const std::string &section, const std::string &key, const std::string &value) {
    fs::path host;
    std::string file = JoinWindowsPath(orv::host::WindowsDirectory(), "PROGMAN.INI");
    std::string error;
    if (!ResolveWindowsPath(file, host, error)) return false;
    if (!orv::profile::WriteKey(host, section, key, value, error)) {
        SetLastToolkitError(error);
        return false;
    }
    LogLine("profile PROGMAN.INI: [" + section + "] " + key + "=" + value);
    return true;
}

BOOL CreateGroup(LPCSTR group, LPCSTR path, bool common) {
    if (!ValidText(group)) return FALSE;
    try {
        return ProgManWrite("Groups", group, std::string(path != nullptr ? path : "") + (common ? ",common" : "")) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL CreateItem(LPCSTR group, LPCSTR item, LPCSTR command, bool common) {
    if (!ValidText(group) || !ValidText(item)) return FALSE;
    try {
        if (!CreateGroup(group, "", common)) return FALSE;
        return ProgManWrite(std::string("Group ") + group, item, command != nullptr ? command : "") ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL ShowGroup(LPCSTR group) {
    if (!ValidText(group)) return FALSE;
    try {
        fs::path host;
        std::string error;
        if (!ResolveWindowsPath(JoinWindowsPath(orv::host::WindowsDirectory(), "PROGMAN.INI"), host, error)) return FALSE;
        return orv::profile::KeyExists(host, "Groups", group) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

BOOL FCreateProgManGroup(LPCSTR group, LPCSTR path, int mode) {
    (void)mode;
    return CreateGroup(group, path, false);
}

BOOL FCreateProgManGroupEx(LPCSTR group, LPCSTR path, int mode, BOOL common) {
    (void)mode;
    return CreateGroup(group, path, common != FALSE);
}

BOOL FShowProgManGroup(LPCSTR group, LPCSTR command, int mode) {
    (void)command;
    (void)mode;
    return ShowGroup(group);
}

BOOL FShowProgManGroupEx(LPCSTR group, BOOL common, LPCSTR command, int mode) {
    (void)common;
    (void)command;
    (void)mode;
    return ShowGroup(group);
}

BOOL FCreateProgManItem(LPCSTR group, LPCSTR item, LPCSTR command, int mode) {
    (void)mode;
    return CreateItem(group, item, command, false);
}

BOOL FCreateProgManItemEx(LPCSTR group, BOOL common, LPCSTR item, LPCSTR command, int mode) {
    (void)mode;
    return CreateItem(group, item, command, common != FALSE);
}

// The program's own log file, a Windows path on the workstation.
namespace {

struct ProgramLog {
    std::ofstream stream;
    std::string name;
};

ProgramLog &TheProgramLog() {
    static ProgramLog log;
    return log;
}

}  // namespace

BOOL FOpenLogFile(LPCSTR path, BOOL append) {
    if (!ValidText(path)) return FALSE;
    try {
        fs::path host;
        bool readOnly = false;
        if (!Resolve(path, host, &readOnly) || readOnly) return FALSE;
        auto &log = TheProgramLog();
        if (log.stream.is_open()) log.stream.close();
        log.stream.open(host, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
        if (!log.stream) return FALSE;
        log.name = path;
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FWriteToLogFile(LPCSTR text, BOOL request) {
    (void)request;
    auto &log = TheProgramLog();
    if (!log.stream.is_open() || text == nullptr) return FALSE;
    try {
        log.stream << text << "\r\n";
        log.stream.flush();
        LogLine(std::string("program log: ") + text);
        return log.stream ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FCloseLogFile() {
    auto &log = TheProgramLog();
    if (!log.stream.is_open()) return FALSE;
    log.stream.close();
    return TRUE;
}
