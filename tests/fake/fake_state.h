// Inside the fake platform: the one state all its calls share, and the helpers that
// record a call and apply a scripted failure.
#pragma once

#include "tests/fake/fake_platform.h"

#include <deque>
#include <set>

namespace fake::detail {

struct Symbol {
    std::vector<std::string> items;
};

struct RegistryValueData {
    std::string name;
    DWORD type = 1;
    std::string bytes;
};

struct RegistryKey {
    std::string name;  // last part of the path, as it was created
    std::map<std::string, RegistryValueData> values;  // by lower-case name
};

struct State {
    std::vector<Call> calls;
    std::map<std::string, std::deque<Failure>> failures;

    std::map<int, std::vector<DialogAnswer>> dialogScripts;
    std::map<int, int> showCounts;
    std::map<int, int> answerIndex;  // showings asked for, failed ones included
    std::vector<int> shownDialogs;
    std::vector<int> dialogStack;
    int totalShowings = 0;

    std::map<std::string, Symbol> symbols;
    std::deque<UINT> messages;

    std::string windowsDir = "C:\\WINNT";
    std::string systemDir = "C:\\WINNT\\system32";
    std::string currentDir = "A:\\";
    HWND activeWindow = nullptr;
    UINT errorMode = 0;
    DWORD lastError = 0;
    std::map<std::string, bool> validDirs;
    bool validDirDefault = true;
    std::map<std::string, bool> existingDirs;
    bool dirExistsDefault = true;
    int findFileResult = 0;
    std::string findFilePath = "A:\\SETUP.INF";
    int copyResult = 0;
    std::map<std::string, std::string> textAnswers;
    std::map<std::string, bool> existingFiles;
    std::map<std::string, std::string> fileVersions;
    std::map<std::string, bool> writableFiles;
    std::map<std::string, std::string> infFields;  // by "section\nkey\nfield"
    bool iniStoreOn = false;
    std::map<std::string, std::string> iniValues;  // by lower-case "file\nsection\nkey"
    std::set<std::string> withheldProcs;
    int loadedModules = 0;
    std::uintptr_t nextHandle = 0x10000;

    std::vector<std::string> ports{"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "FILE:"};
    std::vector<DriverRecord> drivers;
    std::vector<std::string> printers;
    std::vector<PrinterRecord> addedPrinters;
    std::map<HANDLE, std::string> printerHandles;

    std::map<std::string, RegistryKey> registry;  // by lower-case full path
    std::map<HKEY, std::string> openKeys;         // handle -> lower-case full path

    int liveHeapBuffers = 0;
};

State &S();

// Records the call. Then, when a failure is scripted for it, sets the last error and
// returns the scripted result; the caller returns that without doing anything else.
std::optional<long long> Enter(const char *name, std::vector<std::string> args);

// Argument texts.
std::string Str(const char *text);
std::string Num(long long value);
std::string Ptr(const void *pointer);

// Copies `text` into `buffer` of `size` bytes (terminated, cut to fit); returns the
// full length.
LONG CopyOut(const std::string &text, char *buffer, LONG size);

std::uintptr_t NewHandleValue();
std::string Lower(std::string text);
std::string IniStoreKey(const std::string &file, const std::string &section, const std::string &key);

void ResetRegistry();

}  // namespace fake::detail
