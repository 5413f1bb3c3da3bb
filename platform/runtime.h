// What the setup takes from the C runtime, routed through the seam so that a test can
// watch it: process exit, zero-filled heap buffers, decimal conversion.
#pragma once

#include <cstddef>

// Ends the process with the given code. Never returns.
[[noreturn]] void ProcessExit(int code);

// A zero-filled heap buffer of `size` bytes (a size of 0 still yields a buffer), or
// nullptr when none can be had. Released with HeapRelease.
void *HeapAllocZeroed(std::size_t size);
void HeapRelease(void *buffer);
