// The detection queries: Windows version and screen size, drives and their space,
// ports, hardware facts, environment variables, files and their dates, versions and
// sizes, file searches, INI sections and keys, and the processor as a number.
#pragma once

#include "platform/wintypes.h"

// Straight from the platform.
int GetWindowsVersionMajor();
int GetWindowsVersionMinor();
int GetScreenWidth();
int GetScreenHeight();

// Drive queries: the drive is the first character of the text, A being drive 1. They
// differ in what they leave in the caller's text (see each).
BOOL IsValidDrive(LPSTR drive);         // first character upper-cased in place
BOOL IsLocalHardDrive(LPSTR drive);     // whole text upper-cased in place
BOOL IsRemoveDrive(LPSTR drive);        // first character upper-cased in place
BOOL IsRemoteDrive(LPCSTR drive);       // text unchanged
LONGLONG GetTotalDriveSpace(LPSTR drive);  // first character upper-cased in place
LONGLONG GetFreeDriveSpace(LPCSTR drive);  // text unchanged

// Lists the toolkit builds into a list symbol; a false answer is the fatal stop.
void GetValidDrivesList(LPCSTR symbol);
void GetLocalHardDrivesList(LPCSTR symbol);
void GetRemovableDrivesList(LPCSTR symbol);
void GetNetworkDrivesList(LPCSTR symbol);
void GetParallelPortsList(LPCSTR symbol);
void GetSerialPortsList(LPCSTR symbol);

// Queries into the caller's buffer; a result that does not fit is the fatal stop
// (no message). Returns `out`.
LPSTR GetEnvVariableValue(LPCSTR name, LPSTR out, LONG size);
LPSTR GetDateOfFile(LPCSTR path, LPSTR out, LONG size);
LPSTR GetVersionOfFile(LPCSTR path, LPSTR out, LONG size);
LPSTR FindTargetOnEnvVar(LPCSTR name, LPCSTR variable, LPSTR out, LONG size);
LPSTR FindFileInTree(LPCSTR name, LPCSTR root, LPSTR out, LONG size);
LPSTR GetIniKeyString(LPCSTR file, LPCSTR section, LPCSTR key, LPSTR out, LONG size);

// Passed through untested.
LONG GetVersionNthField(LPCSTR version, int n);
LONGLONG GetSizeOfFile(LPCSTR path);
BOOL IsDriverInConfig(LPCSTR driver);
BOOL Has87MathChip();
BOOL HasMonochromeDisplay();
BOOL HasMouseInstalled();
BOOL DirExists(LPCSTR path);
BOOL DoesIniSectionExist(LPCSTR file, LPCSTR section);
BOOL DoesIniKeyExist(LPCSTR file, LPCSTR section, LPCSTR key);

// 0 for a path the toolkit does not accept; otherwise the toolkit's answer.
BOOL DoesFileExist(LPCSTR path, int mode);
// The processor as a number from the fixed table (PENTIUM 5, R4000 4000, ...); 0 when
// the toolkit cannot name it.
int GetProcessorType();
