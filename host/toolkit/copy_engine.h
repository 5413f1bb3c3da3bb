// The copy list and the copy engine: files queued from INF sections, checked for
// space before the first byte, each written under a temporary name, synced and
// renamed into place, with the progress gauge of the front end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace orv::toolkit {

struct CopyEntry {
    std::string source;       // Windows path on the setup disk, e.g. A:\IRCOL_RS.DRV
    std::string destination;  // Windows path, e.g. C:\WINNT\system32\IRCOL_RS.DRV
};

std::vector<CopyEntry> &CopyList();

// Reply codes of GrcCopyFilesInCopyList beside 0 (copied) and 48 (quit).
constexpr int GrcSourceMissing = 2;
constexpr int GrcNoSpace = 39;
constexpr int GrcWriteFailed = 29;
constexpr int GrcBadPath = 3;

enum class FileCopyResult { Copied, Quit, Failed };

// Copies one host file to `destination` through a temporary file in the destination's
// folder that is synced and renamed into place; with `append`, the new file holds the
// old destination followed by the source. `progress` receives the bytes written so
// far and answers false to quit. On failure `error` names the file at fault.
FileCopyResult CopyHostFile(const std::filesystem::path &source, const std::filesystem::path &destination, bool append,
                            const std::function<bool(std::uint64_t)> &progress, std::string &error);

// The free bytes for a host folder; by default statvfs. Tests replace it.
using FreeSpaceProbe = std::function<bool(const std::filesystem::path &folder, std::uint64_t &freeBytes)>;
void SetFreeSpaceProbe(FreeSpaceProbe probe);

// Copies every entry of the list; answers 0, 48 (quit) or a failure code above.
int CopyFilesInList(const std::vector<CopyEntry> &entries);

}  // namespace orv::toolkit
