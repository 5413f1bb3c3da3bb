// Path and directory calls of the toolkit, the file search, file removal and backup,
// resource stamping and the program's own log file.
#include <cctype>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <unistd.h>

#include "host/toolkit/copy_engine.h"
#include "host/toolkit/restart_list.h"
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

BOOL Refuse(std::string why) {
    SetLastToolkitError(std::move(why));
    return FALSE;
}

int RefuseReply(std::string why) {
    SetLastToolkitError(std::move(why));
    return 0;
}

// A path that the call may change: given, resolvable and on a writable drive.
bool ResolveForChange(const char *call, LPCSTR path, fs::path &host, std::string &why) {
    if (!ValidText(path)) {
        why = std::string(call) + ": no path given";
        return false;
    }
    bool readOnly = false;
    std::string error;
    if (!ResolveWindowsPath(path, host, error, &readOnly)) {
        why = std::string(call) + ": " + path + ": " + error;
        return false;
    }
    if (readOnly) {
        why = std::string(call) + ": " + path + ": the drive is read-only";
        return false;
    }
    return true;
}

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

// The mode of FCreateDir (the toolkit's "create" options) has no effect here: the
// folder is made with its missing parents, and an existing folder is success.
BOOL FCreateDir(LPCSTR path, int mode) {
    (void)mode;
    try {
        fs::path host;
        std::string why;
        if (!ResolveForChange("FCreateDir", path, host, why)) return Refuse(why);
        std::error_code ec;
        if (fs::exists(host, ec) && !fs::is_directory(host, ec)) return Refuse("cannot create the folder " + std::string(path) + ": a file has that name");
        fs::create_directories(host, ec);
        if (ec || !fs::is_directory(host, ec)) {
            return Refuse("cannot create the folder " + std::string(path) + ": " + (ec ? ec.message() : "not a folder"));
        }
        LogLine("directory created: " + std::string(path));
        return TRUE;
    } catch (...) {
        return Refuse("FCreateDir: out of memory");
    }
}

// Removes an empty folder; a folder that is already gone is success.
BOOL FRemoveDir(LPCSTR path) {
    try {
        fs::path host;
        std::string why;
        if (!ResolveForChange("FRemoveDir", path, host, why)) return Refuse(why);
        std::error_code ec;
        if (!fs::exists(host, ec)) {
            LogLine("directory already absent: " + std::string(path));
            return TRUE;
        }
        if (!fs::is_directory(host, ec)) return Refuse("cannot remove the folder " + std::string(path) + ": it is a file");
        if (!fs::remove(host, ec) || ec) {
            return Refuse("cannot remove the folder " + std::string(path) + ": " +
                          (ec ? ec.message() : std::string("it is not empty")));
        }
        LogLine("directory removed: " + std::string(path));
        return TRUE;
    } catch (...) {
        return Refuse("FRemoveDir: out of memory");
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

// A file in use (see restart_list.h) is not writable until the restart.
BOOL FIsFileWritable(LPCSTR path) {
    try {
        fs::path host;
        bool readOnly = false;
        if (!Resolve(path, host, &readOnly) || readOnly) return FALSE;
        std::error_code ec;
        if (fs::exists(host, ec)) return fs::is_regular_file(host, ec) && !FileInUse(host) && Writable(host) ? TRUE : FALSE;
        return fs::is_directory(host.parent_path(), ec) && Writable(host.parent_path()) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}

BOOL FParsePathIntoPieces(LPCSTR path, LPSTR volume, LONG volumeSize, LPSTR directory, LONG directorySize,
                          LPSTR fileName, LONG fileNameSize) {
    if (!ValidText(path)) return Refuse("FParsePathIntoPieces: no path given");
    try {
        std::string full = orv::host::FullWindowsPath(path);
        if (full.size() < 2 || full[1] != ':') return Refuse("FParsePathIntoPieces: " + std::string(path) + " is not a path of this workstation");
        std::string drive = full.substr(0, 2);
        std::string rest = full.substr(2);
        std::size_t slash = rest.find_last_of('\\');
        std::string folder = slash == std::string::npos ? std::string("\\") : rest.substr(0, slash + 1);
        std::string name = slash == std::string::npos ? rest : rest.substr(slash + 1);
        bool fits = CopyOut(drive, volume, volumeSize) < volumeSize && CopyOut(folder, directory, directorySize) < directorySize &&
                    CopyOut(name, fileName, fileNameSize) < fileNameSize;
        return fits ? TRUE : Refuse("FParsePathIntoPieces: a piece of " + full + " does not fit the caller's buffer");
    } catch (...) {
        return Refuse("FParsePathIntoPieces: out of memory");
    }
}

// Puts `directory` first in a ";"-separated list of folders and drops its other
// occurrences (compared without regard to case) and empty entries.
BOOL FPrependToPath(LPCSTR pathList, LPCSTR directory, LPSTR result, LONG size) {
    if (!ValidText(directory)) return Refuse("FPrependToPath: no folder given");
    if (result == nullptr || size <= 0) return Refuse("FPrependToPath: no buffer for the result");
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
        LONG length = CopyOut(joined, result, size);
        if (length >= size) {
            result[0] = '\0';
            return Refuse("FPrependToPath: the list with " + std::string(directory) + " first is " + std::to_string(length) +
                          " characters, more than the buffer of " + std::to_string(size) + " bytes holds");
        }
        return TRUE;
    } catch (...) {
        return Refuse("FPrependToPath: out of memory");
    }
}

// Removes `name` in the folder `path` (or the file `path` when `name` is empty). A
// file that is already gone is success; a file in use is queued for removal at the
// restart.
int YnrcRemoveFile(LPCSTR path, LPCSTR name) {
    try {
        std::string windowsPath = ValidText(name) ? JoinWindowsPath(path != nullptr ? path : "", name) : std::string(path != nullptr ? path : "");
        fs::path host;
        std::string why;
        if (!ResolveForChange("YnrcRemoveFile", windowsPath.c_str(), host, why)) return RefuseReply(why);
        std::error_code ec;
        if (fs::is_directory(host, ec)) return RefuseReply("cannot remove " + windowsPath + ": it is a folder");
        if (!fs::exists(fs::symlink_status(host, ec))) {
            LogLine("file already absent: " + windowsPath);
            return 1;
        }
        if (FileInUse(host)) {
            if (!QueueRemoval(windowsPath, why)) return RefuseReply("cannot queue the removal of " + windowsPath + ": " + why);
            LogLine("file in use, removed at the restart: " + windowsPath);
            return 1;
        }
        fs::remove(host, ec);
        if (ec) return RefuseReply("cannot remove " + windowsPath + ": " + ec.message());
        LogLine("file removed: " + windowsPath);
        return 1;
    } catch (...) {
        return RefuseReply("YnrcRemoveFile: out of memory");
    }
}

// Keeps the file `path` under the name `backup` (a bare name: in the same folder).
// Mode 0 moves the file to its backup name; any other mode copies it, and the file
// stays. A file that does not exist needs no backup: success.
int YnrcBackupFile(LPCSTR path, LPCSTR backup, int mode) {
    if (!ValidText(path)) return RefuseReply("YnrcBackupFile: no file given");
    if (!ValidText(backup)) return RefuseReply("YnrcBackupFile: no backup name given for " + std::string(path));
    try {
        fs::path host;
        std::string why;
        if (!ResolveForChange("YnrcBackupFile", path, host, why)) return RefuseReply(why);
        std::error_code ec;
        if (!fs::exists(host, ec)) {
            LogLine("no backup needed, the file does not exist: " + std::string(path));
            return 1;
        }
        if (!fs::is_regular_file(host, ec)) return RefuseReply("cannot back up " + std::string(path) + ": it is not a file");
        std::string full = orv::host::FullWindowsPath(path);
        std::string backupPath = std::string(backup).find_first_of("\\:") == std::string::npos
                                     ? full.substr(0, full.find_last_of('\\') + 1) + backup
                                     : std::string(backup);
        fs::path target;
        if (!ResolveForChange("YnrcBackupFile", backupPath.c_str(), target, why)) return RefuseReply(why);
        if (fs::is_directory(target, ec)) return RefuseReply("cannot back up " + std::string(path) + " as " + backupPath + ": a folder has that name");
        bool move = mode == 0;
        if (move && FileInUse(host)) {
            return RefuseReply("cannot move " + std::string(path) + " to " + backupPath + ": the file is in use");
        }
        if (move) {
            fs::rename(host, target, ec);
            if (ec) return RefuseReply("cannot move " + std::string(path) + " to " + backupPath + ": " + ec.message());
        } else if (CopyHostFile(host, target, false, nullptr, why) != FileCopyResult::Copied) {
            return RefuseReply("cannot copy " + std::string(path) + " to " + backupPath + ": " + why);
        }
        LogLine(std::string(move ? "file moved to its backup: " : "file copied to its backup: ") + path + " -> " + backupPath);
        return 1;
    } catch (...) {
        return RefuseReply("YnrcBackupFile: out of memory");
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
    try {
        fs::path host;
        std::string why;
        if (!ResolveForChange("FOpenLogFile", path, host, why)) return Refuse(why);
        std::error_code ec;
        if (fs::is_directory(host, ec)) return Refuse("cannot open the log file " + std::string(path) + ": it is a folder");
        if (!fs::is_directory(host.parent_path(), ec)) {
            return Refuse("cannot open the log file " + std::string(path) + ": its folder does not exist");
        }
        auto &log = TheProgramLog();
        if (log.stream.is_open()) log.stream.close();
        log.stream.clear();
        log.stream.open(host, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
        if (!log.stream) return Refuse("cannot open the log file " + std::string(path) + ": " + std::strerror(errno));
        log.name = path;
        LogLine("program log opened: " + log.name);
        return TRUE;
    } catch (...) {
        return Refuse("FOpenLogFile: out of memory");
    }
}

// Writes one line (CR LF) to the program's log file. With `request` non-zero (the
// program passes 1) the line goes into the setup log too; with 0 only into the file.
BOOL FWriteToLogFile(LPCSTR text, BOOL request) {
    auto &log = TheProgramLog();
    if (text == nullptr) return Refuse("FWriteToLogFile: no text given");
    if (!log.stream.is_open()) return Refuse(std::string("cannot write to the program log, no log file is open: ") + text);
    try {
        log.stream << text << "\r\n";
        log.stream.flush();
        if (!log.stream) return Refuse("cannot write to the log file " + log.name);
        if (request != FALSE) LogLine(std::string("program log: ") + text);
        return TRUE;
    } catch (...) {
        return Refuse("cannot write to the log file " + log.name);
    }
}

BOOL FCloseLogFile() {
    auto &log = TheProgramLog();
    if (!log.stream.is_open()) return Refuse("FCloseLogFile: no log file is open");
    log.stream.close();
    if (log.stream.fail()) return Refuse("cannot close the log file " + log.name);
    LogLine("program log closed: " + log.name);
    return TRUE;
}
