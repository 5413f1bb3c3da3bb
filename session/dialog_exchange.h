// The dialog exchange: showing and closing dialogs of the dialog library, draining
// the message queue, reading symbols with an overflow check, the event code of an
// event word, and the quit confirmation every screen runs.
#pragma once

#include "platform/wintypes.h"

// The library that holds every dialog the setup shows.
constexpr const char *SetupDialogLibrary = "mscuistf.dll";
// Size of every event buffer; an event word of up to 14 characters fits.
constexpr int EventBufferSize = 15;

// Shows a dialog (help dialog from the same library) and leaves its event word in
// `eventBuffer`. Any failure ends in the fatal stop.
void ShowDialog(LPCSTR library, int dialogId, LPCSTR procedure, int helpId, LPCSTR helpProcedure,
                LPSTR eventBuffer, int eventBufferSize);
// As ShowDialog, with the help dialog taken from `helpLibrary`.
void ShowDialogEx(LPCSTR library, int dialogId, LPCSTR procedure, LPCSTR helpLibrary, int helpId,
                  LPCSTR helpProcedure, LPSTR eventBuffer, int eventBufferSize);
// Drains the thread's message queue without waiting; a quit message is a fatal stop.
void PumpMessages();
// Closes the top `count` dialogs; -1 closes all of them.
void KillDialogs(int count);
void KillAllDialogs();
// Reads a symbol's value into `buffer`; a value that does not fit shows "Buffer
// Overflow" and ends in the fatal stop. Returns the buffer.
LPSTR ReadSymbol(LPCSTR name, LPSTR buffer, int size);
// The 16-bit code of an event word: its first two bytes read as signed 8-bit values,
// added, modulo 65536.
int EventCode(LPCSTR eventWord);
// Asks whether to quit. Returns when the user stays; ends the process otherwise.
void ConfirmQuit();
