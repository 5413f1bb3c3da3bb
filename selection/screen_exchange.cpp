// The dialog exchange as the selection screens use it.
#include "selection/screen_exchange.h"

#include "platform/win32.h"
#include "session/dialog_exchange.h"

int ShowScreen(int dialogId, const char *procedure, int helpId, const char *helpProcedure) {
    char eventWord[EventBufferSize];
    ShowDialog(SetupDialogLibrary, dialogId, procedure, helpId, helpProcedure, eventWord, EventBufferSize);
    return EventCode(eventWord);
}

void ShowWarning(const char *text, const char *caption) { MessageBoxA(GetActiveWindow(), text, caption, MB_ICONWARNING); }
