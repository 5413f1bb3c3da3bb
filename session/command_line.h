// The command-line tail: what follows the program's own name on the command line.
#pragma once

#include "platform/wintypes.h"

// Skips the program's name (quoted or not) and the blanks after it. Returns a pointer
// into `commandLine`; an empty text for a null command line.
LPCSTR CommandLineTail(LPCSTR commandLine);
