// The emulated workstation as the rest of the host layer sees it: the machine
// directory and its facts (machine.ini), the drive map, Windows paths mapped onto
// host folders, the current directory and the environment.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace orv::host {

using std::filesystem::path;

// Win32 error codes of path handling that the platform header does not name.
constexpr DWORD ERROR_BAD_NETPATH = 53;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;

// What `orvalen-machine init` takes. Empty or zero fields take the defaults.
struct MachineOptions {
    std::string windowsDirectory;  // default "C:\WINNT"
    std::string systemDirectory;   // default <windows directory>\system32
    unsigned ansiCodePage = 0;     // default 1252
    unsigned oemCodePage = 0;      // default 437
    std::vector<std::string> ports;  // default LPT1: LPT2: LPT3: COM1: COM2: COM3: COM4: FILE:
};

std::vector<std::string> DefaultPorts();

// The facts of machine.ini, loaded when the machine is opened.
struct MachineFacts {
    std::string windowsDirectory;
    std::string systemDirectory;
    unsigned ansiCodePage = 1252;
    unsigned oemCodePage = 437;
    unsigned versionMajor = 4;
    unsigned versionMinor = 0;
    unsigned buildNumber = 1381;
    int screenWidth = 1024;
    int screenHeight = 768;
    std::string processor = "PENTIUM";
    bool mathChip = true;
    bool mouse = true;
    bool monochromeDisplay = false;
    // Registry entry points that "ADVAPI32.DLL" does not offer on this machine.
    std::vector<std::string> withheldFunctions;
    // In file order; names compare without regard to case.
    std::vector<std::pair<std::string, std::string>> environment;
};

struct DriveInfo {
    char letter = 0;  // upper case
    path hostDir;     // absolute host folder
    bool readOnly = false;
    bool removable = false;
    bool remote = false;
    bool mappedInProcess = false;  // by MapDrive, not by machine.ini
};

// $ORVALEN_MACHINE, else $XDG_DATA_HOME/orvalen/machine, else ~/.local/share/orvalen/machine.
path DefaultMachineDirectory();

// Makes a new machine in `dir` (which may exist but must not hold a machine).
bool CreateMachine(const path& dir, const MachineOptions& options, std::string& error);
// Opens the machine in `dir`, creating one with default options when asked and
// none is there. Sets the code pages of the text calls. The error names the file,
// key or value at fault.
bool OpenMachine(const path& dir, bool createIfMissing, std::string& error);
void CloseMachine();
// Opens the default machine (creating it) when none is open, so that a platform
// call made before the program opened one still finds a workstation. False, with
// the reason on stderr once, when that fails.
bool EnsureMachineOpen();
bool MachineIsOpen();
// In a child made by fork(): drops the parent's open machine without touching its
// database, so that the child can open the machine afresh.
void AbandonMachineAfterFork();
path MachineDirectory();
path MachineIniPath();
path MachineDatabasePath();
const MachineFacts& Facts();

// Drives. MapDrive maps a letter for this process only (the setup disk as A:).
bool MapDrive(char letter, const path& hostDir, bool readOnly, std::string& error);
std::optional<DriveInfo> Drive(char letter);
std::vector<DriveInfo> Drives();
// statvfs of the drive's host folder; false for an unmapped letter.
bool DriveSpace(char letter, std::int64_t& totalBytes, std::int64_t& freeBytes);

// The current directory, e.g. "A:\" or "C:\WINNT"; "C:\" on a new process.
bool SetCurrentDirectoryWin(const std::string& windowsPath, DWORD& error);
std::string CurrentDirectoryWin();

std::string WindowsDirectory();
std::string SystemDirectory();

// A Windows path (absolute, drive-relative or relative to the current directory)
// to its host path. Lookup ignores case; components that do not exist keep the
// case given; "." and ".." resolve as Windows resolves them and never leave the
// drive's folder. Refused with ERROR_INVALID_NAME for names Windows forbids,
// ERROR_PATH_NOT_FOUND for an unmapped drive, ERROR_BAD_NETPATH for UNC paths,
// ERROR_FILENAME_EXCED_RANGE for too long a path, ERROR_ACCESS_DENIED for a host
// link that leads out of the drive's folder.
bool ResolvePath(const std::string& windowsPath, path& hostPath, DWORD& error, bool* readOnly = nullptr);
// Absolute and normalised, e.g. "c:foo\..\bar" -> "C:\<current>\bar"; empty when
// the path cannot be resolved.
std::string FullWindowsPath(const std::string& windowsPath);
// The Windows path of a host path inside a drive's folder, or empty.
std::string WindowsPathOf(const path& hostPath);

std::optional<std::string> EnvironmentVariable(const std::string& name);

}  // namespace orv::host
