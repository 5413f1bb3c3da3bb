// The workstation's Win32 calls other than text, windows and the registry:
// directories, error mode, last error, version and metrics, module loading.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/workstation/advapi_exports.h"
#include "host/workstation/machine.h"
#include "platform/registry.h"
#include "platform/win32.h"

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;
UINT g_errorMode = 0;

// Copies `text` as the directory calls answer: the length without the terminator
// when it fits, else the size needed including the terminator, buffer untouched.
UINT AnswerText(const std::string& text, LPSTR buffer, UINT size)
{
    if (buffer && size > text.size()) {
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<UINT>(text.size());
    }
    return static_cast<UINT>(text.size() + 1);
}

// "ADVAPI32.DLL" is the one module of the workstation the setup loads at run time.
HMODULE const kAdvapiModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x77DC0000u));
int g_advapiLoads = 0;

bool EqualsNoCase(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b) &&
           std::equal(a.begin(), a.end(), b, [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

bool Withheld(const char* name)
{
    const auto& withheld = orv::host::Facts().withheldFunctions;
    return std::any_of(withheld.begin(), withheld.end(), [&](const std::string& w) {
        return w == name || (EqualsNoCase(w, "ADVAPI32.DLL") && EqualsNoCase(name, "ADVAPI32.DLL"));
    });
}

}  // namespace

DWORD GetLastError() { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    if (!orv::host::EnsureMachineOpen()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return AnswerText(orv::host::WindowsDirectory(), buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    if (!orv::host::EnsureMachineOpen()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    return AnswerText(orv::host::SystemDirectory(), buffer, size);
}

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    try {
        orv::host::EnsureMachineOpen();
        return AnswerText(orv::host::CurrentDirectoryWin(), buffer, size);
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    try {
        if (!path) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        if (!orv::host::EnsureMachineOpen()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        std::filesystem::path host;
        DWORD error = 0;
        bool readOnly = false;
        if (!orv::host::ResolvePath(path, host, error, &readOnly)) {
            SetLastError(error);
            return FALSE;
        }
        std::string full = orv::host::FullWindowsPath(path);
        if (full.size() <= 3) {  // a drive's root
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(host, ec))) {
            SetLastError(ERROR_ALREADY_EXISTS);
            return FALSE;
        }
        if (readOnly) {
            SetLastError(ERROR_WRITE_PROTECT);
            return FALSE;
        }
        if (!std::filesystem::is_directory(host.parent_path(), ec)) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
        if (!std::filesystem::create_directory(host, ec) || ec) {
            SetLastError(ec == std::errc::no_space_on_device ? ERROR_HANDLE_DISK_FULL
                         : ec == std::errc::file_exists      ? ERROR_ALREADY_EXISTS
                                                             : ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return TRUE;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

UINT SetErrorMode(UINT mode)
{
    UINT previous = g_errorMode;
    g_errorMode = mode;
    return previous;
}

DWORD GetVersion()
{
    orv::host::EnsureMachineOpen();
    const auto& facts = orv::host::Facts();
    return (facts.versionMajor & 0xFF) | ((facts.versionMinor & 0xFF) << 8) | ((facts.buildNumber & 0x7FFF) << 16);
}

int GetSystemMetrics(int index)
{
    orv::host::EnsureMachineOpen();
    if (index == SM_CXSCREEN) return orv::host::Facts().screenWidth;
    if (index == SM_CYSCREEN) return orv::host::Facts().screenHeight;
    return 0;
}

HMODULE LoadLibraryA(LPCSTR name)
{
    try {
        orv::host::EnsureMachineOpen();
        std::string module = name ? name : "";
        bool advapi = EqualsNoCase(module, "ADVAPI32.DLL") || EqualsNoCase(module, "ADVAPI32");
        if (!advapi || Withheld("ADVAPI32.DLL")) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        ++g_advapiLoads;
        return kAdvapiModule;
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module != kAdvapiModule || g_advapiLoads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // An ordinal rather than a name: the workstation's module exports by name only.
    if (reinterpret_cast<std::uintptr_t>(name) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    FARPROC address = orv::host::AdvapiExport(name);
    if (address != nullptr && !Withheld(name)) return address;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    if (module != kAdvapiModule || g_advapiLoads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --g_advapiLoads;
    return TRUE;
}
