// The restart list: replacements and removals of files that the running workstation
// holds in use, kept in the machine directory until the workstation's restart
// (FExitExecRestart) carries them out.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace orv::toolkit {

// A file is in use when its host file carries no write permission for anyone: that
// stands for a file the running workstation holds open (a loaded driver or DLL). It
// cannot be replaced or removed until the restart. `chmod a-w` makes one.
bool FileInUse(const std::filesystem::path &host);

struct RestartEntry {
    enum class Kind { Replace, Remove } kind = Kind::Replace;
    std::string destination;  // Windows path of the file in use
    std::string copy;         // Windows path of the new file in the restart folder (Replace)
};

// <machine directory>/restart.lst.
std::filesystem::path RestartListPath();

// The Windows path of the restart folder: as FSetRestartDir set it, else
// <Windows directory>\RESTART.
std::string RestartDirectory();
bool SetRestartDirectory(const std::string &windowsPath, std::string &error);
// Back to the default (tests, and each new frame).
void ResetRestartDirectory();

// Reads the list; a missing file is an empty list. False with the file and line at
// fault when it cannot be read.
bool LoadRestartList(std::vector<RestartEntry> &entries, std::string &error);

// Copies the host file `source` (after the old content of `destinationHost` when
// `append`) into the restart folder and queues it to replace `destination`. Answers
// the Windows path of the copy in `copy`.
bool QueueReplacement(const std::filesystem::path &source, bool append, const std::filesystem::path &destinationHost,
                      const std::string &destination, std::string &copy, std::string &error);
// Queues the removal of `destination`.
bool QueueRemoval(const std::string &destination, std::string &error);

// Carries out the list in order, as the workstation's restart does, and empties it.
// On a failure the entry at fault and those after it stay queued.
bool ApplyRestartList(std::string &error);

}  // namespace orv::toolkit
