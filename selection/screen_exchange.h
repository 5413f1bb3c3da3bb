// The exchange every selection screen runs with its dialog: show it from the dialog
// library with a 15-byte event buffer and reduce the event word to its code.
#pragma once

#include "session/dialog_exchange.h"

// Shows dialog `dialogId` of the dialog library with its help dialog (0 and nullptr
// when it has none) and returns the event code of its answer.
int ShowScreen(int dialogId, const char *procedure, int helpId, const char *helpProcedure);

// A warning box over the active window; its answer is not read.
void ShowWarning(const char *text, const char *caption);
