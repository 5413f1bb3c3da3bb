// The command-line tail: the program's name and the blanks after it are skipped, the
// rest is handed to the frame unchanged.
#include "session/command_line.h"

LPCSTR CommandLineTail(LPCSTR commandLine) {
    if (commandLine == nullptr) return "";
    // Bytes are read unsigned: a name byte above 127 is part of the name, not a blank.
    auto p = reinterpret_cast<const unsigned char *>(commandLine);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p > ' ') ++p;
    }
    while (*p != '\0' && *p <= ' ') ++p;
    return reinterpret_cast<LPCSTR>(p);
}
