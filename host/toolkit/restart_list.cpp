// The restart list kept in the machine directory, and the toolkit calls that set its
// folder, ask whether it is empty and carry it out.
#include "host/toolkit/restart_list.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "host/toolkit/copy_engine.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "host/workstation/machine.h"
#include "platform/toolkit.h"

namespace orv::toolkit {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kListLimit = 4 << 20;
constexpr int kCopyNameLimit = 99999;

std::string g_restartDir;

// Holds an exclusive lock on <machine>/restart.lst.lock for one change of the list,
// so that two processes queueing at once lose nothing.
class ListLock {
public:
    ListLock() {
        fs::path file = RestartListPath();
        file += ".lock";
        fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = "cannot lock " + file.string() + ": " + std::strerror(errno);
            return;
        }
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            error_ = "cannot lock " + file.string() + ": " + std::strerror(errno);
            ::close(fd_);
            fd_ = -1;
            return;
        }
    }
    ~ListLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    ListLock(const ListLock &) = delete;
    ListLock &operator=(const ListLock &) = delete;
    bool Held(std::string &error) const {
        if (fd_ >= 0) return true;
        error = error_;
        return false;
    }

private:
    int fd_ = -1;
    std::string error_;
};

bool SaveRestartList(const std::vector<RestartEntry> &entries, std::string &error) {
    std::error_code ec;
    if (entries.empty()) {
        fs::remove(RestartListPath(), ec);
        if (ec) error = "cannot remove " + RestartListPath().string() + ": " + ec.message();
        return !ec;
    }
    std::string text = "; Files replaced or removed at the workstation's next restart.\n";
    for (const auto &entry : entries) {
        if (entry.kind == RestartEntry::Kind::Replace) {
            text += "replace\t" + entry.destination + "\t" + entry.copy + "\n";
        } else {
            text += "remove\t" + entry.destination + "\n";
        }
    }
    return WriteFileAtomically(RestartListPath(), text, error);
}

bool AppendEntry(const RestartEntry &entry, std::string &error) {
    ListLock lock;
    if (!lock.Held(error)) return false;
    std::vector<RestartEntry> entries;
    if (!LoadRestartList(entries, error)) return false;
    entries.push_back(entry);
    return SaveRestartList(entries, error);
}

// A fresh name in the restart folder: RST00001.TMP, RST00002.TMP, ...
bool MakeCopyName(std::string &windowsPath, fs::path &host, std::string &error) {
    std::string folder = RestartDirectory();
    bool readOnly = false;
    fs::path folderHost;
    if (!ResolveWindowsPath(folder, folderHost, error, &readOnly)) {
        error = "the restart folder " + folder + ": " + error;
        return false;
    }
    if (readOnly) {
        error = "the restart folder " + folder + " is on a read-only drive";
        return false;
    }
    std::error_code ec;
    fs::create_directories(folderHost, ec);
    if (ec || !fs::is_directory(folderHost, ec)) {
        error = "the restart folder " + folder + " cannot be created: " + (ec ? ec.message() : "not a folder");
        return false;
    }
    for (int n = 1; n <= kCopyNameLimit; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "RST%05d.TMP", n);
        std::string candidate = JoinWindowsPath(folder, name);
        fs::path candidateHost;
        if (!ResolveWindowsPath(candidate, candidateHost, error)) return false;
        int fd = ::open(candidateHost.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            windowsPath = orv::host::FullWindowsPath(candidate);
            host = candidateHost;
            return true;
        }
        if (errno != EEXIST) {
            error = "cannot write in the restart folder " + folder + ": " + std::strerror(errno);
            return false;
        }
    }
    error = "the restart folder " + folder + " is full";
    return false;
}

bool ApplyEntry(const RestartEntry &entry, std::string &error) {
    fs::path destination;
    bool readOnly = false;
    if (!ResolveWindowsPath(entry.destination, destination, error, &readOnly)) {
        error = entry.destination + ": " + error;
        return false;
    }
    if (readOnly) {
        error = entry.destination + ": the drive is read-only";
        return false;
    }
    std::error_code ec;
    if (entry.kind == RestartEntry::Kind::Remove) {
        if (fs::is_directory(destination, ec)) {
            error = "cannot remove " + entry.destination + ": it is a folder";
            return false;
        }
        fs::remove(destination, ec);
        if (ec) {
            error = "cannot remove " + entry.destination + ": " + ec.message();
            return false;
        }
        LogLine("restart: removed " + entry.destination);
        return true;
    }
    fs::path copy;
    if (!ResolveWindowsPath(entry.copy, copy, error)) {
        error = "the new copy of " + entry.destination + ", " + entry.copy + ": " + error;
        return false;
    }
    if (!fs::is_regular_file(copy, ec)) {
        error = "the new copy of " + entry.destination + ", " + entry.copy + ", is missing";
        return false;
    }
    fs::create_directories(destination.parent_path(), ec);
    if (::rename(copy.c_str(), destination.c_str()) != 0) {
        if (errno != EXDEV) {
            error = "cannot replace " + entry.destination + ": " + std::strerror(errno);
            return false;
        }
        // The restart folder lies on another drive's file system: copy, then drop the copy.
        std::string copyError;
        if (CopyHostFile(copy, destination, false, nullptr, copyError) != FileCopyResult::Copied) {
            error = "cannot replace " + entry.destination + ": " + copyError;
            return false;
        }
        fs::remove(copy, ec);
    }
    LogLine("restart: replaced " + entry.destination + " by " + entry.copy);
    return true;
}

}  // namespace

bool FileInUse(const fs::path &host) {
    struct stat info {};
    if (::lstat(host.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

fs::path RestartListPath() { return orv::host::MachineDirectory() / "restart.lst"; }

std::string RestartDirectory() {
    if (!g_restartDir.empty()) return g_restartDir;
    return JoinWindowsPath(orv::host::WindowsDirectory(), "RESTART");
}

bool SetRestartDirectory(const std::string &windowsPath, std::string &error) {
    std::string full = orv::host::FullWindowsPath(windowsPath);
    fs::path host;
    bool readOnly = false;
    if (full.empty() || !ResolveWindowsPath(full, host, error, &readOnly)) {
        if (error.empty()) error = "not a path";
        error = "the restart folder " + windowsPath + ": " + error;
        return false;
    }
    if (readOnly) {
        error = "the restart folder " + windowsPath + " is on a read-only drive";
        return false;
    }
    std::error_code ec;
    if (fs::exists(host, ec) && !fs::is_directory(host, ec)) {
        error = "the restart folder " + windowsPath + " is a file";
        return false;
    }
    g_restartDir = full;
    return true;
}

void ResetRestartDirectory() { g_restartDir.clear(); }

bool LoadRestartList(std::vector<RestartEntry> &entries, std::string &error) {
    entries.clear();
    fs::path file = RestartListPath();
    std::error_code ec;
    if (!fs::exists(file, ec)) return true;
    std::string text;
    if (!ReadSmallFile(file, kListLimit, text, error)) return false;
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        std::vector<std::string> fields;
        std::size_t from = 0;
        while (true) {
            std::size_t tab = line.find('\t', from);
            fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        RestartEntry entry;
        if (fields.size() == 3 && fields[0] == "replace" && !fields[1].empty() && !fields[2].empty()) {
            entry = RestartEntry{RestartEntry::Kind::Replace, fields[1], fields[2]};
        } else if (fields.size() == 2 && fields[0] == "remove" && !fields[1].empty()) {
            entry = RestartEntry{RestartEntry::Kind::Remove, fields[1], {}};
        } else {
            error = file.string() + ", line " + std::to_string(lineNumber) +
                    ": not \"replace<TAB>file<TAB>copy\" or \"remove<TAB>file\"";
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

bool QueueReplacement(const fs::path &source, bool append, const fs::path &destinationHost,
                      const std::string &destination, std::string &copy, std::string &error) {
    fs::path copyHost;
    if (!MakeCopyName(copy, copyHost, error)) return false;
    auto discard = [&] {
        std::error_code ec;
        fs::remove(copyHost, ec);
        return false;
    };
    std::string copyError;
    if (append && CopyHostFile(destinationHost, copyHost, false, nullptr, copyError) != FileCopyResult::Copied) {
        error = copyError;
        return discard();
    }
    if (CopyHostFile(source, copyHost, append, nullptr, copyError) != FileCopyResult::Copied) {
        error = copyError;
        return discard();
    }
    RestartEntry entry{RestartEntry::Kind::Replace, orv::host::FullWindowsPath(destination), copy};
    if (!AppendEntry(entry, error)) return discard();
    return true;
}

bool QueueRemoval(const std::string &destination, std::string &error) {
    return AppendEntry(RestartEntry{RestartEntry::Kind::Remove, orv::host::FullWindowsPath(destination), {}}, error);
}

bool ApplyRestartList(std::string &error) {
    ListLock lock;
    if (!lock.Held(error)) return false;
    std::vector<RestartEntry> entries;
    if (!LoadRestartList(entries, error)) return false;
    if (entries.empty()) {
        LogLine("restart: nothing to replace");
        return true;
    }
    while (!entries.empty()) {
        if (!ApplyEntry(entries.front(), error)) {
            std::string saveError;
            if (!SaveRestartList(entries, saveError)) error += "; " + saveError;
            return false;
        }
        entries.erase(entries.begin());
        // Written after each entry, so that an interrupted restart does not redo one.
        if (!SaveRestartList(entries, error)) return false;
    }
    return true;
}

}  // namespace orv::toolkit

using namespace orv::toolkit;

BOOL FSetRestartDir(LPCSTR path) {
    try {
        std::string error;
        if (path == nullptr || path[0] == '\0') {
            SetLastToolkitError("FSetRestartDir: no folder given");
            return FALSE;
        }
        if (!SetRestartDirectory(path, error)) {
            SetLastToolkitError(error);
            return FALSE;
        }
        LogLine("restart folder: " + RestartDirectory());
        return TRUE;
    } catch (...) {
        SetLastToolkitError("FSetRestartDir: out of memory");
        return FALSE;
    }
}

BOOL FRestartListEmpty() {
    try {
        if (!orv::host::MachineIsOpen()) return TRUE;  // no machine, no list
        std::vector<RestartEntry> entries;
        std::string error;
        if (!LoadRestartList(entries, error)) {
            // An unreadable list is not known to be empty.
            SetLastToolkitError(error);
            return FALSE;
        }
        return entries.empty() ? TRUE : FALSE;
    } catch (...) {
        SetLastToolkitError("FRestartListEmpty: out of memory");
        return FALSE;
    }
}

BOOL FExitExecRestart() {
    try {
        if (!orv::host::MachineIsOpen()) {
            SetLastToolkitError("the restart cannot run: no workstation is open");
            return FALSE;
        }
        std::string error;
        if (!ApplyRestartList(error)) {
            SetLastToolkitError("the restart stopped: " + error + "; the rest of " + RestartListPath().string() +
                                " stays queued");
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        SetLastToolkitError("the restart stopped: out of memory");
        return FALSE;
    }
}
