// The fatal stop and the teardown. The fatal dialog is shown once per run; any stop
// raised after the first one began, including one raised from inside it, only tears
// down and ends the process.
#include "session/fatal_stop.h"

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "platform/runtime.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "registry/registry_api.h"
#include "session/dialog_exchange.h"

namespace {
constexpr int FatalDialogId = 400;
}  // namespace

void FatalStop(int) {
    if (g_state.g_fatalShown == 0) {
        g_state.g_fatalShown = 1;
        KillAllDialogs();
        char eventWord[EventBufferSize];
        for (;;) {
            ShowDialog(SetupDialogLibrary, FatalDialogId, "FInfo0DlgProc", 0, nullptr, eventWord, EventBufferSize);
            int code = EventCode(eventWord);
            if (code == EventCancel || code == EventContinue) break;
        }
        KillDialogs(1);
    }
    TerminateSetup();
    ProcessExit(0);
}

void StopOnBufferOverflow() {
    DoMsgBox("Buffer Overflow", "MS-Setup Error", MB_ICONSTOP);
    FatalStop(StopError);
}

void TerminateSetup() {
    TerminateFrame();
    TerminateInstall();
    FreeRegistryApi();
}
