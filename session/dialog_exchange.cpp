// The dialog exchange: show, drain, read the event word; close from the top of the
// dialog stack; the checked symbol read; the quit confirmation.
#include "session/dialog_exchange.h"

#include "include/setup_codes.h"
#include "platform/runtime.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "session/fatal_stop.h"

namespace {
constexpr int QuitDialogId = 200;
constexpr int GeneralHelpId = 900;
}  // namespace

void ShowDialog(LPCSTR library, int dialogId, LPCSTR procedure, int helpId, LPCSTR helpProcedure,
                LPSTR eventBuffer, int eventBufferSize) {
    ShowDialogEx(library, dialogId, procedure, library, helpId, helpProcedure, eventBuffer, eventBufferSize);
}

void ShowDialogEx(LPCSTR library, int dialogId, LPCSTR procedure, LPCSTR helpLibrary, int helpId,
                  LPCSTR helpProcedure, LPSTR eventBuffer, int eventBufferSize) {
    if (FDoDialogExt(HwndFrame(), library, dialogId, procedure, helpLibrary, helpId, helpProcedure) == 0) {
        FatalStop(StopError);
    }
    // A quit message posted while the dialog was up is found here, before its event
    // word is read.
    PumpMessages();
    ReadSymbol("DLGEVENT", eventBuffer, eventBufferSize);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        if (message.message == WM_QUIT) FatalStop(StopQuit);
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void KillDialogs(int count) {
    if (FKillNDialogs(count) == 0) FatalStop(StopError);
    PumpMessages();
}

void KillAllDialogs() { KillDialogs(-1); }

LPSTR ReadSymbol(LPCSTR name, LPSTR buffer, int size) {
    if (name == nullptr || name[0] == '\0') FatalStop(StopError);
    LONG length = CbGetSymbolValue(name, buffer, size);
    if (length >= size) StopOnBufferOverflow();
    return buffer;
}

int EventCode(LPCSTR eventWord) {
    if (eventWord == nullptr) return 0;
    auto first = static_cast<signed char>(eventWord[0]);
    // A byte after the terminator counts as 0 and is never read.
    auto second = first != 0 ? static_cast<signed char>(eventWord[1]) : static_cast<signed char>(0);
    return (first + second) & 0xFFFF;
}

void ConfirmQuit() {
    char eventWord[EventBufferSize];
    for (;;) {
        // Shown again without a close while the answer is none of the three: the quit
        // dialog stays on the stack until it is closed once.
        ShowDialog(SetupDialogLibrary, QuitDialogId, "FQuitDlgProc", GeneralHelpId, "FHelpDlgProc", eventWord,
                   EventBufferSize);
        int code = EventCode(eventWord);
        if (code == EventCancel || code == EventContinue) {
            KillDialogs(1);
            return;
        }
        if (code == EventExit) {
            KillAllDialogs();
            TerminateSetup();
            ProcessExit(0);
        }
    }
}
