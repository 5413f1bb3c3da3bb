// The check rules of the checked calls.
#include "toolkit/checks.h"

#include "include/setup_codes.h"
#include "session/fatal_stop.h"

void StopUnlessTrue(long long answer) {
    if (answer == 0) FatalStop(StopError);
}

LPSTR StopOnOverflow(LONG count, LONG size, LPSTR buffer) {
    if (count >= size) StopOnBufferOverflow();
    return buffer;
}

LPSTR StopOnQuietOverflow(LONG count, LONG size, LPSTR buffer) {
    if (count >= size) FatalStop(StopError);
    return buffer;
}

void StopUnlessNamed(LPCSTR name) {
    if (name == nullptr || name[0] == '\0') FatalStop(StopError);
}
