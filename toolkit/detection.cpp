// The detection queries: the platform's version and screen facts, the toolkit's drive,
// port, hardware, file and INI queries under the check rules, and the processor table.
#include "toolkit/detection.h"

#include "platform/toolkit.h"
#include "platform/win32.h"
#include "toolkit/checks.h"

namespace {

// ---- Drives ----

// A is drive 1: the upper-cased character's code less 64. An empty text gives -64,
// which the toolkit answers as a drive that does not exist.
int DriveNumber(char first) {
    char upper[2] = {first, '\0'};
    CharUpperBuffA(upper, 1);
    return static_cast<unsigned char>(upper[0]) - 64;
}

LPCSTR UpperFirstChar(LPSTR drive) {
    if (drive != nullptr) CharUpperBuffA(drive, 1);
    return drive;
}

LPCSTR UpperWholeText(LPSTR drive) {
    if (drive != nullptr) CharUpperA(drive);
    return drive;
}

// A missing drive text answers 0 (FALSE, or no bytes) without asking the toolkit.
template <typename Answer>
Answer AskAboutDrive(LPCSTR drive, Answer (*query)(int)) {
    if (drive == nullptr) return 0;
    return query(DriveNumber(drive[0]));
}

// ---- Queries into the caller's buffer ----

// Queries that clear start from an empty text, so one that writes nothing leaves "".
LPSTR Cleared(LPSTR out, LONG size) {
    if (out != nullptr && size > 0) out[0] = '\0';
    return out;
}

// ---- Processor ----

struct ProcessorRow {
    const char *name;
    int number;
};

// Compared in this order; the first name equal without regard to case wins.
constexpr ProcessorRow ProcessorTable[] = {
    {"C400", 400},       {"PPC620", 620},     {"PPC604", 604},     {"PPC603", 603}, {"PPC601", 601},
    {"AXP21164", 21164}, {"AXP21066", 21066}, {"AXP21064", 21064}, {"R4000", 4000}, {"R3000", 3000},
    {"R2000", 2000},     {"PENTIUM", 5},      {"80486", 4},        {"80386", 3},    {"80286", 2},
    {"80186", 1},        {"8086", 0},
};

// The toolkit keeps its own bookkeeping in this variable between queries; the binding
// never reads it.
LONG processorQueryState = 0;

}  // namespace

// ---- Straight from the platform ----

int GetWindowsVersionMajor() { return static_cast<int>(GetVersion() & 0xFF); }
int GetWindowsVersionMinor() { return static_cast<int>((GetVersion() >> 8) & 0xFF); }
int GetScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int GetScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

// ---- Drive queries ----

BOOL IsValidDrive(LPSTR drive) { return AskAboutDrive(UpperFirstChar(drive), FIsValidDrive); }
BOOL IsLocalHardDrive(LPSTR drive) { return AskAboutDrive(UpperWholeText(drive), FIsLocalHardDrive); }
BOOL IsRemoveDrive(LPSTR drive) { return AskAboutDrive(UpperFirstChar(drive), FIsRemoveDrive); }
BOOL IsRemoteDrive(LPCSTR drive) { return AskAboutDrive(drive, FIsRemoteDrive); }
LONGLONG GetTotalDriveSpace(LPSTR drive) { return AskAboutDrive(UpperFirstChar(drive), LcbTotalDrive); }
LONGLONG GetFreeDriveSpace(LPCSTR drive) { return AskAboutDrive(drive, LcbFreeDrive); }

// ---- Lists built by the toolkit ----

void GetValidDrivesList(LPCSTR symbol) { StopUnlessTrue(FGetValidDrivesList(symbol)); }
void GetLocalHardDrivesList(LPCSTR symbol) { StopUnlessTrue(FGetLocalHardDrivesList(symbol)); }
void GetRemovableDrivesList(LPCSTR symbol) { StopUnlessTrue(FGetRemovableDrivesList(symbol)); }
void GetNetworkDrivesList(LPCSTR symbol) { StopUnlessTrue(FGetNetworkDrivesList(symbol)); }
void GetParallelPortsList(LPCSTR symbol) { StopUnlessTrue(FGetParallelPortsList(symbol)); }
void GetSerialPortsList(LPCSTR symbol) { StopUnlessTrue(FGetSerialPortsList(symbol)); }

// ---- Queries into the caller's buffer ----

LPSTR GetEnvVariableValue(LPCSTR name, LPSTR out, LONG size) {
    return StopOnQuietOverflow(CbGetEnvVariableValue(name, Cleared(out, size), size), size, out);
}
LPSTR GetDateOfFile(LPCSTR path, LPSTR out, LONG size) {
    return StopOnQuietOverflow(CbGetDateOfFile(path, out, size), size, out);
}
LPSTR GetVersionOfFile(LPCSTR path, LPSTR out, LONG size) {
    return StopOnQuietOverflow(CbGetVersionOfFile(path, Cleared(out, size), size), size, out);
}
LPSTR FindTargetOnEnvVar(LPCSTR name, LPCSTR variable, LPSTR out, LONG size) {
    return StopOnQuietOverflow(CbFindTargetOnEnvVar(name, variable, Cleared(out, size), size), size, out);
}
LPSTR FindFileInTree(LPCSTR name, LPCSTR root, LPSTR out, LONG size) {
    return StopOnQuietOverflow(CbFindFileInTree(name, root, out, size), size, out);
}
LPSTR GetIniKeyString(LPCSTR file, LPCSTR section, LPCSTR key, LPSTR out, LONG size) {
    return StopOnQuietOverflow(CbGetIniKeyString(file, section, key, Cleared(out, size), size), size, out);
}

// ---- Passed through untested ----

LONG GetVersionNthField(LPCSTR version, int n) { return LGetVersionNthField(version, n); }
LONGLONG GetSizeOfFile(LPCSTR path) { return LcbGetSizeOfFile(path); }
BOOL IsDriverInConfig(LPCSTR driver) { return FIsDriverInConfig(driver); }
BOOL Has87MathChip() { return FHas87MathChip(); }
BOOL HasMonochromeDisplay() { return FHasMonochromeDisplay(); }
BOOL HasMouseInstalled() { return FHasMouseInstalled(); }
BOOL DirExists(LPCSTR path) { return FDirExists(path); }
BOOL DoesIniSectionExist(LPCSTR file, LPCSTR section) { return FDoesIniSectionExist(file, section); }
BOOL DoesIniKeyExist(LPCSTR file, LPCSTR section, LPCSTR key) { return FDoesIniKeyExist(file, section, key); }

// ---- Files and the processor ----

BOOL DoesFileExist(LPCSTR path, int mode) {
    // A path the toolkit does not accept is never looked for, whatever lies on disk.
    if (!FValidPath(path)) return FALSE;
    return FDoesFileExist(path, mode);
}

int GetProcessorType() {
    char name[32] = "";
    if (!FGetProcessorType(&processorQueryState, 0, name, sizeof name)) return 0;
    name[sizeof name - 1] = '\0';  // a name that filled the buffer is still compared safely
    for (const ProcessorRow &row : ProcessorTable) {
        if (lstrcmpiA(name, row.name) == 0) return row.number;
    }
    // A name outside the table is reported like a failed query.
    return 0;
}
