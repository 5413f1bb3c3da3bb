// The three tests a checked call makes on a toolkit answer. Each ends the run through
// the fatal stop; the checked calls, the detection queries and the helpers that read
// into a caller's buffer share them, so the rule lives in one place.
#pragma once

#include "platform/wintypes.h"

// False-result check: an answer of 0 (a flag or a reply code) is the fatal stop.
void StopUnlessTrue(long long answer);
// Overflow check: a count not below the caller's buffer size shows "Buffer Overflow"
// and is the fatal stop. Returns `buffer` otherwise.
LPSTR StopOnOverflow(LONG count, LONG size, LPSTR buffer);
// Quiet overflow check: as StopOnOverflow, without the message.
LPSTR StopOnQuietOverflow(LONG count, LONG size, LPSTR buffer);
// A list or symbol name that is missing or empty is the fatal stop.
void StopUnlessNamed(LPCSTR name);
