// The registry functions that "ADVAPI32.DLL" exports by name, as GetProcAddress hands
// them out. Header-only: the address each entry takes is that of whichever registry
// implementation is linked (the workstation's, or a test's fake).
#pragma once

#include <cstring>

#include "platform/registry.h"

namespace orv::host {

template <typename Function>
FARPROC AsProc(Function function) {
    // Through the generic function type, which the compiler accepts as a cast
    // between unrelated function types; callers cast back to the real type.
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// The address exported under `name` (compared exactly, as GetProcAddress does), or
// nullptr when the module has no such export.
inline FARPROC AdvapiExport(const char *name) {
    struct Export {
        const char *name;
        FARPROC address;
    };
    static const Export exports[] = {
        {"RegCloseKey", AsProc(&RegCloseKey)},
        {"RegCreateKeyA", AsProc(&RegCreateKeyA)},
        {"RegDeleteKeyA", AsProc(&RegDeleteKeyA)},
        {"RegOpenKeyA", AsProc(&RegOpenKeyA)},
        {"RegQueryValueA", AsProc(&RegQueryValueA)},
        {"RegSetValueA", AsProc(&RegSetValueA)},
        {"RegCreateKeyExA", AsProc(&RegCreateKeyExA)},
        {"RegOpenKeyExA", AsProc(&RegOpenKeyExA)},
        {"RegQueryValueExA", AsProc(&RegQueryValueExA)},
        {"RegSetValueExA", AsProc(&RegSetValueExA)},
        {"RegEnumKeyA", AsProc(&RegEnumKeyA)},
        {"RegQueryInfoKeyA", AsProc(&RegQueryInfoKeyA)},
    };
    if (name == nullptr) return nullptr;
    for (const Export &entry : exports) {
        if (std::strcmp(entry.name, name) == 0) return entry.address;
    }
    return nullptr;
}

}  // namespace orv::host
