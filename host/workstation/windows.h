// Hooks through which the front ends and the toolkit take part in the workstation's
// windows, messages and process exit: message boxes, the frame's title, the active
// window, the quit message that Ctrl-C posts, and what runs at exit.
#pragma once

#include <functional>

#include "platform/wintypes.h"

namespace orv::host {

using MessageBoxHandler = std::function<int(HWND owner, const char* text, const char* caption, UINT style)>;
using WindowTextHandler = std::function<void(const char* text)>;

// Who shows MessageBoxA; an empty handler restores the default, which prints the
// caption and text to stderr and answers IDOK.
void SetMessageBoxHandler(MessageBoxHandler handler);
// Who shows the frame's title set by SetWindowTextA; by default it is only kept.
void SetWindowTextHandler(WindowTextHandler handler);
// The last title set by SetWindowTextA.
const char* WindowText();
// What GetActiveWindow answers: the toolkit's frame window, or nullptr.
void SetFrameWindow(HWND window);

// Posts WM_QUIT (18); PeekMessageA finds it.
void PostQuitMessage();
bool QuitMessagePending();
// Whether the program has taken a quit message from the queue in this run: it then
// ends through its fatal stop, and the fatal dialog can say it was interrupted.
bool QuitMessageTaken();
void ClearQuitMessage();
// SIGINT, SIGTERM and SIGHUP post WM_QUIT. A second signal before the program has
// taken the first ends the process the ordinary way, so a program that stopped
// pumping messages can still be stopped.
void InstallQuitSignalHandlers();

// Runs in ProcessExit before the process ends, last added first.
void AddExitHook(std::function<void()> hook);
// Turns the program's exit code into the process's (an unattended run reports an
// outcome code in place of the program's constant 0).
void SetExitCodeMapper(std::function<int(int)> mapper);

}  // namespace orv::host
