// The plotter dialog: model, port, spool directory and default-printer choice, read
// into the setup state; and the trailing backslash the spool directory always gets.
#pragma once

#include <cstddef>

// Runs the plotter dialog until it is left with an event other than Cancel and Exit
// (those lead to the quit confirmation inside) and returns that event code.
int RunPlotterDialog();

// Appends a backslash to `path` (a buffer of `size` bytes) unless its last character
// already is one; an empty path becomes a single backslash. Returns 1 when the path
// ends in a backslash afterwards, 0 when there was no room for it (path unchanged).
int EnsureTrailingBackslash(char *path, std::size_t size);

// The ports offered when the spooler's port list cannot be had.
constexpr int FixedPortCount = 8;
extern const char *const FixedPorts[FixedPortCount];
