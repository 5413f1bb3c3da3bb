// The copy engine, and the copy-list calls of the platform.
#include "host/toolkit/copy_engine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "host/toolkit/frontend.h"
#include "host/toolkit/inf_file.h"
#include "host/toolkit/restart_list.h"
#include "host/toolkit/setup_log.h"
#include "host/toolkit/toolkit_internal.h"
#include "host/toolkit/workstation_access.h"
#include "host/workstation/machine.h"
#include "host/workstation/windows.h"
#include "platform/toolkit.h"
#include "platform/win32.h"

namespace orv::toolkit {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kChunk = 1 << 20;

FreeSpaceProbe &Probe() {
    static FreeSpaceProbe probe;
    return probe;
}

bool StatvfsFree(const fs::path &folder, std::uint64_t &freeBytes) {
    struct statvfs info {};
    if (::statvfs(folder.c_str(), &info) != 0) return false;
    freeBytes = static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    return true;
}

bool FreeSpace(const fs::path &folder, std::uint64_t &freeBytes) {
    if (Probe()) return Probe()(folder, freeBytes);
    return StatvfsFree(folder, freeBytes);
}

// The nearest folder of `path` that exists, where free space can be asked.
fs::path ExistingFolder(fs::path folder) {
    std::error_code ec;
    while (!folder.empty() && !fs::is_directory(folder, ec)) {
        fs::path parent = folder.parent_path();
        if (parent == folder) break;
        folder = parent;
    }
    return folder;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int Get() const { return fd_; }
    int Release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

bool WriteAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Copies the whole of `in` to `out`: the kernel's copy where it can, else read/write.
// Answers 1 done, 0 failed (errno set), -1 quit.
int Pump(int in, int out, std::uint64_t &done, const std::function<bool(std::uint64_t)> &progress) {
    bool kernelCopy = true;
    std::vector<char> buffer;
    while (true) {
        ssize_t moved = -1;
        if (kernelCopy) {
            moved = ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0);
            if (moved < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                kernelCopy = false;
                continue;
            }
            if (moved < 0 && errno == EINTR) continue;
        } else {
            if (buffer.empty()) buffer.resize(kChunk);
            moved = ::read(in, buffer.data(), buffer.size());
            if (moved < 0 && errno == EINTR) continue;
            if (moved > 0 && !WriteAll(out, buffer.data(), static_cast<std::size_t>(moved))) return 0;
        }
        if (moved < 0) return 0;
        if (moved == 0) return 1;
        done += static_cast<std::uint64_t>(moved);
        if (progress && !progress(done)) return -1;
    }
}

}  // namespace

std::vector<CopyEntry> &CopyList() {
    static std::vector<CopyEntry> list;
    return list;
}

void SetFreeSpaceProbe(FreeSpaceProbe probe) { Probe() = std::move(probe); }

FileCopyResult CopyHostFile(const fs::path &source, const fs::path &destination, bool append,
                            const std::function<bool(std::uint64_t)> &progress, std::string &error) {
    FileDescriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0) {
        error = "cannot read " + source.string() + ": " + std::strerror(errno);
        return FileCopyResult::Failed;
    }
    struct stat info {};
    if (::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = "cannot read " + source.string() + ": not a file";
        return FileCopyResult::Failed;
    }
    fs::path folder = destination.parent_path();
    std::string temporary = (folder / ("." + destination.filename().string() + ".copy.XXXXXX")).string();
    FileDescriptor out(::mkstemp(temporary.data()));
    if (out.Get() < 0) {
        error = "cannot write in " + folder.string() + ": " + std::strerror(errno);
        return FileCopyResult::Failed;
    }
    auto discard = [&](const std::string &what, int code) {
        ::unlink(temporary.c_str());
        error = what + (code != 0 ? std::string(": ") + std::strerror(code) : std::string());
        return FileCopyResult::Failed;
    };
    std::uint64_t done = 0;
    if (append) {
        FileDescriptor old(::open(destination.c_str(), O_RDONLY | O_CLOEXEC));
        if (old.Get() >= 0) {
            std::uint64_t kept = 0;
            if (Pump(old.Get(), out.Get(), kept, nullptr) != 1) return discard("cannot write " + destination.string(), errno);
        } else if (errno != ENOENT) {
            return discard("cannot read " + destination.string(), errno);
        }
    }
    int pumped = Pump(in.Get(), out.Get(), done, progress);
    if (pumped == -1) {
        ::unlink(temporary.c_str());
        return FileCopyResult::Quit;
    }
    if (pumped == 0) return discard("cannot write " + destination.string(), errno);
    if (::fchmod(out.Get(), 0644) != 0 || ::fsync(out.Get()) != 0) return discard("cannot write " + destination.string(), errno);
    if (::close(out.Release()) != 0) return discard("cannot write " + destination.string(), errno);
    if (::rename(temporary.c_str(), destination.c_str()) != 0) return discard("cannot replace " + destination.string(), errno);
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());
    return FileCopyResult::Copied;
}

namespace {

struct ResolvedEntry {
    const CopyEntry *entry;
    fs::path source;
    fs::path destination;
    std::uint64_t size;
};

int Fail(int code, const std::string &text) {
    SetLastToolkitError(text);
    ShowMessage(text, "Copy Error", MB_ICONSTOP);
    return code;
}

std::string DriveOf(const std::string &windowsPath) {
    if (windowsPath.size() >= 2 && windowsPath[1] == ':') return windowsPath.substr(0, 2);
    return windowsPath;
}

}  // namespace

int CopyFilesInList(const std::vector<CopyEntry> &entries) {
    std::vector<ResolvedEntry> resolved;
    std::uint64_t total = 0;
    for (const auto &entry : entries) {
        ResolvedEntry item{&entry, {}, {}, 0};
        std::string error;
        if (!ResolveWindowsPath(entry.source, item.source, error)) {
            return Fail(GrcSourceMissing, "The file " + entry.source + " cannot be found on the setup disk: " + error + ".");
        }
        std::error_code ec;
        if (!fs::is_regular_file(item.source, ec)) {
            return Fail(GrcSourceMissing, "The file " + entry.source + " is missing from the setup disk.");
        }
        item.size = fs::file_size(item.source, ec);
        if (ec) return Fail(GrcSourceMissing, "The file " + entry.source + " cannot be read: " + ec.message() + ".");
        bool readOnly = false;
        if (!ResolveWindowsPath(entry.destination, item.destination, error, &readOnly)) {
            return Fail(GrcBadPath, "The file " + entry.destination + " cannot be written: " + error + ".");
        }
        if (readOnly) return Fail(GrcWriteFailed, "The file " + entry.destination + " cannot be written: the drive is read-only.");
        total += item.size;
        resolved.push_back(std::move(item));
    }

    // Space, per file system, before the first byte is written. The old copy of a
    // file stays until its new copy is in place, so its size does not count as free.
    std::map<dev_t, std::pair<std::uint64_t, const ResolvedEntry *>> needed;
    for (const auto &item : resolved) {
        fs::path folder = ExistingFolder(item.destination.parent_path());
        struct stat info {};
        dev_t device = ::stat(folder.c_str(), &info) == 0 ? info.st_dev : 0;
        auto &slot = needed[device];
        slot.first += item.size;
        if (slot.second == nullptr) slot.second = &item;
    }
    for (const auto &[device, need] : needed) {
        (void)device;
        std::uint64_t freeBytes = 0;
        fs::path folder = ExistingFolder(need.second->destination.parent_path());
        if (FreeSpace(folder, freeBytes) && freeBytes < need.first) {
            return Fail(GrcNoSpace, "There is not enough space on drive " + DriveOf(need.second->entry->destination) +
                                        " for the driver files: " + std::to_string(need.first) + " bytes are needed and " +
                                        std::to_string(freeBytes) + " bytes are free.");
        }
    }

    FrontEnd *frontEnd = ActiveFrontEnd();
    if (frontEnd != nullptr) frontEnd->BeginCopy(resolved.size(), total);
    auto endCopy = [&] {
        if (frontEnd != nullptr) frontEnd->EndCopy();
    };
    std::uint64_t before = 0;
    for (const auto &item : resolved) {
        std::error_code ec;
        fs::create_directories(item.destination.parent_path(), ec);
        if (ec) {
            endCopy();
            return Fail(GrcWriteFailed, "The folder of " + item.entry->destination + " cannot be created: " + ec.message() + ".");
        }
        auto progress = [&](std::uint64_t done) {
            if (orv::host::QuitMessagePending()) return false;
            return frontEnd == nullptr || frontEnd->CopyProgress(item.entry->destination, before + done, total);
        };
        if (frontEnd != nullptr && !frontEnd->CopyProgress(item.entry->destination, before, total)) {
            endCopy();
            LogLine("copy quit by the user before " + item.entry->destination);
            SetStopReason("The copy of the files was stopped.");
            return GrcUserQuit;
        }
        std::string error;
        FileCopyResult result = CopyHostFile(item.source, item.destination, false, progress, error);
        if (result == FileCopyResult::Quit) {
            endCopy();
            LogLine("copy quit by the user at " + item.entry->destination);
            SetStopReason("The copy of the files was stopped.");
            return GrcUserQuit;
        }
        if (result == FileCopyResult::Failed) {
            endCopy();
            return Fail(GrcWriteFailed, "The file " + item.entry->source + " could not be copied to " +
                                            item.entry->destination + ": " + error + ".");
        }
        before += item.size;
        LogLine("copied " + item.entry->source + " -> " + item.entry->destination + " (" + std::to_string(item.size) +
                " bytes)");
    }
    if (frontEnd != nullptr) frontEnd->CopyProgress("", total, total);
    endCopy();
    return GrcOkay;
}

}  // namespace orv::toolkit

using namespace orv::toolkit;

namespace {

bool ValidText(LPCSTR text) { return text != nullptr && text[0] != '\0'; }

// False, with the first missing argument named, when an argument is missing or empty.
bool ArgumentsGiven(const char *call, std::initializer_list<std::pair<const char *, LPCSTR>> arguments) {
    for (const auto &[name, value] : arguments) {
        if (!ValidText(value)) {
            SetLastToolkitError(std::string(call) + ": no " + name + " given");
            return false;
        }
    }
    return true;
}

bool QueueLine(const InfLine &line, LPCSTR sourceDir, const std::string &destination) {
    if (line.fields.empty() || line.fields[0].empty()) {
        SetLastToolkitError(OpenedInf().FileName() + ", line " + std::to_string(line.lineNumber) + ": no file name in field 1");
        return false;
    }
    CopyList().push_back(CopyEntry{JoinWindowsPath(sourceDir, line.fields[0]), destination});
    return true;
}

std::string DestinationName(const InfLine &line) {
    if (line.fields.size() >= 2 && !line.fields[1].empty()) return line.fields[1];
    return line.fields.empty() ? std::string() : line.fields[0];
}

}  // namespace

BOOL ResetCopyList() {
    CopyList().clear();
    return TRUE;
}

BOOL FAddSectionFilesToCopyList(LPCSTR section, LPCSTR sourceDir, LPCSTR destinationDir) {
    if (!ArgumentsGiven("FAddSectionFilesToCopyList", {{"section", section}, {"source folder", sourceDir}, {"destination folder", destinationDir}})) {
        return FALSE;
    }
    try {
        const InfSection *found = OpenedInf().Find(section);
        if (found == nullptr) {
            SetLastToolkitError("section [" + std::string(section) + "] is missing from " +
                                (OpenedInf().IsOpen() ? OpenedInf().FileName() : std::string("the INF file")));
            return FALSE;
        }
        std::vector<CopyEntry> queued;
        for (const auto &line : found->lines) {
            if (line.fields.empty() || line.fields[0].empty()) {
                SetLastToolkitError(OpenedInf().FileName() + ", line " + std::to_string(line.lineNumber) +
                                    ": no file name in field 1");
                return FALSE;
            }
            queued.push_back(CopyEntry{JoinWindowsPath(sourceDir, line.fields[0]),
                                       JoinWindowsPath(destinationDir, DestinationName(line))});
        }
        CopyList().insert(CopyList().end(), queued.begin(), queued.end());
        return TRUE;
    } catch (...) {
        SetLastToolkitError("FAddSectionFilesToCopyList: out of memory");
        return FALSE;
    }
}

namespace {

// The keyed line of an INF section, or nullptr with the error recorded.
const InfLine *FindKeyedLine(LPCSTR section, LPCSTR key) {
    const InfLine *line = OpenedInf().FindKey(section, key);
    if (line == nullptr) {
        SetLastToolkitError("key " + std::string(key) + " is missing from section [" + section + "] of " +
                            (OpenedInf().IsOpen() ? OpenedInf().FileName() : std::string("the INF file, which is not open")));
    }
    return line;
}

}  // namespace

BOOL FAddSectionKeyFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationDir) {
    if (!ArgumentsGiven("FAddSectionKeyFileToCopyList",
                        {{"section", section}, {"key", key}, {"source folder", sourceDir}, {"destination folder", destinationDir}})) {
        return FALSE;
    }
    try {
        const InfLine *line = FindKeyedLine(section, key);
        if (line == nullptr) return FALSE;
        return QueueLine(*line, sourceDir, JoinWindowsPath(destinationDir, DestinationName(*line))) ? TRUE : FALSE;
    } catch (...) {
        SetLastToolkitError("FAddSectionKeyFileToCopyList: out of memory");
        return FALSE;
    }
}

BOOL FAddSpecialFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationPath) {
    if (!ArgumentsGiven("FAddSpecialFileToCopyList",
                        {{"section", section}, {"key", key}, {"source folder", sourceDir}, {"destination path", destinationPath}})) {
        return FALSE;
    }
    try {
        const InfLine *line = FindKeyedLine(section, key);
        if (line == nullptr) return FALSE;
        return QueueLine(*line, sourceDir, destinationPath) ? TRUE : FALSE;
    } catch (...) {
        SetLastToolkitError("FAddSpecialFileToCopyList: out of memory");
        return FALSE;
    }
}

LONGLONG LcbGetCopyListCost(LPCSTR extraCostList, LPCSTR costList, LPCSTR neededList) {
    try {
        std::array<std::int64_t, 26> cost{};
        if (ValidText(extraCostList)) {
            auto extra = Symbols().Items(extraCostList);
            for (std::size_t i = 0; i < extra.size() && i < cost.size(); ++i) {
                const std::string &item = extra[i];
                bool digits = item.size() <= 18 && std::all_of(item.begin(), item.end(), [](char c) {
                                  return std::isdigit(static_cast<unsigned char>(c)) != 0;
                              });
                if (!digits) {
                    SetLastToolkitError("LcbGetCopyListCost: item " + std::to_string(i + 1) + " of the list " + extraCostList +
                                        ", \"" + item + "\", is not a number of bytes");
                    return -1;
                }
                cost[i] += item.empty() ? 0 : std::stoll(item);
            }
        }
        // A file whose size or drive cannot be known makes the total unknown, not smaller.
        for (const auto &entry : CopyList()) {
            std::filesystem::path source;
            std::string error;
            if (!ResolveWindowsPath(entry.source, source, error)) {
                SetLastToolkitError("LcbGetCopyListCost: " + entry.source + ": " + error);
                return -1;
            }
            std::error_code ec;
            auto size = std::filesystem::file_size(source, ec);
            if (ec) {
                SetLastToolkitError("LcbGetCopyListCost: the size of " + entry.source + " cannot be read: " + ec.message());
                return -1;
            }
            std::string full = orv::host::FullWindowsPath(entry.destination);
            char letter = full.size() >= 2 && full[1] == ':' ? static_cast<char>(std::toupper(static_cast<unsigned char>(full[0]))) : 0;
            if (letter < 'A' || letter > 'Z') {
                SetLastToolkitError("LcbGetCopyListCost: the destination " + entry.destination + " is on no drive");
                return -1;
            }
            cost[static_cast<std::size_t>(letter - 'A')] += static_cast<std::int64_t>(size);
        }
        std::int64_t total = 0;
        std::vector<std::string> costs;
        std::vector<std::string> lacking;
        for (std::size_t i = 0; i < cost.size(); ++i) {
            total += cost[i];
            costs.push_back(std::to_string(cost[i]));
            std::int64_t totalBytes = 0;
            std::int64_t freeBytes = 0;
            std::int64_t short_ = 0;
            if (cost[i] > 0 && orv::host::DriveSpace(static_cast<char>('A' + i), totalBytes, freeBytes) && freeBytes < cost[i]) {
                short_ = cost[i] - freeBytes;
            }
            lacking.push_back(std::to_string(short_));
        }
        if (ValidText(costList)) Symbols().SetList(costList, costs);
        if (ValidText(neededList)) Symbols().SetList(neededList, lacking);
        return total;
    } catch (...) {
        SetLastToolkitError("LcbGetCopyListCost: out of memory");
        return -1;
    }
}

// Writes the copy list as "source -> destination" lines (CR LF), replacing the file.
BOOL FDumpCopyListToFile(LPCSTR path) {
    if (!ValidText(path)) {
        SetLastToolkitError("FDumpCopyListToFile: no file given");
        return FALSE;
    }
    try {
        std::filesystem::path host;
        std::string error;
        bool readOnly = false;
        if (!ResolveWindowsPath(path, host, error, &readOnly) || readOnly) {
            SetLastToolkitError("cannot write the copy list to " + std::string(path) + ": " + (readOnly ? "the drive is read-only" : error));
            return FALSE;
        }
        std::string text;
        for (const auto &entry : CopyList()) text += entry.source + " -> " + entry.destination + "\r\n";
        if (!WriteFileAtomically(host, text, error)) {
            SetLastToolkitError("cannot write the copy list to " + std::string(path) + ": " + error);
            return FALSE;
        }
        LogLine("copy list written to " + std::string(path) + " (" + std::to_string(CopyList().size()) + " files)");
        return TRUE;
    } catch (...) {
        SetLastToolkitError("cannot write the copy list to " + std::string(path) + ": out of memory");
        return FALSE;
    }
}

namespace {

// Mode bits of FCopyOneFile.
constexpr WORD kCopyKeepNewer = 1;  // keep a destination whose version is newer than the source's
constexpr WORD kCopyVerify = 2;     // read the copy back and compare it with its source

// -1, 0 or 1 as version `a` is older than, equal to or newer than `b` (fields 1 to 4).
int CompareFileVersions(const std::string &a, const std::string &b) {
    for (int field = 1; field <= 4; ++field) {
        LONG x = LGetVersionNthField(a.c_str(), field);
        LONG y = LGetVersionNthField(b.c_str(), field);
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

std::string VersionOf(LPCSTR windowsPath) {
    char buffer[64];
    LONG length = CbGetVersionOfFile(windowsPath, buffer, sizeof buffer);
    return length > 0 && length < static_cast<LONG>(sizeof buffer) ? std::string(buffer) : std::string();
}

// True when the bytes of `copy` from `offset` on are exactly those of `source`.
bool CopyMatches(const std::filesystem::path &source, const std::filesystem::path &copy, std::uintmax_t offset,
                 std::string &why) {
    std::error_code ec;
    auto sourceSize = std::filesystem::file_size(source, ec);
    if (ec) {
        why = "cannot read " + source.string() + ": " + ec.message();
        return false;
    }
    auto copySize = std::filesystem::file_size(copy, ec);
    if (ec || copySize != offset + sourceSize) {
        why = "the copy holds " + std::to_string(ec ? 0 : copySize) + " bytes where " + std::to_string(offset + sourceSize) +
              " were written";
        return false;
    }
    std::ifstream a(source, std::ios::binary);
    std::ifstream b(copy, std::ios::binary);
    b.seekg(static_cast<std::streamoff>(offset));
    std::vector<char> x(1 << 16);
    std::vector<char> y(1 << 16);
    while (a && b) {
        a.read(x.data(), static_cast<std::streamsize>(x.size()));
        b.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (a.gcount() != b.gcount() || !std::equal(x.begin(), x.begin() + a.gcount(), y.begin())) {
            why = "the copy read back differs from its source";
            return false;
        }
        if (a.gcount() == 0) break;
    }
    if (a.bad() || b.bad()) {
        why = "the copy cannot be read back";
        return false;
    }
    return true;
}

}  // namespace

// Copies one file. Mode bit 1 keeps a destination whose version (see
// CbGetVersionOfFile) is newer than the source's; bit 2 reads the copy back and
// compares it with the source. A destination in use (see restart_list.h) is not
// touched: the new file waits in the restart folder and the restart list.
BOOL FCopyOneFile(LPCSTR source, LPCSTR destination, WORD mode, BOOL append) {
    if (!ValidText(source) || !ValidText(destination)) {
        SetLastToolkitError("FCopyOneFile: no " + std::string(ValidText(source) ? "destination" : "source") + " given");
        return FALSE;
    }
    try {
        std::filesystem::path from;
        std::filesystem::path to;
        std::string error;
        bool readOnly = false;
        std::error_code ec;
        if (!ResolveWindowsPath(source, from, error)) {
            SetLastToolkitError("cannot copy " + std::string(source) + ": " + error);
            return FALSE;
        }
        if (!std::filesystem::is_regular_file(from, ec)) {
            SetLastToolkitError("cannot copy " + std::string(source) + ": the file does not exist");
            return FALSE;
        }
        if (!ResolveWindowsPath(destination, to, error, &readOnly) || readOnly) {
            SetLastToolkitError("cannot copy to " + std::string(destination) + ": " + (readOnly ? "the drive is read-only" : error));
            return FALSE;
        }
        if (std::filesystem::is_directory(to, ec)) {
            SetLastToolkitError("cannot copy " + std::string(source) + " to " + destination + ": a folder has that name");
            return FALSE;
        }
        bool exists = std::filesystem::exists(to, ec);
        if ((mode & kCopyKeepNewer) != 0 && exists) {
            std::string had = VersionOf(destination);
            std::string brought = VersionOf(source);
            if (!had.empty() && !brought.empty() && CompareFileVersions(had, brought) > 0) {
                LogLine("kept " + std::string(destination) + " (version " + had + "), newer than " + source + " (version " +
                        brought + ")");
                return TRUE;
            }
        }
        std::uintmax_t kept = append && exists ? std::filesystem::file_size(to, ec) : 0;
        if (ec) kept = 0;
        if (exists && FileInUse(to)) {
            std::string copy;
            if (!QueueReplacement(from, append != FALSE, to, destination, copy, error)) {
                SetLastToolkitError("cannot queue " + std::string(source) + " to replace " + destination + " at the restart: " + error);
                return FALSE;
            }
            std::filesystem::path copyHost;
            if ((mode & kCopyVerify) != 0 && (!ResolveWindowsPath(copy, copyHost, error) || !CopyMatches(from, copyHost, kept, error))) {
                SetLastToolkitError("the copy of " + std::string(source) + " for the restart, " + copy + ", is not sound: " + error);
                return FALSE;
            }
            LogLine(std::string(destination) + " is in use: " + source + " waits in " + copy + " for the restart");
            return TRUE;
        }
        if (CopyHostFile(from, to, append != FALSE, nullptr, error) != FileCopyResult::Copied) {
            SetLastToolkitError("cannot copy " + std::string(source) + " to " + destination + ": " + error);
            return FALSE;
        }
        if ((mode & kCopyVerify) != 0 && !CopyMatches(from, to, kept, error)) {
            SetLastToolkitError("the copy of " + std::string(source) + " to " + destination + " is not sound: " + error);
            return FALSE;
        }
        LogLine("copied " + std::string(source) + " -> " + destination + ((mode & kCopyVerify) != 0 ? " (verified)" : ""));
        return TRUE;
    } catch (...) {
        SetLastToolkitError("cannot copy " + std::string(source) + ": out of memory");
        return FALSE;
    }
}

BOOL ProSetPos(int x, int y) {
    (void)x;  // the front ends place their gauge themselves
    (void)y;
    return TRUE;
}

int GrcCopyFilesInCopyList(HINSTANCE instance) {
    (void)instance;
    try {
        return CopyFilesInList(CopyList());
    } catch (...) {
        SetLastToolkitError("the copy failed: out of memory");
        return GrcWriteFailed;
    }
}
