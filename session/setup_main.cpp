// The setup's main sequence and its start-up routines: frame and install layer, the
// start directory, bitmap and title, setup.inf, the source directory, and the
// Windows, system, INF and default spool directories.
#include "session/setup_main.h"

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "install/copy_list.h"
#include "install/registration.h"
#include "platform/runtime.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "registry/registry_api.h"
#include "selection/driver_choice.h"
#include "selection/welcome_screens.h"
#include "session/dialog_exchange.h"
#include "session/fatal_stop.h"

namespace {

constexpr int InfPathSize = 300;
constexpr int WindowsDirSize = 300;
constexpr int SystemDirLimit = 255;
constexpr int SourceDirLimit = 255;
constexpr int StartDirLimit = 255;
constexpr int SpoolDirSize = static_cast<int>(sizeof g_state.g_spoolDir);
constexpr const char *SpoolSuffix = "\\spool\\printers";
constexpr const char *InfSuffix = "\\inf\\";
// g_infDir holds 256 bytes: the Windows directory, "\inf\" and the terminator.
constexpr int LongestUsableWindowsDir = static_cast<int>(sizeof g_state.g_infDir) - 6;

// Appends a backslash unless the text already ends in one. The last character is found
// by stepping with CharNextA, so a double-byte character whose second byte has the
// backslash's code is not taken for one. `size` bounds the field.
void AppendBackslashIfMissing(char *text, int size) {
    const char *last = nullptr;
    for (const char *p = text; *p != '\0'; p = CharNextA(p)) last = p;
    bool endsInBackslash = last != nullptr && *last == '\\' && CharNextA(last) == last + 1;
    int length = lstrlenA(text);
    if (!endsInBackslash && length + 1 < size) {
        text[length] = '\\';
        text[length + 1] = '\0';
    }
}

void RecordStartDirectory() {
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD length = GetCurrentDirectoryA(StartDirLimit, g_state.g_startDir);
    SetErrorMode(previousMode);
    // A directory that cannot be read, or that is too long for the field (the call then
    // answers the size it needs and writes nothing), is recorded as empty.
    if (length == 0 || length >= static_cast<DWORD>(StartDirLimit)) g_state.g_startDir[0] = '\0';
    OemToCharA(g_state.g_startDir, g_state.g_startDir);
    AppendBackslashIfMissing(g_state.g_startDir, static_cast<int>(sizeof g_state.g_startDir));
}

[[noreturn]] void EndWithTeardown() {
    TerminateSetup();
    ProcessExit(0);
}

}  // namespace

void SetupMain(HINSTANCE, HINSTANCE, LPCSTR commandLineTail, int) {
    g_state.g_printerName[0] = '\0';
    if (InitSetupFrame(commandLineTail) <= 0) ProcessExit(0);
    // A registry library that cannot be loaded ends the setup quietly.
    if (LoadRegistryApi() == 0) EndWithTeardown();
    SetFrameBitmap(SetupDialogLibrary, 1);
    SetFrameTitle("Orvalen Plotter Driver Setup");
    char infPath[InfPathSize];
    FindFile("setup.inf", infPath, InfPathSize);
    // Also an empty path goes to the toolkit: its answer decides.
    OpenInfFile(infPath);
    ReadSymbol("STF_SRCDIR", g_state.g_sourceDir, SourceDirLimit);
    RunWelcome();
    // Only once: going back from the confirmation keeps the spool directory the user
    // entered.
    SetDefaultSpoolDir();
    for (;;) {
        RunSelection();
        if (ResolveSystemDirs() == 0) EndWithTeardown();
        if (RunConfirm() == 0) break;
    }
    QueueDriverFiles();
    InstallPlotter();
    FreeRegistryApi();
    KillAllDialogs();
    MessageBoxA(GetActiveWindow(), "Installation complete.", "Setup complete", MB_OK | MB_ICONINFORMATION);
    // Runs FreeRegistryApi again, which finds nothing left to release.
    EndWithTeardown();
}

int InitSetupFrame(LPCSTR commandLineTail) {
    if (g_state.g_frameState > 0) return 0;
    int frameState = InitializeFrame(commandLineTail);
    if (frameState == -1) return -1;
    // The frame gives no meaning to other results below 1; they are taken as failure
    // so that nothing half started is left behind.
    if (frameState <= 0) {
        TerminateSetup();
        return 0;
    }
    if (InitInstallLayer() == 0) {
        TerminateSetup();
        return 0;
    }
    g_state.g_frameState = frameState;
    RecordStartDirectory();
    return g_state.g_frameState;
}

int InitInstallLayer() {
    if (g_state.g_frameState > 0) return 0;
    HWND frame = HwndFrame();
    HINSTANCE instance = HinstFrame();
    return FInitializeInstall(instance, frame) != 0 ? 1 : 0;
}

void SetFrameBitmap(LPCSTR library, int bitmapNumber) {
    if (FSetBitmap(library, bitmapNumber) == 0) FatalStop(StopError);
}

void SetFrameTitle(LPCSTR text) { SetWindowTextA(HwndFrame(), text); }

LPSTR FindFile(LPCSTR name, LPSTR buffer, int size) {
    bool usable = buffer != nullptr && size > 0;
    if (usable) buffer[0] = ' ';
    int result = WFindFileUsingFileOpen(name, buffer, size);
    if (result == 0) return buffer;
    if (usable) buffer[0] = '\0';
    if (result != 1) FatalStop(StopError);
    return buffer;
}

void OpenInfFile(LPCSTR path) {
    if (FOpenInf(path, 1, 0) == 0) FatalStop(StopError);
}

void SetDefaultSpoolDir() {
    char windowsDir[WindowsDirSize];
    UINT result = GetWindowsDirectoryA(windowsDir, WindowsDirSize);
    // 0 is a failed read; a result not below the size is the size the call would need,
    // with nothing written.
    if (result == 0 || result >= static_cast<UINT>(WindowsDirSize)) return;
    int needed = lstrlenA(windowsDir) + lstrlenA(SpoolSuffix);
    if (needed <= SpoolDirSize - 1) wsprintfA(g_state.g_spoolDir, "%s%s", windowsDir, SpoolSuffix);
}

int ResolveSystemDirs() {
    UINT systemLength = GetSystemDirectoryA(g_state.g_systemDir, SystemDirLimit);
    // The result is not looked at beyond this: a failed or cut-short read must not leave
    // an earlier pass's text behind, and an empty directory fails the validation below.
    if (systemLength == 0 || systemLength >= static_cast<UINT>(SystemDirLimit)) g_state.g_systemDir[0] = '\0';
    UINT windowsLength = GetWindowsDirectoryA(g_state.g_infDir, SystemDirLimit);
    // A Windows directory longer than 250 characters leaves no room for "\inf\" in
    // g_infDir; it is treated like one that cannot be read, so the setup ends below.
    if (windowsLength == 0 || windowsLength > static_cast<UINT>(LongestUsableWindowsDir)) {
        g_state.g_infDir[0] = '\0';
        windowsLength = 0;
    }
    lstrcatA(g_state.g_infDir, InfSuffix);
    // A directory that fails validation runs the create-spool-directory exchange once,
    // whatever it answers, and the setup then ends without a message of its own.
    if (FValidDir(g_state.g_systemDir) == 0 || FValidDir(g_state.g_infDir) == 0) {
        RunCreateSpoolDir();
        return 0;
    }
    return static_cast<int>(windowsLength);
}
