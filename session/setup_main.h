// The setup's entry and main sequence, and the start-up routines that bring up the
// toolkit and fill the directory fields of the setup state.
#pragma once

#include "platform/wintypes.h"

// The program's entry. Never returns: every way out ends the process with code 0.
[[noreturn]] void SetupMain(HINSTANCE instance, HINSTANCE previousInstance, LPCSTR commandLineTail, int showState);

// Brings up the frame and the install layer and records the start directory.
// Above 0: ready (the frame's own result); 0: failed, teardown done; -1: end at once.
int InitSetupFrame(LPCSTR commandLineTail);
// 1 when the install layer came up; 0 when it failed or the frame was already up.
int InitInstallLayer();
void SetFrameBitmap(LPCSTR library, int bitmapNumber);
void SetFrameTitle(LPCSTR text);
// Looks for `name`; the buffer ends holding its full path, or empty when not found.
LPSTR FindFile(LPCSTR name, LPSTR buffer, int size);
void OpenInfFile(LPCSTR path);
// The Windows directory followed by "\spool\printers", when that fits g_spoolDir.
void SetDefaultSpoolDir();
// Reads g_systemDir and g_infDir and validates them. Non-zero: both usable.
int ResolveSystemDirs();
