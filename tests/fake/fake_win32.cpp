// The fake's Windows system calls: directories, error mode, last error, version and
// metrics, windows and the message queue, module loading. The text calls are
// orv_text's.
#include "host/workstation/advapi_exports.h"
#include "platform/registry.h"
#include "platform/win32.h"
#include "tests/fake/fake_state.h"

#include <cstring>

using fake::detail::CopyOut;
using fake::detail::Enter;
using fake::detail::Num;
using fake::detail::Ptr;
using fake::detail::S;
using fake::detail::Str;

namespace {

using orv::host::AsProc;

// The workstation's answer for a directory: its length when it fits the buffer,
// else the size it needs, with nothing written.
UINT DirectoryAnswer(const std::string &path, LPSTR buffer, UINT size) {
    if (buffer == nullptr || size <= path.size()) return static_cast<UINT>(path.size() + 1);
    CopyOut(path, buffer, static_cast<LONG>(size));
    return static_cast<UINT>(path.size());
}

LONG_PTR StandInProc() { return 0; }

}  // namespace

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
    if (auto r = Enter("GetWindowsDirectoryA", {Num(size)})) return static_cast<UINT>(*r);
    return DirectoryAnswer(S().windowsDir, buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
    if (auto r = Enter("GetSystemDirectoryA", {Num(size)})) return static_cast<UINT>(*r);
    return DirectoryAnswer(S().systemDir, buffer, size);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    if (auto r = Enter("GetCurrentDirectoryA", {Num(size)})) return static_cast<DWORD>(*r);
    return DirectoryAnswer(S().currentDir, buffer, size);
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
    if (auto r = Enter("CreateDirectoryA", {Str(path), Ptr(attributes)})) return static_cast<BOOL>(*r);
    if (path != nullptr) S().existingDirs[path] = true;
    return TRUE;
}

UINT SetErrorMode(UINT mode) {
    if (auto r = Enter("SetErrorMode", {Num(mode)})) return static_cast<UINT>(*r);
    UINT previous = S().errorMode;
    S().errorMode = mode;
    return previous;
}

DWORD GetLastError() {
    if (auto r = Enter("GetLastError", {})) return static_cast<DWORD>(*r);
    return S().lastError;
}

void SetLastError(DWORD error) {
    Enter("SetLastError", {Num(error)});
    S().lastError = error;
}

DWORD GetVersion() {
    if (auto r = Enter("GetVersion", {})) return static_cast<DWORD>(*r);
    return 0x05650004;  // NT 4.0, build 1381
}

int GetSystemMetrics(int index) {
    if (auto r = Enter("GetSystemMetrics", {Num(index)})) return static_cast<int>(*r);
    if (index == SM_CXSCREEN) return 1024;
    if (index == SM_CYSCREEN) return 768;
    return 0;
}

HWND GetActiveWindow() {
    if (auto r = Enter("GetActiveWindow", {})) return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(*r));
    return S().activeWindow != nullptr ? S().activeWindow : fake::FrameWindow();
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (auto r = Enter("SetWindowTextA", {Ptr(window), Str(text)})) return static_cast<BOOL>(*r);
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
    if (auto r = Enter("MessageBoxA", {Ptr(owner), Str(text), Str(caption), Num(style)})) return static_cast<int>(*r);
    return IDOK;
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (auto r = Enter("PeekMessageA", {Ptr(window), Num(filterMin), Num(filterMax), Num(removeFlags)})) {
        return static_cast<BOOL>(*r);
    }
    if (S().messages.empty()) return FALSE;
    if (message != nullptr) {
        *message = MSG{};
        message->message = S().messages.front();
    }
    if ((removeFlags & PM_REMOVE) != 0) S().messages.pop_front();
    return TRUE;
}

BOOL TranslateMessage(const MSG *message) {
    if (auto r = Enter("TranslateMessage", {Num(message != nullptr ? message->message : 0)})) return static_cast<BOOL>(*r);
    return FALSE;
}

LRESULT DispatchMessageA(const MSG *message) {
    if (auto r = Enter("DispatchMessageA", {Num(message != nullptr ? message->message : 0)})) return static_cast<LRESULT>(*r);
    return 0;
}

HMODULE LoadLibraryA(LPCSTR name) {
    if (auto r = Enter("LoadLibraryA", {Str(name)})) return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(*r));
    ++S().loadedModules;
    return reinterpret_cast<HMODULE>(fake::detail::NewHandleValue());
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
    if (auto r = Enter("GetProcAddress", {Ptr(module), Str(name)})) {
        return *r == 0 ? nullptr : AsProc(&StandInProc);
    }
    if (module == nullptr || name == nullptr) {
        S().lastError = ERROR_INVALID_HANDLE;
        return nullptr;
    }
    if (S().withheldProcs.count(name) != 0) {
        S().lastError = ERROR_PROC_NOT_FOUND;
        return nullptr;
    }
    FARPROC registryProc = orv::host::AdvapiExport(name);
    return registryProc != nullptr ? registryProc : AsProc(&StandInProc);
}

BOOL FreeLibrary(HMODULE module) {
    if (auto r = Enter("FreeLibrary", {Ptr(module)})) return static_cast<BOOL>(*r);
    if (module == nullptr) return FALSE;
    --S().loadedModules;
    return TRUE;
}
