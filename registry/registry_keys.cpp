// The registry library's key operations: keys created, values written and read,
// existence tests, and the deletion of a key with every key beneath it. Each failed
// step is reported under the operation's label and ends in the fatal stop, except the
// quiet existence tests, the reads of a missing key, and the deletion worker, which
// reports and hands its failure to the caller.
#include "registry/registry_keys.h"

#include "include/setup_codes.h"
#include "include/setup_state.h"
#include "platform/runtime.h"
#include "platform/toolkit.h"
#include "platform/win32.h"
#include "registry/registry_api.h"
#include "session/fatal_stop.h"

namespace {

constexpr int RegistryErrorCode = 104;
// Size of the class buffer handed to RegQueryInfoKeyA; the class itself is not used.
constexpr DWORD ClassBufferSize = 128;
// wsprintfA formats at most this many bytes, terminator included.
constexpr int FormattedTextLimit = 1024;

// The toolkit's error handler under `label`; its answer is not used.
void Report(LPCSTR label) { EercErrorHandler(RegistryErrorCode, 1, label, nullptr, nullptr); }

[[noreturn]] void ReportAndStop(LPCSTR label) {
    Report(label);
    FatalStop(StopError);
}

// Each entry point is called through one of these. A slot that was not found at load
// time, or a module that is not (or no longer) loaded, fails the step that needed it
// with ERROR_PROC_NOT_FOUND, so it is handled as that step's own failure.
constexpr LONG EntryPointMissing = static_cast<LONG>(ERROR_PROC_NOT_FOUND);

template <typename Fn>
bool Usable(Fn slot) {
    return slot != nullptr && g_state.g_hAdvapi != nullptr;
}

LONG CloseKey(HKEY key) {
    if (!Usable(RegistryApi.RegCloseKey)) return EntryPointMissing;
    return RegistryApi.RegCloseKey(key);
}

LONG CreateKey(HKEY root, LPCSTR name, PHKEY key) {
    if (!Usable(RegistryApi.RegCreateKeyA)) return EntryPointMissing;
    return RegistryApi.RegCreateKeyA(root, name, key);
}

LONG DeleteKey(HKEY root, LPCSTR name) {
    if (!Usable(RegistryApi.RegDeleteKeyA)) return EntryPointMissing;
    return RegistryApi.RegDeleteKeyA(root, name);
}

LONG OpenKey(HKEY root, LPCSTR name, PHKEY key) {
    if (!Usable(RegistryApi.RegOpenKeyA)) return EntryPointMissing;
    return RegistryApi.RegOpenKeyA(root, name, key);
}

LONG OpenKeyEx(HKEY root, LPCSTR name, REGSAM access, PHKEY key) {
    if (!Usable(RegistryApi.RegOpenKeyExA)) return EntryPointMissing;
    return RegistryApi.RegOpenKeyExA(root, name, 0, access, key);
}

LONG QueryValue(HKEY root, LPCSTR name, LPSTR data, LONG *dataSize) {
    if (!Usable(RegistryApi.RegQueryValueA)) return EntryPointMissing;
    return RegistryApi.RegQueryValueA(root, name, data, dataSize);
}

LONG QueryValueEx(HKEY key, LPCSTR valueName, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (!Usable(RegistryApi.RegQueryValueExA)) return EntryPointMissing;
    return RegistryApi.RegQueryValueExA(key, valueName, nullptr, type, data, dataSize);
}

LONG SetValue(HKEY root, LPCSTR name, LPCSTR text) {
    if (!Usable(RegistryApi.RegSetValueA)) return EntryPointMissing;
    return RegistryApi.RegSetValueA(root, name, REG_SZ, text, static_cast<DWORD>(lstrlenA(text)));
}

LONG SetValueEx(HKEY key, LPCSTR valueName, DWORD type, const BYTE *data, DWORD size) {
    if (!Usable(RegistryApi.RegSetValueExA)) return EntryPointMissing;
    return RegistryApi.RegSetValueExA(key, valueName, 0, type, data, size);
}

LONG EnumKey(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
    if (!Usable(RegistryApi.RegEnumKeyA)) return EntryPointMissing;
    return RegistryApi.RegEnumKeyA(key, index, name, nameSize);
}

LONG QuerySubKeys(HKEY key, DWORD *subKeys, DWORD *longestSubKeyName) {
    if (!Usable(RegistryApi.RegQueryInfoKeyA)) return EntryPointMissing;
    char className[ClassBufferSize];
    DWORD classSize = ClassBufferSize;
    return RegistryApi.RegQueryInfoKeyA(key, className, &classSize, nullptr, subKeys, longestSubKeyName, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, nullptr);
}

// "<path>\<name>" into `childPath`, which the worker sized for both and the separator.
// wsprintfA stops at 1024 bytes, and a deep tree's paths can be longer, so a longer
// path is joined here byte by byte instead of being cut short.
void JoinChildPath(LPSTR childPath, LPCSTR path, LPCSTR name) {
    int pathLength = lstrlenA(path);
    int nameLength = lstrlenA(name);
    if (pathLength + 1 + nameLength + 1 <= FormattedTextLimit) {
        wsprintfA(childPath, "%s\\%s", path, name);
        return;
    }
    int at = 0;
    for (int i = 0; i < pathLength; ++i) childPath[at++] = path[i];
    childPath[at++] = '\\';
    for (int i = 0; i < nameLength; ++i) childPath[at++] = name[i];
    childPath[at] = '\0';
}

void CreateKeyChecked(HKEY root, LPCSTR name, LPCSTR label) {
    HKEY key = nullptr;
    if (CreateKey(root, name, &key) != ERROR_SUCCESS) ReportAndStop(label);
    if (CloseKey(key) != ERROR_SUCCESS) ReportAndStop(label);
}

void SetValueChecked(LPCSTR name, LPCSTR text, LPCSTR label) {
    if (SetValue(HKEY_CLASSES_ROOT, name, text) != ERROR_SUCCESS) ReportAndStop(label);
}

void SetValueExChecked(HKEY root, LPCSTR name, LPCSTR valueName, DWORD type, const BYTE *data, DWORD size,
                       LPCSTR openLabel, LPCSTR writeLabel) {
    HKEY key = nullptr;
    if (OpenKeyEx(root, name, KEY_WRITE, &key) != ERROR_SUCCESS) ReportAndStop(openLabel);
    if (SetValueEx(key, valueName, type, data, size) != ERROR_SUCCESS) ReportAndStop(writeLabel);
    CloseKey(key);
}

}  // namespace

void CreateRegKey(LPCSTR name) { CreateKeyChecked(HKEY_CLASSES_ROOT, name, "CreateRegKey"); }

void CreateRegKeyEx(HKEY root, LPCSTR name) { CreateKeyChecked(root, name, "CreateRegKeyEx"); }

void CreateRegKeyValue(LPCSTR name, LPCSTR text) { SetValueChecked(name, text, "CreateRegKeyValue"); }

void SetRegKeyValue(LPCSTR name, LPCSTR text) { SetValueChecked(name, text, "SetRegKeyValue"); }

int DoesRegKeyExist(LPCSTR name) { return DoesRegKeyExistEx(HKEY_CLASSES_ROOT, name); }

int DoesRegKeyExistEx(HKEY root, LPCSTR name) {
    HKEY key = nullptr;
    if (OpenKey(root, name, &key) != ERROR_SUCCESS) return 0;
    CloseKey(key);
    return 1;
}

LPSTR GetRegKeyValue(LPCSTR name, LPSTR buffer, int size) {
    // A missing buffer or a size of 0 or less has no byte the read may write; the
    // query then goes without a data buffer and answers only the size it needs.
    bool writable = buffer != nullptr && size > 0;
    if (writable) buffer[0] = '\0';
    if (DoesRegKeyExist(name) == 0) return buffer;
    LONG length = writable ? size : 0;
    // A failed query is reported under the read's own name.
    if (QueryValue(HKEY_CLASSES_ROOT, name, writable ? buffer : nullptr, &length) != ERROR_SUCCESS) {
        ReportAndStop("GetRegKeyValue");
    }
    if (length > size) StopOnBufferOverflow();
    // The byte after the text's own terminator; the caller's buffer holds size + 1.
    if (writable && length >= 0) buffer[length] = '\0';
    return buffer;
}

void DeleteAllSubKeys(LPCSTR name) { DeleteAllSubKeysEx(HKEY_CLASSES_ROOT, name); }

void DeleteAllSubKeysEx(HKEY root, LPCSTR name) {
    if (DoesRegKeyExistEx(root, name) == 0) return;
    if (DeleteRegKeyTree(root, name) == 0) ReportAndStop("DeleteAllSubKeys");
}

void CreateRegKeyValueEx(HKEY root, LPCSTR name, LPCSTR valueName, DWORD type, const BYTE *data, DWORD size) {
    SetValueExChecked(root, name, valueName, type, data, size, "CreateRegKeyValueEx:open", "CreateRegKeyValueEx");
}

void SetRegKeyValueEx(HKEY root, LPCSTR name, LPCSTR valueName, DWORD type, const BYTE *data, DWORD size) {
    SetValueExChecked(root, name, valueName, type, data, size, "SetRegKeyValueEx:open", "SetRegKeyValueEx");
}

int GetRegKeyValueEx(HKEY root, LPCSTR name, LPCSTR valueName, LPDWORD typeOut, LPBYTE data, DWORD size) {
    if (DoesRegKeyExistEx(root, name) == 0) return RegistryNoSuchKey;
    HKEY key = nullptr;
    if (OpenKeyEx(root, name, KEY_READ, &key) != ERROR_SUCCESS) ReportAndStop("GetRegKeyValueEx");
    DWORD length = size;
    if (QueryValueEx(key, valueName, typeOut, data, &length) != ERROR_SUCCESS) ReportAndStop("GetRegKeyValueEx");
    if (length > size) StopOnBufferOverflow();
    CloseKey(key);
    return 0;
}

int DeleteRegKeyTree(HKEY root, LPCSTR path) {
    // No name is the root (or the caller's open key) itself, which is never deleted:
    // it is refused like a key that cannot be opened, not emptied.
    if (path == nullptr || path[0] == '\0') {
        Report("DeleteAllSubKeys:open");
        return 0;
    }
    HKEY key = nullptr;
    if (OpenKeyEx(root, path, KEY_READ, &key) != ERROR_SUCCESS) {
        Report("DeleteAllSubKeys:open");
        return 0;
    }
    DWORD subKeys = 0;
    DWORD longestName = 0;
    if (QuerySubKeys(key, &subKeys, &longestName) != ERROR_SUCCESS) {
        CloseKey(key);
        return 0;
    }
    if (subKeys == 0) {
        CloseKey(key);
        DeleteKey(root, path);  // a key that stays is not looked for
        return 1;
    }
    DWORD nameCapacity = longestName + 1;
    auto *name = static_cast<LPSTR>(HeapAllocZeroed(nameCapacity));
    auto *childPath = static_cast<LPSTR>(HeapAllocZeroed(static_cast<std::size_t>(lstrlenA(path)) + longestName + 2));
    // Without its buffers the worker cannot go on: reported under a label of its own.
    if (name == nullptr || childPath == nullptr) {
        Report("DeleteAllSubKeys:alloc");
        CloseKey(key);
        if (name != nullptr) HeapRelease(name);
        if (childPath != nullptr) HeapRelease(childPath);
        return 0;
    }
    // From the highest index down, each deleted child is its parent's last entry, so
    // the indices still to visit stay valid.
    for (DWORD index = subKeys; index-- > 0;) {
        LONG status = EnumKey(key, index, name, nameCapacity);
        if (status == static_cast<LONG>(ERROR_NO_MORE_ITEMS)) continue;
        if (status != ERROR_SUCCESS) {
            Report("DeleteAllSubKeys:enum");
            CloseKey(key);
            HeapRelease(name);
            HeapRelease(childPath);
            return 0;
        }
        name[nameCapacity - 1] = '\0';
        JoinChildPath(childPath, path, name);
        if (DeleteRegKeyTree(root, childPath) == 0) {
            CloseKey(key);
            HeapRelease(name);
            HeapRelease(childPath);
            return 0;
        }
    }
    CloseKey(key);
    DeleteKey(root, path);  // a key that stays is not looked for
    HeapRelease(name);
    HeapRelease(childPath);
    return 1;
}
