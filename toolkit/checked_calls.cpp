// The checked calls: each passes its arguments to the toolkit entry point it is named
// after and lets one of the shared check rules (toolkit/checks.h) judge the answer.
#include "toolkit/checked_calls.h"

#include "include/setup_codes.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "session/fatal_stop.h"
#include "toolkit/checks.h"
#include "toolkit/text_helpers.h"

namespace {

constexpr LONG NumericFieldSize = 128;
constexpr int CommandTextSize = 256;
constexpr WORD CopyModeBit = 2;

// One INF field of the key's line. The overflow test comes before the -1 test, so a
// field that cannot be read stops without the "Buffer Overflow" message.
LPSTR ReadInfField(LPCSTR section, LPCSTR key, USHORT field, LPSTR buffer, LONG size) {
    LONG count = CbGetInfSectionKeyField(section, key, field, buffer, size);
    StopOnOverflow(count, size, buffer);
    if (count == -1) FatalStop(StopError);
    return buffer;
}

void ListInfField(LPCSTR symbol, LPCSTR section, USHORT field) {
    StopUnlessTrue(FMakeListInfSectionField(symbol, section, field));
}

// The show command's decimal text, in the caller's 256-byte buffer.
LPCSTR CommandText(int command, char (&text)[CommandTextSize]) {
    wsprintfA(text, "%d", command);
    return text;
}

// The item's text: `item` alone, or "item,extra" built in ConcatThree's buffer.
LPCSTR JoinedItem(LPCSTR item, LPCSTR extra) {
    if (extra == nullptr || extra[0] == '\0') return item;
    return ConcatThree(item, ",", extra);
}

}  // namespace

void SetFrameAbout(LPCSTR title, LPCSTR text) { StopUnlessTrue(FSetAbout(title, text)); }
void AddListItem(LPCSTR list, LPCSTR item) { StopUnlessTrue(FAddListItem(list, item)); }
void ReplaceListItem(LPCSTR list, USHORT index, LPCSTR item) { StopUnlessTrue(FReplaceListItem(list, index, item)); }
void SetSymbolValue(LPCSTR name, LPCSTR value) { StopUnlessTrue(FSetSymbolValue(name, value)); }
void RemoveSymbol(LPCSTR name) { StopUnlessTrue(FRemoveSymbol(name)); }
void CreateDir(LPCSTR path, int mode) { StopUnlessTrue(FCreateDir(path, mode)); }
void RemoveDir(LPCSTR path) { StopUnlessTrue(FRemoveDir(path)); }
void RemoveIniKey(LPCSTR file, LPCSTR section, LPCSTR key, int mode) {
    StopUnlessTrue(FRemoveIniKey(file, section, key, mode));
}
void CreateSysIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode) {
    StopUnlessTrue(FCreateSysIniKeyValue(file, section, key, value, mode));
}
void CreateProgManGroup(LPCSTR group, LPCSTR path, int mode) { StopUnlessTrue(FCreateProgManGroup(group, path, mode)); }
void CreateProgManGroupEx(LPCSTR group, LPCSTR path, int mode, BOOL common) {
    StopUnlessTrue(FCreateProgManGroupEx(group, path, mode, common));
}
void StampResource(LPCSTR section, LPCSTR key, LPCSTR destination, int resourceType, int resourceId, LPCSTR data,
                   int dataSize) {
    StopUnlessTrue(FStampResource(section, key, destination, resourceType, resourceId, data, dataSize));
}
void DumpCopyListToFile(LPCSTR path) { StopUnlessTrue(FDumpCopyListToFile(path)); }
void AddSectionKeyFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationDir) {
    StopUnlessTrue(FAddSectionKeyFileToCopyList(section, key, sourceDir, destinationDir));
}
void AddSpecialFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationPath) {
    StopUnlessTrue(FAddSpecialFileToCopyList(section, key, sourceDir, destinationPath));
}
void AddToBillboardList(LPCSTR library, int dialogId, LPCSTR procedure, LONG ticks) {
    StopUnlessTrue(FAddToBillboardList(library, dialogId, procedure, ticks));
}
void ClearBillboardList() { StopUnlessTrue(FClearBillboardList()); }
void OpenLogFile(LPCSTR path, BOOL append) { StopUnlessTrue(FOpenLogFile(path, append)); }
void CloseLogFile() { StopUnlessTrue(FCloseLogFile()); }
void SetRestartDir(LPCSTR path) { StopUnlessTrue(FSetRestartDir(path)); }
void PrependToPath(LPCSTR pathList, LPCSTR directory, LPSTR result, LONG size) {
    StopUnlessTrue(FPrependToPath(pathList, directory, result, size));
}

BOOL SetBeepingMode(BOOL beeping) { return FSetBeepingMode(beeping); }
BOOL SetSilent(BOOL silent) { return FSetSilent(silent); }
BOOL IsDirWritable(LPCSTR path) { return FIsDirWritable(path); }
BOOL IsFileWritable(LPCSTR path) { return FIsFileWritable(path); }
BOOL RestartListEmpty() { return FRestartListEmpty(); }
BOOL ExitExecRestart() { return FExitExecRestart(); }

USHORT GetListLength(LPCSTR list) {
    StopUnlessNamed(list);
    return UsGetListLength(list);
}

LPSTR GetListItem(LPCSTR list, int index, LPSTR buffer, LONG size) {
    StopUnlessNamed(list);
    // The index is tested as an int before the toolkit's 16-bit index sees it, so no
    // value wraps round into a valid position.
    if (index < 1 || index > GetListLength(list)) FatalStop(StopError);
    return StopOnOverflow(CbGetListItem(list, static_cast<USHORT>(index), buffer, size), size, buffer);
}

void SetSymbolToListOfInfKeys(LPCSTR symbol, LPCSTR section) {
    StopUnlessTrue(FSetSymbolToListOfInfKeys(symbol, section, 1));
}

LPSTR GetInfFieldOne(LPCSTR section, LPCSTR key, LPSTR buffer, LONG size) {
    return ReadInfField(section, key, 1, buffer, size);
}
LPSTR GetInfFieldFive(LPCSTR section, LPCSTR key, LPSTR buffer, LONG size) {
    return ReadInfField(section, key, 5, buffer, size);
}
LPSTR GetInfFieldNineteen(LPCSTR section, LPCSTR key, LPSTR buffer, LONG size) {
    return ReadInfField(section, key, 19, buffer, size);
}

LONG GetInfFieldFifteen(LPCSTR section, LPCSTR key) {
    char field[NumericFieldSize] = {};
    ReadInfField(section, key, 15, field, NumericFieldSize);
    return ReadSignedDecimal(field, NumericFieldSize);
}

void ListInfFieldOne(LPCSTR symbol, LPCSTR section) { ListInfField(symbol, section, 1); }
void ListInfFieldFive(LPCSTR symbol, LPCSTR section) { ListInfField(symbol, section, 5); }
void ListInfFieldEleven(LPCSTR symbol, LPCSTR section) { ListInfField(symbol, section, 11); }
void ListInfFieldFifteen(LPCSTR symbol, LPCSTR section) { ListInfField(symbol, section, 15); }
void ListInfFieldNineteen(LPCSTR symbol, LPCSTR section) { ListInfField(symbol, section, 19); }

void ShowProgManGroup(LPCSTR group, int command, int mode) {
    char text[CommandTextSize];
    StopUnlessTrue(FShowProgManGroup(group, CommandText(command, text), mode));
}

void ShowProgManGroupEx(LPCSTR group, BOOL common, int command, int mode) {
    char text[CommandTextSize];
    StopUnlessTrue(FShowProgManGroupEx(group, common, CommandText(command, text), mode));
}

void CreateProgManItem(LPCSTR group, LPCSTR item, LPCSTR command, LPCSTR extra, int mode) {
    StopUnlessTrue(FCreateProgManItem(group, JoinedItem(item, extra), command, mode));
}

void CreateProgManItemEx(LPCSTR group, BOOL common, LPCSTR item, LPCSTR command, LPCSTR extra, int mode) {
    StopUnlessTrue(FCreateProgManItemEx(group, common, JoinedItem(item, extra), command, mode));
}

LONGLONG GetCopyListCost(LPCSTR extraCostList, LPCSTR costList, LPCSTR neededList) {
    LONGLONG total = LcbGetCopyListCost(extraCostList, costList, neededList);
    if (total < 0) FatalStop(StopError);
    return total;
}

void CopyOneFile(LPCSTR source, LPCSTR destination, WORD mode, BOOL append) {
    StopUnlessTrue(FCopyOneFile(source, destination, static_cast<WORD>(mode | CopyModeBit), append));
}

void RemoveFile(LPCSTR path, LPCSTR name) { StopUnlessTrue(YnrcRemoveFile(path, name)); }
void BackupFile(LPCSTR path, LPCSTR backup) { StopUnlessTrue(YnrcBackupFile(path, backup, 0)); }
void AddBlankToBillboardList(LONG ticks) { StopUnlessTrue(FAddToBillboardList(nullptr, 0, nullptr, ticks)); }
void WriteToLogFile(LPCSTR text) { StopUnlessTrue(FWriteToLogFile(text, 1)); }
