// Windows and messages of the workstation, process exit and heap buffers.
#include "host/workstation/windows.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/workstation/machine.h"
#include "platform/runtime.h"
#include "platform/win32.h"

namespace orv::host {
namespace {

struct WindowState {
    MessageBoxHandler messageBox;
    WindowTextHandler windowText;
    std::string title;
    HWND frame = nullptr;
    std::vector<std::function<void()>> exitHooks;
    std::function<int(int)> exitCodeMapper;
    bool exiting = false;
};

WindowState& Windows()
{
    static WindowState state;
    return state;
}

// Set from a signal handler, so nothing but a lock-free atomic.
std::atomic<int> g_quitPending{0};
// Set once the program has taken a quit message from the queue.
std::atomic<int> g_quitTaken{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnQuitSignal(int signalNumber)
{
    if (g_quitPending.exchange(1) != 0) {
        std::signal(signalNumber, SIG_DFL);
        std::raise(signalNumber);
    }
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) { Windows().messageBox = std::move(handler); }
void SetWindowTextHandler(WindowTextHandler handler) { Windows().windowText = std::move(handler); }
const char* WindowText() { return Windows().title.c_str(); }
void SetFrameWindow(HWND window) { Windows().frame = window; }
void PostQuitMessage() { g_quitPending.store(1); }
bool QuitMessagePending() { return g_quitPending.load() != 0; }
void ClearQuitMessage()
{
    g_quitPending.store(0);
    g_quitTaken.store(0);
}
bool QuitMessageTaken() { return g_quitTaken.load() != 0; }

void InstallQuitSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}

void AddExitHook(std::function<void()> hook) { Windows().exitHooks.push_back(std::move(hook)); }
void SetExitCodeMapper(std::function<int(int)> mapper) { Windows().exitCodeMapper = std::move(mapper); }

}  // namespace orv::host

using orv::host::Windows;

HWND GetActiveWindow() { return Windows().frame; }

BOOL SetWindowTextA(HWND, LPCSTR text)
{
    try {
        Windows().title = text ? text : "";
        if (Windows().windowText) Windows().windowText(Windows().title.c_str());
        return TRUE;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    try {
        if (Windows().messageBox) return Windows().messageBox(owner, text ? text : "", caption ? caption : "Error", style);
    } catch (...) {
        // A front end that fails falls back to the plain report below.
    }
    std::fprintf(stderr, "[%s] %s\n", caption ? caption : "Error", text ? text : "");
    std::fflush(stderr);
    return IDOK;
}

BOOL PeekMessageA(LPMSG message, HWND, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    bool wantsQuit = (filterMin == 0 && filterMax == 0) || (filterMin <= WM_QUIT && WM_QUIT <= filterMax);
    if (!wantsQuit || orv::host::g_quitPending.load() == 0) return FALSE;
    if (removeFlags & PM_REMOVE) {
        orv::host::g_quitPending.store(0);
        orv::host::g_quitTaken.store(1);
    }
    if (message) {
        *message = MSG{};
        message->message = WM_QUIT;
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }
LRESULT DispatchMessageA(const MSG*) { return 0; }

[[noreturn]] void ProcessExit(int code)
{
    auto& state = Windows();
    if (!state.exiting) {
        state.exiting = true;
        // Hooks may be added by hooks; run until none are left.
        while (!state.exitHooks.empty()) {
            auto hook = std::move(state.exitHooks.back());
            state.exitHooks.pop_back();
            try {
                if (hook) hook();
            } catch (...) {
                // Exit goes on whatever a hook does.
            }
        }
        if (state.exitCodeMapper) {
            try {
                code = state.exitCodeMapper(code);
            } catch (...) {
            }
        }
        orv::host::CloseMachine();
    }
    std::fflush(nullptr);
    std::exit(code);
}

void* HeapAllocZeroed(std::size_t size) { return std::calloc(size ? size : 1, 1); }
void HeapRelease(void* buffer) { std::free(buffer); }
