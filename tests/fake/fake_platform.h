// A scriptable fake of the whole platform seam for the system's unit tests. It defines
// every call of platform/win32.h (the text calls come from orv_text), registry.h,
// spooler.h, toolkit.h and runtime.h; records each call with its arguments; answers
// from a script; keeps a real symbol store, dialog stack, message queue, registry and
// spooler; and turns ProcessExit into the exception ProcessExited.
//
// Each test starts with fake::Reset(). Unscripted calls succeed: flag calls answer 1,
// counts answer 0 with an empty buffer, dialogs answer the event word "CONTINUE".
#pragma once

#include "platform/wintypes.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fake {

// ---- Start and end -------------------------------------------------------------

// Clears every script and record, the symbols, dialogs, messages, registry, spooler
// and heap accounting, puts the directories back to their defaults, sets the code
// pages to 1252/437, and resets the setup state and the registry entry-point table.
void Reset();

// Thrown by ProcessExit.
struct ProcessExited {
    int code;
};

// Thrown when a script would loop for ever (more than 10000 dialog showings in one
// test), so that a faulty screen fails its test instead of hanging it.
struct ScriptExhausted {
    std::string what;
};

// Runs `body`, which must end the process. Returns the exit code; a body that returns
// normally fails the current test and yields -1.
int RunUntilExit(const std::function<void()> &body);

// ---- Records ---------------------------------------------------------------------

// One platform call: its name and its arguments as text. Strings are given as they
// are ("NULL" for a null pointer), numbers in decimal, handles and other pointers as
// "NULL" or hexadecimal. Output buffers are given by their size only. FDoDialogExt
// leaves out its owner window, which is always the frame.
struct Call {
    std::string name;
    std::vector<std::string> args;
    // "Name(arg1,arg2,...)", e.g.
    // "FDoDialogExt(mscuistf.dll,100,FInfoDlgProc,mscuistf.dll,900,FHelpDlgProc)".
    std::string Text() const;
};

const std::vector<Call> &Calls();
// The text of every call, in order; with names given, only the calls of those names.
std::vector<std::string> CallTexts();
std::vector<std::string> CallTexts(const std::vector<std::string> &names);
// The names of every call, in order; with names given, only those.
std::vector<std::string> CallNames();
std::vector<std::string> CallNames(const std::vector<std::string> &names);
int CountCalls(std::string_view name);
// Forgets the calls recorded so far (the script stays).
void ClearCalls();
// Adds a record that is no platform call, e.g. from a test's stand-in for a screen,
// so that it shows in the order of the calls.
void Note(const std::string &name, const std::vector<std::string> &args = {});

// ---- Failing or re-answering any call ---------------------------------------------

constexpr int AllCalls = -1;

struct Failure {
    long long result = 0;  // what the call returns (0 is NULL for a handle or pointer)
    DWORD lastError = 0;   // set as the last error when not 0
    int times = AllCalls;  // the next `times` calls, or every call
};

// The named call, when made, is recorded and then only returns `result` (after
// setting the last error): it writes no output and changes no state. Also the way to
// script a result that is no failure, e.g. FailCall("InitializeFrame", {.result = -1}).
// Several scripts for one name are used one after the other.
void FailCall(const std::string &name, Failure failure = {});

// ---- Dialogs ----------------------------------------------------------------------

// What a dialog answers at one showing.
struct DialogAnswer {
    std::string event = "CONTINUE";                           // value of "DLGEVENT"
    std::map<std::string, std::string> symbols;               // value symbols set
    std::map<std::string, std::vector<std::string>> lists;    // list symbols set (replaced)
    bool postQuit = false;   // a quit message (WM_QUIT) is queued as the dialog returns
    bool fail = false;       // FDoDialogExt returns 0; nothing is set or pushed
    std::function<void()> action;  // run as the dialog returns, after the symbols are set
};

// Scripts the answers of dialog `dialogId`: the n-th showing takes the n-th answer,
// and the last one repeats. Replaces an earlier script for that id.
void ScriptDialog(int dialogId, std::vector<DialogAnswer> answers);
// Shorthand: answers that only set "DLGEVENT", e.g. ScriptEvents(200, {"BACK", "CONTINUE"}).
void ScriptEvents(int dialogId, const std::vector<std::string> &events);
// How often dialog `dialogId` was shown (FDoDialogExt calls that succeeded).
int ShowCount(int dialogId);
// The ids of the dialogs in the order they were shown.
std::vector<int> ShownDialogs();
// The open dialogs, bottom first.
std::vector<int> OpenDialogs();

// ---- Symbols ----------------------------------------------------------------------

// The store behind CbGetSymbolValue, FSetSymbolValue, FRemoveSymbol, FAddListItem,
// FReplaceListItem, CbGetListItem and UsGetListLength. A value is a list of one item;
// the value of a list of several items reads {"a","b"}.
void SetSymbol(const std::string &name, const std::string &value);
void SetList(const std::string &name, const std::vector<std::string> &items);
bool HasSymbol(const std::string &name);
std::string Symbol(const std::string &name);  // empty when missing
std::vector<std::string> List(const std::string &name);

// ---- Messages ---------------------------------------------------------------------

// Queues a message for PeekMessageA; PostQuit queues WM_QUIT (18).
void PostMessage(UINT message);
void PostQuit();
std::size_t QueuedMessages();

// ---- Machine facts ------------------------------------------------------------------

void SetWindowsDirectory(const std::string &path);  // default "C:\WINNT"
void SetSystemDirectory(const std::string &path);   // default "C:\WINNT\system32"
void SetCurrentDirectory(const std::string &path);  // default "A:\"
void SetActiveWindow(HWND window);                  // default: the frame window
HWND FrameWindow();
HINSTANCE FrameInstance();
// Answers of FValidDir and FDirExists for one path (exact text); other paths answer
// the default, which starts as 1.
void SetValidDir(const std::string &path, bool valid);
void SetValidDirDefault(bool valid);
void SetDirExists(const std::string &path, bool exists);
void SetDirExistsDefault(bool exists);
// WFindFileUsingFileOpen: its result and, for 0, the path it fills in (bounded by the
// caller's size). Default: 0 and "A:\SETUP.INF".
void SetFindFileAnswer(int result, const std::string &path);
// GrcCopyFilesInCopyList's result (default 0).
void SetCopyResult(int result);
// Text a Cb... call copies into its buffer (bounded), answering its full length, for
// the calls without a store of their own (e.g. CbGetIniKeyString, CbGetVersionOfFile).
void SetTextAnswer(const std::string &callName, const std::string &text);
// Files as the detection calls see them, by exact path text. FDoesFileExist answers
// 1 for a path not named here; CbGetVersionOfFile answers the file's version, or the
// text answer of "CbGetVersionOfFile" for a path without one; FIsFileWritable answers
// 1 for a path not named here. LGetVersionNthField reads the dotted fields of its text
// (0 for a field that is not there); FParsePathIntoPieces splits a path into "X:", the
// directory up to its last backslash and the name after it.
void SetFileExists(const std::string &path, bool exists);
void SetFileVersion(const std::string &path, const std::string &version);
void SetFileWritable(const std::string &path, bool writable);
// Field `field` of the INF line `key` in `section`, answered by CbGetInfSectionKeyField
// (bounded, with its full length); a field not set falls back to the text answer of
// "CbGetInfSectionKeyField".
void SetInfField(const std::string &section, const std::string &key, int field, const std::string &text);
// An INI store behind FCreateIniKeyValue, CbGetIniKeyString, FDoesIniKeyExist and
// FDoesIniSectionExist (file, section and key compared without regard to ASCII case).
// Off until UseIniStore or SetIniValue is called; while off those calls keep their
// plain answers (1, and the text answer of "CbGetIniKeyString").
void UseIniStore();
void SetIniValue(const std::string &file, const std::string &section, const std::string &key,
                 const std::string &value);
std::optional<std::string> IniValue(const std::string &file, const std::string &section, const std::string &key);
// GetProcAddress answers NULL for this name. Other names answer a function: the fake's
// own registry call of that name, or a stand-in.
void WithholdProc(const std::string &name);
// Modules loaded with LoadLibraryA and not yet freed.
int LoadedModules();
DWORD LastError();

// ---- Spooler --------------------------------------------------------------------------

struct DriverRecord {
    std::string name;
    std::string environment = "Windows NT x86";
    std::string driverPath;
    std::string dataFile;
    std::string configFile;
    DWORD version = 2;
};

// A printer added through AddPrinterA, with the record's texts (NULL as "").
struct PrinterRecord {
    std::string printerName;
    std::string shareName;
    std::string portName;
    std::string driverName;
    std::string comment;
    std::string location;
    std::string sepFile;
    std::string printProcessor;
    std::string datatype;
    std::string parameters;
    DWORD attributes = 0;
    DWORD priority = 0;
    DWORD defaultPriority = 0;
};

// Ports for EnumPortsA level 1 (default: "LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:",
// "FILE:"), drivers for EnumPrinterDriversA level 2 (default: none), printers that
// OpenPrinterA finds (default: none).
void SetPorts(const std::vector<std::string> &ports);
void SetDrivers(const std::vector<DriverRecord> &drivers);
void SetPrinters(const std::vector<std::string> &printers);
std::vector<DriverRecord> Drivers();       // as they stand after the calls
std::vector<std::string> Printers();       // existing printers, deleted ones gone
std::vector<PrinterRecord> AddedPrinters();  // every successful AddPrinterA
int OpenPrinterHandles();                  // handles opened and not yet closed

// ---- Registry ---------------------------------------------------------------------------

// Keys are full paths under the root's name, e.g.
// "HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Print\Printers\X"; compared
// without regard to ASCII case. Values are strings (REG_SZ) unless written otherwise.
void AddRegistryKey(const std::string &path);
void SetRegistryValue(const std::string &path, const std::string &valueName, const std::string &value);
bool RegistryKeyExists(const std::string &path);
std::optional<std::string> RegistryValue(const std::string &path, const std::string &valueName);
std::vector<std::string> RegistrySubKeys(const std::string &path);
int OpenRegistryKeys();  // keys opened or created and not yet closed

// ---- Heap -------------------------------------------------------------------------------

// Buffers from HeapAllocZeroed not yet released. A failing HeapAllocZeroed is scripted
// with FailCall("HeapAllocZeroed").
int LiveHeapBuffers();

}  // namespace fake
