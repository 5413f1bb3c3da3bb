// The checked calls: the toolkit's frame, symbol and list, INF, install and log entry
// points, each behind an operation named after it without its type prefix. A failed
// answer ends the run through the fatal stop, so a caller only ever sees success.
#pragma once

#include "platform/wintypes.h"

// ---- Calls whose answer 0 is the fatal stop; arguments pass through unchanged ----
void SetFrameAbout(LPCSTR title, LPCSTR text);
void AddListItem(LPCSTR list, LPCSTR item);
void ReplaceListItem(LPCSTR list, USHORT index, LPCSTR item);
void SetSymbolValue(LPCSTR name, LPCSTR value);
void RemoveSymbol(LPCSTR name);
void CreateDir(LPCSTR path, int mode);
void RemoveDir(LPCSTR path);
void RemoveIniKey(LPCSTR file, LPCSTR section, LPCSTR key, int mode);
void CreateSysIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode);
void CreateProgManGroup(LPCSTR group, LPCSTR path, int mode);
void CreateProgManGroupEx(LPCSTR group, LPCSTR path, int mode, BOOL common);
void StampResource(LPCSTR section, LPCSTR key, LPCSTR destination, int resourceType, int resourceId, LPCSTR data,
                   int dataSize);
void DumpCopyListToFile(LPCSTR path);
void AddSectionKeyFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationDir);
void AddSpecialFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationPath);
void AddToBillboardList(LPCSTR library, int dialogId, LPCSTR procedure, LONG ticks);
void ClearBillboardList();
void OpenLogFile(LPCSTR path, BOOL append);
void CloseLogFile();
void SetRestartDir(LPCSTR path);
void PrependToPath(LPCSTR pathList, LPCSTR directory, LPSTR result, LONG size);

// ---- Calls passed through; the caller tests the answer ----
BOOL SetBeepingMode(BOOL beeping);
BOOL SetSilent(BOOL silent);
BOOL IsDirWritable(LPCSTR path);
BOOL IsFileWritable(LPCSTR path);
BOOL RestartListEmpty();
BOOL ExitExecRestart();

// ---- Calls that fix, convert or test more ----
// The list's length; a missing or empty list name is the fatal stop.
USHORT GetListLength(LPCSTR list);
// Item `index` (from 1) of the list; a bad name, an index outside 1..length, or an item
// that does not fit `size` is the fatal stop (the last one after "Buffer Overflow").
LPSTR GetListItem(LPCSTR list, int index, LPSTR buffer, LONG size);
void SetSymbolToListOfInfKeys(LPCSTR symbol, LPCSTR section);
// Field 1 (the file name), 5 or 19 (the version) of the key's line in the INF section.
// A field that does not fit is "Buffer Overflow" and the fatal stop; a field that
// cannot be read (count -1) is the fatal stop without a message.
LPSTR GetInfFieldOne(LPCSTR section, LPCSTR key, LPSTR buffer, LONG size);
LPSTR GetInfFieldFive(LPCSTR section, LPCSTR key, LPSTR buffer, LONG size);
LPSTR GetInfFieldNineteen(LPCSTR section, LPCSTR key, LPSTR buffer, LONG size);
// Field 15 read as a signed decimal number (0 when it has no digit).
LONG GetInfFieldFifteen(LPCSTR section, LPCSTR key);
void ListInfFieldOne(LPCSTR symbol, LPCSTR section);
void ListInfFieldFive(LPCSTR symbol, LPCSTR section);
void ListInfFieldEleven(LPCSTR symbol, LPCSTR section);
void ListInfFieldFifteen(LPCSTR symbol, LPCSTR section);
void ListInfFieldNineteen(LPCSTR symbol, LPCSTR section);
// The show command goes to the toolkit as its decimal text ("-1" for -1).
void ShowProgManGroup(LPCSTR group, int command, int mode);
void ShowProgManGroupEx(LPCSTR group, BOOL common, int command, int mode);
// The item's text is `item`, or "item,extra" when `extra` is given and not empty.
void CreateProgManItem(LPCSTR group, LPCSTR item, LPCSTR command, LPCSTR extra, int mode);
void CreateProgManItemEx(LPCSTR group, BOOL common, LPCSTR item, LPCSTR command, LPCSTR extra, int mode);
// The bytes the copy list needs; a negative total is the fatal stop.
LONGLONG GetCopyListCost(LPCSTR extraCostList, LPCSTR costList, LPCSTR neededList);
// Copies one file; the mode always carries the bit of value 2.
void CopyOneFile(LPCSTR source, LPCSTR destination, WORD mode, BOOL append);
void RemoveFile(LPCSTR path, LPCSTR name);
void BackupFile(LPCSTR path, LPCSTR backup);
void AddBlankToBillboardList(LONG ticks);
void WriteToLogFile(LPCSTR text);
