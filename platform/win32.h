// The Windows system calls the setup makes: directories, text in the ANSI and OEM
// code pages, windows and messages, version and metrics, module loading, last error
// and the one direct registry call.
#pragma once

#include "platform/wintypes.h"

// Error mode, message and window constants.
constexpr UINT SEM_FAILCRITICALERRORS = 0x0001;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONHAND = MB_ICONSTOP;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONEXCLAMATION = MB_ICONWARNING;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr int IDOK = 1;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;

// Directories.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES attributes);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
UINT SetErrorMode(UINT mode);

// Text in the machine's code pages.
LPSTR CharNextA(LPCSTR text);
LPSTR CharUpperA(LPSTR text);
DWORD CharUpperBuffA(LPSTR text, DWORD length);
BOOL OemToCharA(LPCSTR source, LPSTR destination);
int lstrcmpA(LPCSTR a, LPCSTR b);
int lstrcmpiA(LPCSTR a, LPCSTR b);
LPSTR lstrcpyA(LPSTR destination, LPCSTR source);
LPSTR lstrcatA(LPSTR destination, LPCSTR source);
int lstrlenA(LPCSTR text);
// Formats at most 1024 bytes including the terminator. Understands %[-0#][width]
// [.precision][l|h]{d,i,u,x,X,c,s,%}; "l" is the 32-bit LONG, as on the workstation.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);

// Last error.
DWORD GetLastError();
void SetLastError(DWORD error);

// Version and screen metrics.
DWORD GetVersion();
int GetSystemMetrics(int index);

// Windows and messages.
HWND GetActiveWindow();
BOOL SetWindowTextA(HWND window, LPCSTR text);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG *message);
LRESULT DispatchMessageA(const MSG *message);

// Module loading.
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
