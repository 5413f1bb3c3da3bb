// The fake setup toolkit: frame and install layer, the symbol store, the dialog stack
// with its scripted answers, and recorded stand-ins for the INF, copy-list, INI, log,
// Program Manager and detection calls.
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "tests/fake/fake_state.h"

#include <cstdlib>
#include <cstring>

using fake::detail::CopyOut;
using fake::detail::Enter;
using fake::detail::Num;
using fake::detail::Ptr;
using fake::detail::S;
using fake::detail::Str;

namespace {

constexpr int ShowingLimit = 10000;

// The common shape of a stand-in: recorded, scriptable, otherwise `answer`.
template <typename T>
T Answer(std::optional<long long> scripted, T answer) {
    return scripted ? static_cast<T>(*scripted) : answer;
}

LONG TextAnswer(std::optional<long long> scripted, const char *name, LPSTR buffer, LONG size) {
    if (scripted) return static_cast<LONG>(*scripted);
    auto found = S().textAnswers.find(name);
    return CopyOut(found == S().textAnswers.end() ? std::string() : found->second, buffer, size);
}

const char *OrEmpty(const char *text) { return text != nullptr ? text : ""; }

std::optional<std::string> StoredIniValue(LPCSTR file, LPCSTR section, LPCSTR key) {
    return fake::IniValue(OrEmpty(file), OrEmpty(section), OrEmpty(key));
}

bool IniSectionStored(LPCSTR file, LPCSTR section) {
    std::string prefix = fake::detail::IniStoreKey(OrEmpty(file), OrEmpty(section), "");
    auto found = S().iniValues.lower_bound(prefix);
    return found != S().iniValues.end() && found->first.compare(0, prefix.size(), prefix) == 0;
}

// Field `field` (from 1) of a dotted version text, 0 when it has none.
LONG VersionField(LPCSTR version, int field) {
    if (version == nullptr || field < 1) return 0;
    const char *p = version;
    for (int n = 1; n < field; ++n) {
        p = std::strchr(p, '.');
        if (p == nullptr) return 0;
        ++p;
    }
    return static_cast<LONG>(std::strtol(p, nullptr, 10));
}

fake::detail::Symbol *FindSymbol(LPCSTR name) {
    if (name == nullptr) return nullptr;
    auto found = S().symbols.find(name);
    return found == S().symbols.end() ? nullptr : &found->second;
}

bool IsKnown(const std::map<std::string, bool> &answers, LPCSTR path, bool fallback) {
    if (path == nullptr) return false;
    auto found = answers.find(path);
    return found == answers.end() ? fallback : found->second;
}

}  // namespace

// ---- Frame and install layer ----

int InitializeFrame(LPCSTR commandLineTail) { return Answer(Enter("InitializeFrame", {Str(commandLineTail)}), 1); }
HWND HwndFrame() {
    if (auto r = Enter("HwndFrame", {})) return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*r));
    return fake::FrameWindow();
}
HINSTANCE HinstFrame() {
    if (auto r = Enter("HinstFrame", {})) return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(*r));
    return fake::FrameInstance();
}
BOOL FInitializeInstall(HINSTANCE instance, HWND frame) {
    return Answer<BOOL>(Enter("FInitializeInstall", {Ptr(instance), Ptr(frame)}), TRUE);
}
BOOL FSetBitmap(LPCSTR library, int bitmapNumber) {
    return Answer<BOOL>(Enter("FSetBitmap", {Str(library), Num(bitmapNumber)}), TRUE);
}
BOOL FSetAbout(LPCSTR title, LPCSTR text) { return Answer<BOOL>(Enter("FSetAbout", {Str(title), Str(text)}), TRUE); }
BOOL FSetBeepingMode(BOOL beeping) { return Answer<BOOL>(Enter("FSetBeepingMode", {Num(beeping)}), TRUE); }
BOOL FSetSilent(BOOL silent) { return Answer<BOOL>(Enter("FSetSilent", {Num(silent)}), TRUE); }
HCURSOR HShowWaitCursor() {
    if (auto r = Enter("HShowWaitCursor", {})) return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(*r));
    return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(0x300));
}
BOOL FRestoreCursor(HCURSOR previous) { return Answer<BOOL>(Enter("FRestoreCursor", {Ptr(previous)}), TRUE); }
BOOL TerminateFrame() { return Answer<BOOL>(Enter("TerminateFrame", {}), TRUE); }
BOOL TerminateInstall() { return Answer<BOOL>(Enter("TerminateInstall", {}), TRUE); }

// ---- Symbols and lists ----

LONG CbGetSymbolValue(LPCSTR name, LPSTR buffer, LONG size) {
    if (auto r = Enter("CbGetSymbolValue", {Str(name), Num(size)})) return static_cast<LONG>(*r);
    return CopyOut(name != nullptr ? fake::Symbol(name) : std::string(), buffer, size);
}

BOOL FSetSymbolValue(LPCSTR name, LPCSTR value) {
    if (auto r = Enter("FSetSymbolValue", {Str(name), Str(value)})) return static_cast<BOOL>(*r);
    if (name == nullptr || name[0] == '\0') return FALSE;
    S().symbols[name].items = {value != nullptr ? value : ""};
    return TRUE;
}

BOOL FRemoveSymbol(LPCSTR name) {
    if (auto r = Enter("FRemoveSymbol", {Str(name)})) return static_cast<BOOL>(*r);
    if (name == nullptr || name[0] == '\0') return FALSE;
    S().symbols.erase(name);
    return TRUE;
}

BOOL FAddListItem(LPCSTR list, LPCSTR item) {
    if (auto r = Enter("FAddListItem", {Str(list), Str(item)})) return static_cast<BOOL>(*r);
    if (list == nullptr || list[0] == '\0') return FALSE;
    S().symbols[list].items.emplace_back(item != nullptr ? item : "");
    return TRUE;
}

BOOL FReplaceListItem(LPCSTR list, USHORT index, LPCSTR item) {
    if (auto r = Enter("FReplaceListItem", {Str(list), Num(index), Str(item)})) return static_cast<BOOL>(*r);
    fake::detail::Symbol *symbol = FindSymbol(list);
    if (symbol == nullptr || index < 1 || index > symbol->items.size()) return FALSE;
    symbol->items[index - 1] = item != nullptr ? item : "";
    return TRUE;
}

LONG CbGetListItem(LPCSTR list, USHORT index, LPSTR buffer, LONG size) {
    if (auto r = Enter("CbGetListItem", {Str(list), Num(index), Num(size)})) return static_cast<LONG>(*r);
    fake::detail::Symbol *symbol = FindSymbol(list);
    if (symbol == nullptr || index < 1 || index > symbol->items.size()) return CopyOut("", buffer, size);
    return CopyOut(symbol->items[index - 1], buffer, size);
}

USHORT UsGetListLength(LPCSTR list) {
    if (auto r = Enter("UsGetListLength", {Str(list)})) return static_cast<USHORT>(*r);
    fake::detail::Symbol *symbol = FindSymbol(list);
    return symbol == nullptr ? 0 : static_cast<USHORT>(symbol->items.size());
}

// ---- Dialogs ----

BOOL FDoDialogExt(HWND, LPCSTR library, int dialogId, LPCSTR procedure, LPCSTR helpLibrary, int helpId,
                  LPCSTR helpProcedure) {
    auto scripted = Enter("FDoDialogExt", {Str(library), Num(dialogId), Str(procedure), Str(helpLibrary), Num(helpId),
                                           Str(helpProcedure)});
    if (scripted) return static_cast<BOOL>(*scripted);
    fake::detail::State &s = S();
    if (++s.totalShowings > ShowingLimit) {
        throw fake::ScriptExhausted{"dialog " + std::to_string(dialogId) + " shown more than 10000 times"};
    }
    int attempt = s.answerIndex[dialogId]++;
    fake::DialogAnswer answer;
    auto script = s.dialogScripts.find(dialogId);
    if (script != s.dialogScripts.end() && !script->second.empty()) {
        std::size_t index = static_cast<std::size_t>(attempt);
        answer = script->second[index < script->second.size() ? index : script->second.size() - 1];
    }
    if (answer.fail) return FALSE;
    ++s.showCounts[dialogId];
    s.shownDialogs.push_back(dialogId);
    bool open = false;
    for (int id : s.dialogStack) open = open || id == dialogId;
    if (!open) s.dialogStack.push_back(dialogId);
    s.symbols["DLGEVENT"].items = {answer.event};
    for (const auto &[name, value] : answer.symbols) s.symbols[name].items = {value};
    for (const auto &[name, items] : answer.lists) s.symbols[name].items = items;
    if (answer.postQuit) s.messages.push_back(WM_QUIT);
    if (answer.action) answer.action();
    return TRUE;
}

BOOL FKillNDialogs(int count) {
    if (auto r = Enter("FKillNDialogs", {Num(count)})) return static_cast<BOOL>(*r);
    std::vector<int> &stack = S().dialogStack;
    if (count < 0) {
        stack.clear();
    } else {
        for (int i = 0; i < count && !stack.empty(); ++i) stack.pop_back();
    }
    return TRUE;
}

int DoMsgBox(LPCSTR text, LPCSTR caption, UINT style) {
    return Answer(Enter("DoMsgBox", {Str(text), Str(caption), Num(style)}), IDOK);
}
int EercErrorHandler(int errorCode, BOOL fatal, LPCSTR text1, LPCSTR text2, LPCSTR text3) {
    return Answer(Enter("EercErrorHandler", {Num(errorCode), Num(fatal), Str(text1), Str(text2), Str(text3)}), 0);
}
BOOL FAddToBillboardList(LPCSTR library, int dialogId, LPCSTR procedure, LONG ticks) {
    return Answer<BOOL>(Enter("FAddToBillboardList", {Str(library), Num(dialogId), Str(procedure), Num(ticks)}), TRUE);
}
BOOL FClearBillboardList() { return Answer<BOOL>(Enter("FClearBillboardList", {}), TRUE); }

// ---- INF files ----

int WFindFileUsingFileOpen(LPCSTR name, LPSTR buffer, int size) {
    if (auto r = Enter("WFindFileUsingFileOpen", {Str(name), Num(size)})) return static_cast<int>(*r);
    if (S().findFileResult == 0) CopyOut(S().findFilePath, buffer, size);
    return S().findFileResult;
}
BOOL FOpenInf(LPCSTR path, BOOL checkSyntax, BOOL checkSymbols) {
    return Answer<BOOL>(Enter("FOpenInf", {Str(path), Num(checkSyntax), Num(checkSymbols)}), TRUE);
}
LONG CbGetInfSectionKeyField(LPCSTR section, LPCSTR key, USHORT field, LPSTR buffer, LONG size) {
    auto r = Enter("CbGetInfSectionKeyField", {Str(section), Str(key), Num(field), Num(size)});
    if (!r) {
        std::string id = std::string(OrEmpty(section)) + '\n' + OrEmpty(key) + '\n' + std::to_string(field);
        if (auto found = S().infFields.find(id); found != S().infFields.end()) return CopyOut(found->second, buffer, size);
    }
    return TextAnswer(r, "CbGetInfSectionKeyField", buffer, size);
}
BOOL FSetSymbolToListOfInfKeys(LPCSTR symbol, LPCSTR section, BOOL includeUnkeyed) {
    return Answer<BOOL>(Enter("FSetSymbolToListOfInfKeys", {Str(symbol), Str(section), Num(includeUnkeyed)}), TRUE);
}
BOOL FMakeListInfSectionField(LPCSTR symbol, LPCSTR section, USHORT field) {
    return Answer<BOOL>(Enter("FMakeListInfSectionField", {Str(symbol), Str(section), Num(field)}), TRUE);
}

// ---- Paths and directories ----

BOOL FValidPath(LPCSTR path) { return Answer<BOOL>(Enter("FValidPath", {Str(path)}), TRUE); }
BOOL FValidDir(LPCSTR path) {
    return Answer<BOOL>(Enter("FValidDir", {Str(path)}), IsKnown(S().validDirs, path, S().validDirDefault));
}
BOOL FDirExists(LPCSTR path) {
    return Answer<BOOL>(Enter("FDirExists", {Str(path)}), IsKnown(S().existingDirs, path, S().dirExistsDefault));
}
BOOL FCreateDir(LPCSTR path, int mode) {
    if (auto r = Enter("FCreateDir", {Str(path), Num(mode)})) return static_cast<BOOL>(*r);
    if (path != nullptr) S().existingDirs[path] = true;
    return TRUE;
}
BOOL FRemoveDir(LPCSTR path) { return Answer<BOOL>(Enter("FRemoveDir", {Str(path)}), TRUE); }
BOOL FIsDirWritable(LPCSTR path) { return Answer<BOOL>(Enter("FIsDirWritable", {Str(path)}), TRUE); }
BOOL FIsFileWritable(LPCSTR path) {
    return Answer<BOOL>(Enter("FIsFileWritable", {Str(path)}), IsKnown(S().writableFiles, path, true));
}
BOOL FParsePathIntoPieces(LPCSTR path, LPSTR volume, LONG volumeSize, LPSTR directory, LONG directorySize,
                          LPSTR fileName, LONG fileNameSize) {
    auto r = Enter("FParsePathIntoPieces", {Str(path), Num(volumeSize), Num(directorySize), Num(fileNameSize)});
    if (r) return static_cast<BOOL>(*r);
    std::string whole = OrEmpty(path);
    std::size_t volumeEnd = whole.size() >= 2 && whole[1] == ':' ? 2 : 0;
    std::size_t lastSlash = whole.rfind('\\');
    std::size_t nameStart = lastSlash == std::string::npos || lastSlash < volumeEnd ? volumeEnd : lastSlash + 1;
    if (volume != nullptr) CopyOut(whole.substr(0, volumeEnd), volume, volumeSize);
    if (directory != nullptr) CopyOut(whole.substr(volumeEnd, nameStart - volumeEnd), directory, directorySize);
    if (fileName != nullptr) CopyOut(whole.substr(nameStart), fileName, fileNameSize);
    return TRUE;
}
BOOL FPrependToPath(LPCSTR pathList, LPCSTR directory, LPSTR result, LONG size) {
    if (auto r = Enter("FPrependToPath", {Str(pathList), Str(directory), Num(size)})) return static_cast<BOOL>(*r);
    std::string joined = std::string(directory != nullptr ? directory : "") + ";" + (pathList != nullptr ? pathList : "");
    CopyOut(joined, result, size);
    return TRUE;
}
BOOL FSetRestartDir(LPCSTR path) { return Answer<BOOL>(Enter("FSetRestartDir", {Str(path)}), TRUE); }
BOOL FRestartListEmpty() { return Answer<BOOL>(Enter("FRestartListEmpty", {}), TRUE); }
BOOL FExitExecRestart() { return Answer<BOOL>(Enter("FExitExecRestart", {}), TRUE); }

// ---- Copy list and copy engine ----

BOOL ResetCopyList() { return Answer<BOOL>(Enter("ResetCopyList", {}), TRUE); }
BOOL FAddSectionFilesToCopyList(LPCSTR section, LPCSTR sourceDir, LPCSTR destinationDir) {
    return Answer<BOOL>(Enter("FAddSectionFilesToCopyList", {Str(section), Str(sourceDir), Str(destinationDir)}), TRUE);
}
BOOL FAddSectionKeyFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationDir) {
    return Answer<BOOL>(
        Enter("FAddSectionKeyFileToCopyList", {Str(section), Str(key), Str(sourceDir), Str(destinationDir)}), TRUE);
}
BOOL FAddSpecialFileToCopyList(LPCSTR section, LPCSTR key, LPCSTR sourceDir, LPCSTR destinationPath) {
    return Answer<BOOL>(
        Enter("FAddSpecialFileToCopyList", {Str(section), Str(key), Str(sourceDir), Str(destinationPath)}), TRUE);
}
LONGLONG LcbGetCopyListCost(LPCSTR extraCostList, LPCSTR costList, LPCSTR neededList) {
    return Answer<LONGLONG>(Enter("LcbGetCopyListCost", {Str(extraCostList), Str(costList), Str(neededList)}), 0);
}
BOOL FDumpCopyListToFile(LPCSTR path) { return Answer<BOOL>(Enter("FDumpCopyListToFile", {Str(path)}), TRUE); }
BOOL FCopyOneFile(LPCSTR source, LPCSTR destination, WORD mode, BOOL append) {
    return Answer<BOOL>(Enter("FCopyOneFile", {Str(source), Str(destination), Num(mode), Num(append)}), TRUE);
}
BOOL ProSetPos(int x, int y) { return Answer<BOOL>(Enter("ProSetPos", {Num(x), Num(y)}), TRUE); }
int GrcCopyFilesInCopyList(HINSTANCE instance) {
    return Answer(Enter("GrcCopyFilesInCopyList", {Ptr(instance)}), S().copyResult);
}
int YnrcRemoveFile(LPCSTR path, LPCSTR name) { return Answer(Enter("YnrcRemoveFile", {Str(path), Str(name)}), 1); }
int YnrcBackupFile(LPCSTR path, LPCSTR backup, int mode) {
    return Answer(Enter("YnrcBackupFile", {Str(path), Str(backup), Num(mode)}), 1);
}
BOOL FStampResource(LPCSTR section, LPCSTR key, LPCSTR destination, int resourceType, int resourceId, LPCSTR data,
                    int dataSize) {
    return Answer<BOOL>(Enter("FStampResource", {Str(section), Str(key), Str(destination), Num(resourceType),
                                                 Num(resourceId), Str(data), Num(dataSize)}),
                        TRUE);
}

// ---- Program Manager ----

BOOL FCreateProgManGroup(LPCSTR group, LPCSTR path, int mode) {
    return Answer<BOOL>(Enter("FCreateProgManGroup", {Str(group), Str(path), Num(mode)}), TRUE);
}
BOOL FCreateProgManGroupEx(LPCSTR group, LPCSTR path, int mode, BOOL common) {
    return Answer<BOOL>(Enter("FCreateProgManGroupEx", {Str(group), Str(path), Num(mode), Num(common)}), TRUE);
}
BOOL FShowProgManGroup(LPCSTR group, LPCSTR command, int mode) {
    return Answer<BOOL>(Enter("FShowProgManGroup", {Str(group), Str(command), Num(mode)}), TRUE);
}
BOOL FShowProgManGroupEx(LPCSTR group, BOOL common, LPCSTR command, int mode) {
    return Answer<BOOL>(Enter("FShowProgManGroupEx", {Str(group), Num(common), Str(command), Num(mode)}), TRUE);
}
BOOL FCreateProgManItem(LPCSTR group, LPCSTR item, LPCSTR command, int mode) {
    return Answer<BOOL>(Enter("FCreateProgManItem", {Str(group), Str(item), Str(command), Num(mode)}), TRUE);
}
BOOL FCreateProgManItemEx(LPCSTR group, BOOL common, LPCSTR item, LPCSTR command, int mode) {
    return Answer<BOOL>(Enter("FCreateProgManItemEx", {Str(group), Num(common), Str(item), Str(command), Num(mode)}),
                        TRUE);
}

// ---- INI files ----

BOOL FCreateIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode) {
    auto r = Enter("FCreateIniKeyValue", {Str(file), Str(section), Str(key), Str(value), Num(mode)});
    if (r) return static_cast<BOOL>(*r);
    if (S().iniStoreOn) {
        S().iniValues[fake::detail::IniStoreKey(OrEmpty(file), OrEmpty(section), OrEmpty(key))] = OrEmpty(value);
    }
    return TRUE;
}
BOOL FCreateSysIniKeyValue(LPCSTR file, LPCSTR section, LPCSTR key, LPCSTR value, int mode) {
    return Answer<BOOL>(Enter("FCreateSysIniKeyValue", {Str(file), Str(section), Str(key), Str(value), Num(mode)}),
                        TRUE);
}
BOOL FRemoveIniSection(LPCSTR file, LPCSTR section, int mode) {
    return Answer<BOOL>(Enter("FRemoveIniSection", {Str(file), Str(section), Num(mode)}), TRUE);
}
BOOL FRemoveIniKey(LPCSTR file, LPCSTR section, LPCSTR key, int mode) {
    return Answer<BOOL>(Enter("FRemoveIniKey", {Str(file), Str(section), Str(key), Num(mode)}), TRUE);
}
LONG CbGetIniKeyString(LPCSTR file, LPCSTR section, LPCSTR key, LPSTR buffer, LONG size) {
    auto r = Enter("CbGetIniKeyString", {Str(file), Str(section), Str(key), Num(size)});
    if (r || !S().iniStoreOn) return TextAnswer(r, "CbGetIniKeyString", buffer, size);
    // A missing key writes nothing, as the toolkit does.
    std::optional<std::string> stored = StoredIniValue(file, section, key);
    return stored ? CopyOut(*stored, buffer, size) : 0;
}
BOOL FDoesIniSectionExist(LPCSTR file, LPCSTR section) {
    auto r = Enter("FDoesIniSectionExist", {Str(file), Str(section)});
    return Answer<BOOL>(r, !S().iniStoreOn || IniSectionStored(file, section));
}
BOOL FDoesIniKeyExist(LPCSTR file, LPCSTR section, LPCSTR key) {
    auto r = Enter("FDoesIniKeyExist", {Str(file), Str(section), Str(key)});
    return Answer<BOOL>(r, !S().iniStoreOn || StoredIniValue(file, section, key).has_value());
}

// ---- The setup log ----

BOOL FOpenLogFile(LPCSTR path, BOOL append) { return Answer<BOOL>(Enter("FOpenLogFile", {Str(path), Num(append)}), TRUE); }
BOOL FWriteToLogFile(LPCSTR text, BOOL request) {
    return Answer<BOOL>(Enter("FWriteToLogFile", {Str(text), Num(request)}), TRUE);
}
BOOL FCloseLogFile() { return Answer<BOOL>(Enter("FCloseLogFile", {}), TRUE); }

// ---- Detection ----

BOOL FIsValidDrive(int drive) { return Answer<BOOL>(Enter("FIsValidDrive", {Num(drive)}), TRUE); }
BOOL FIsLocalHardDrive(int drive) { return Answer<BOOL>(Enter("FIsLocalHardDrive", {Num(drive)}), TRUE); }
BOOL FIsRemoveDrive(int drive) { return Answer<BOOL>(Enter("FIsRemoveDrive", {Num(drive)}), TRUE); }
BOOL FIsRemoteDrive(int drive) { return Answer<BOOL>(Enter("FIsRemoteDrive", {Num(drive)}), TRUE); }
LONGLONG LcbTotalDrive(int drive) { return Answer<LONGLONG>(Enter("LcbTotalDrive", {Num(drive)}), 0); }
LONGLONG LcbFreeDrive(int drive) { return Answer<LONGLONG>(Enter("LcbFreeDrive", {Num(drive)}), 0); }
BOOL FGetValidDrivesList(LPCSTR symbol) { return Answer<BOOL>(Enter("FGetValidDrivesList", {Str(symbol)}), TRUE); }
BOOL FGetLocalHardDrivesList(LPCSTR symbol) {
    return Answer<BOOL>(Enter("FGetLocalHardDrivesList", {Str(symbol)}), TRUE);
}
BOOL FGetRemovableDrivesList(LPCSTR symbol) {
    return Answer<BOOL>(Enter("FGetRemovableDrivesList", {Str(symbol)}), TRUE);
}
BOOL FGetNetworkDrivesList(LPCSTR symbol) { return Answer<BOOL>(Enter("FGetNetworkDrivesList", {Str(symbol)}), TRUE); }
BOOL FGetParallelPortsList(LPCSTR symbol) { return Answer<BOOL>(Enter("FGetParallelPortsList", {Str(symbol)}), TRUE); }
BOOL FGetSerialPortsList(LPCSTR symbol) { return Answer<BOOL>(Enter("FGetSerialPortsList", {Str(symbol)}), TRUE); }
LONG CbGetEnvVariableValue(LPCSTR name, LPSTR buffer, LONG size) {
    return TextAnswer(Enter("CbGetEnvVariableValue", {Str(name), Num(size)}), "CbGetEnvVariableValue", buffer, size);
}
LONG CbGetDateOfFile(LPCSTR path, LPSTR buffer, LONG size) {
    return TextAnswer(Enter("CbGetDateOfFile", {Str(path), Num(size)}), "CbGetDateOfFile", buffer, size);
}
LONG CbGetVersionOfFile(LPCSTR path, LPSTR buffer, LONG size) {
    auto r = Enter("CbGetVersionOfFile", {Str(path), Num(size)});
    if (!r && path != nullptr) {
        if (auto found = S().fileVersions.find(path); found != S().fileVersions.end()) {
            return CopyOut(found->second, buffer, size);
        }
    }
    return TextAnswer(r, "CbGetVersionOfFile", buffer, size);
}
LONG CbFindTargetOnEnvVar(LPCSTR name, LPCSTR variable, LPSTR buffer, LONG size) {
    return TextAnswer(Enter("CbFindTargetOnEnvVar", {Str(name), Str(variable), Num(size)}), "CbFindTargetOnEnvVar",
                      buffer, size);
}
LONG CbFindFileInTree(LPCSTR name, LPCSTR root, LPSTR buffer, LONG size) {
    return TextAnswer(Enter("CbFindFileInTree", {Str(name), Str(root), Num(size)}), "CbFindFileInTree", buffer, size);
}
LONG LGetVersionNthField(LPCSTR version, int field) {
    return Answer<LONG>(Enter("LGetVersionNthField", {Str(version), Num(field)}), VersionField(version, field));
}
LONGLONG LcbGetSizeOfFile(LPCSTR path) { return Answer<LONGLONG>(Enter("LcbGetSizeOfFile", {Str(path)}), 0); }
BOOL FIsDriverInConfig(LPCSTR driver) { return Answer<BOOL>(Enter("FIsDriverInConfig", {Str(driver)}), TRUE); }
BOOL FHas87MathChip() { return Answer<BOOL>(Enter("FHas87MathChip", {}), TRUE); }
BOOL FHasMonochromeDisplay() { return Answer<BOOL>(Enter("FHasMonochromeDisplay", {}), TRUE); }
BOOL FHasMouseInstalled() { return Answer<BOOL>(Enter("FHasMouseInstalled", {}), TRUE); }
BOOL FDoesFileExist(LPCSTR path, int mode) {
    return Answer<BOOL>(Enter("FDoesFileExist", {Str(path), Num(mode)}), IsKnown(S().existingFiles, path, true));
}
BOOL FGetProcessorType(LONG *state, int reserved, LPSTR buffer, LONG size) {
    if (auto r = Enter("FGetProcessorType", {Ptr(state), Num(reserved), Num(size)})) return static_cast<BOOL>(*r);
    if (auto found = S().textAnswers.find("FGetProcessorType"); found != S().textAnswers.end()) {
        CopyOut(found->second, buffer, size);
    } else {
        CopyOut("", buffer, size);
    }
    return TRUE;
}
