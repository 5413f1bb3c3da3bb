// The setup toolkit's entry points: frame and install layer, symbols and lists, the
// dialog library, INF reading, the copy list, INI files, the log, detection, and the
// rest of the toolkit that the binding reaches. Flag results (F...) are non-zero for
// success; Cb... are signed byte counts without the terminator (the full length even
// when the buffer was too small); Us... are 16-bit lengths; Lcb... are 64-bit byte
// totals; Ynrc... are reply codes where 0 is failure; Grc... are copy reply codes.
#pragma once

#include "platform/wintypes.h"

// Reply codes of the copy engine.
constexpr int GrcOkay = 0;
constexpr int GrcUserQuit = 48;

// Frame and install layer.
int InitializeFrame(LPCSTR commandLineTail);  // above 0: up; 0: failed; -1: end at once
HWND HwndFrame();
HINSTANCE HinstFrame();
BOOL FInitializeInstall(HINSTANCE instance, HWND frame);
BOOL FSetBitmap(LPCSTR library, int bitmapNumber);
BOOL FSetAbout(LPCSTR title, LPCSTR text);
BOOL FSetBeepingMode(BOOL beeping);
BOOL FSetSilent(BOOL silent);
HCURSOR HShowWaitCursor();
BOOL FRestoreCursor(HCURSOR previous);
BOOL TerminateFrame();
BOOL TerminateInstall();

// Symbols and lists; list items are counted from 1.
LONG CbGetSymbolValue(LPCSTR name, LPSTR buffer, LONG size);
BOOL FSetSymbolValue(LPCSTR name, LPCSTR value);
BOOL FRemoveSymbol(LPCSTR name);
BOOL FAddListItem(LPCSTR list, LPCSTR item);
BOOL FReplaceListItem(LPCSTR list, USHORT index, LPCSTR item);
LONG CbGetListItem(LPCSTR list, USHORT index, LPSTR buffer, LONG size);
USHORT UsGetListLength(LPCSTR list);

// The dialog library: a stack of open dialogs, answered through symbols.
BOOL FDoDialogExt(HWND frame, LPCSTR library, int dialogId, LPCSTR procedure, LPCSTR helpLibrary, int helpId,
                  LPCSTR helpProcedure);
BOOL FKillNDialogs(int count);  // -1 closes every open dialog
int DoMsgBox(LPCSTR text, LPCSTR caption, UINT style);
int EercErrorHandler(int errorCode, BOOL fatal, LPCSTR text1, LPCSTR text2, LPCSTR text3);
BOOL FAddToBillboardList(LPCSTR library, int dialogId, LPCSTR procedure, LONG ticks);
BOOL FClearBillboardList();

// INF files.
int WFindFileUsingFileOpen(LPCSTR name, LPSTR buffer, int size);  // 0 found, 1 not found
BOOL FOpenInf(LPCSTR path, BOOL checkSyntax, BOOL checkSymbols);
LONG CbGetInfSectionKeyField(LPCSTR section, LPCSTR key, USHORT field, LPSTR buffer, LONG size);
BOOL FSetSymbolToListOfInfKeys(LPCSTR symbol, LPCSTR section, BOOL includeUnkeyed);
BOOL FMakeListInfSectionField(LPCSTR symbol, LPCSTR section, USHORT field);

// Paths and directories.
BOOL FValidPath(LPCSTR path);
BOOL FValidDir(LPCSTR path);
BOOL FDirExists(LPCSTR path);
BOOL FCreateDir(LPCSTR path, int mode);
BOOL FRemoveDir(LPCSTR path);
BOOL FIsDirWritable(LPCSTR path);
BOOL FIsFileWritable(LPCSTR path);
BOOL FParsePathIntoPieces(LPCSTR path, LPSTR volume, LONG volumeSize, LPSTR directory, LONG directorySize,
                          LPSTR fileName, LONG fileNameSize);
BOOL FPrependToPath(LPCSTR pathList, LPCSTR directory, LPSTR result, LONG size);
BOOL FSetRestartDir(LPCSTR path);
BOOL FRestartListEmpty();
BOOL FExitExecRestart();

// Copy list and copy engine.
BOOL ResetCopyList();
BOOL FAddSectionFilesToCopyList(LPCSTR section, LPCSTR sourceDir, LPCSTR destinationDir);
BOOL FAddSectionKeyFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationDir);
BOOL FAddSpecialFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationPath);
LONGLONG LcbGetCopyListCost(LPCSTR extraCostList, LPCSTR costList, LPCSTR neededList);
BOOL FDumpCopyListToFile(LPCSTR path);
BOOL FCopyOneFile(LPCSTR source, LPCSTR destination, WORD mode, BOOL append);
BOOL ProSetPos(int x, int y);
int GrcCopyFilesInCopyList(HINSTANCE instance);
int YnrcRemoveFile(LPCSTR path, LPCSTR name);
int YnrcBackupFile(LPCSTR path, LPCSTR backup, int mode);
BOOL FStampResource(LPCSTR section, LPCSTR key, LPCSTR destination, int resourceType, int resourceId, LPCSTR data,
                    int dataSize);

// Program Manager groups and items.
BOOL FCreateProgManGroup(LPCSTR group, LPCSTR path, int mode);
BOOL FCreateProgManGroupEx(LPCSTR group, LPCSTR path, int mode, BOOL common);
BOOL FShowProgManGroup(LPCSTR group, LPCSTR command, int mode);
BOOL FShowProgManGroupEx(LPCSTR group, BOOL common, LPCSTR command, int mode);
BOOL FCreateProgManItem(LPCSTR group, LPCSTR item, LPCSTR command, int mode);
BOOL FCreateProgManItemEx(LPCSTR group, BOOL common, LPCSTR item, LPCSTR command, int mode);

// INI files. A bare file name lives in the Windows directory.
BOOL FCreateIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode);
BOOL FCreateSysIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode);
BOOL FRemoveIniSection(LPCSTR file, LPCSTR section, int mode);
BOOL FRemoveIniKey(LPCSTR file, LPCSTR section, LPCSTR key, int mode);
LONG CbGetIniKeyString(LPCSTR file, LPCSTR section, LPCSTR key, LPSTR buffer, LONG size);
BOOL FDoesIniSectionExist(LPCSTR file, LPCSTR section);
BOOL FDoesIniKeyExist(LPCSTR file, LPCSTR section, LPCSTR key);

// The setup log.
BOOL FOpenLogFile(LPCSTR path, BOOL append);
BOOL FWriteToLogFile(LPCSTR text, BOOL request);
BOOL FCloseLogFile();

// Detection. Drives are numbered from 1 (A:).
BOOL FIsValidDrive(int drive);
BOOL FIsLocalHardDrive(int drive);
BOOL FIsRemoveDrive(int drive);
BOOL FIsRemoteDrive(int drive);
LONGLONG LcbTotalDrive(int drive);
LONGLONG LcbFreeDrive(int drive);
BOOL FGetValidDrivesList(LPCSTR symbol);
BOOL FGetLocalHardDrivesList(LPCSTR symbol);
BOOL FGetRemovableDrivesList(LPCSTR symbol);
BOOL FGetNetworkDrivesList(LPCSTR symbol);
BOOL FGetParallelPortsList(LPCSTR symbol);
BOOL FGetSerialPortsList(LPCSTR symbol);
LONG CbGetEnvVariableValue(LPCSTR name, LPSTR buffer, LONG size);
LONG CbGetDateOfFile(LPCSTR path, LPSTR buffer, LONG size);
LONG CbGetVersionOfFile(LPCSTR path, LPSTR buffer, LONG size);
LONG CbFindTargetOnEnvVar(LPCSTR name, LPCSTR variable, LPSTR buffer, LONG size);
LONG CbFindFileInTree(LPCSTR name, LPCSTR root, LPSTR buffer, LONG size);
LONG LGetVersionNthField(LPCSTR version, int field);
LONGLONG LcbGetSizeOfFile(LPCSTR path);
BOOL FIsDriverInConfig(LPCSTR driver);
BOOL FHas87MathChip();
BOOL FHasMonochromeDisplay();
BOOL FHasMouseInstalled();
BOOL FDoesFileExist(LPCSTR path, int mode);
BOOL FGetProcessorType(LONG *state, int reserved, LPSTR buffer, LONG size);
