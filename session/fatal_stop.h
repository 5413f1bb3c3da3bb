// The fatal stop, the single answer to every failure no screen handles itself, and
// the teardown that every way out runs before the process ends.
#pragma once

// Shows the fatal dialog once per run, tears down and ends the process with code 0.
// `stopCode` (StopError or StopQuit) says why; it changes nothing the user sees.
[[noreturn]] void FatalStop(int stopCode);
// Shows the toolkit's "Buffer Overflow" message, then the fatal stop: the one answer
// to a text that did not fit the buffer it was read into.
[[noreturn]] void StopOnBufferOverflow();
// Releases the frame, the install layer and the registry library. Safe when they
// never came up or were already released.
void TerminateSetup();
